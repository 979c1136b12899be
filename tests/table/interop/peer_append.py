#!/usr/bin/python3
"""A dBase peer written from the locking protocol alone, with POSIX locks and raw file access.

Usage: peer_append.py TABLE NDX FIRST COUNT NAME

Appends COUNT records to TABLE (its first field numeric, its second text), the first field
holding FIRST, FIRST + 1, ... and the second NAME-i, and enters each record's key in NDX, a
distinct index on the first field. For each record, in the protocol's order:
  1. lock record n (one byte at 0xEFFFFFFE - n) without waiting, n from the record count + 1 on
     (the count from the file size), stepping up while refused. The count is read before the
     lock is had, so another appender may have written record n and let its lock go meanwhile:
     a slot found holding a record once locked counts as refused too;
  2. enter the key in the index under its locks: the header page (bytes 0..511) while pages
     may be allocated, and each page over its own 512 bytes while it is changed; changed pages
     are written before they are unlocked;
  3. lock the table header (one byte at 0xEFFFFFFE), waiting; re-read the count at offset 4,
     add one, write it; write the record, with 0x1A behind it when no record follows;
  4. unlock the header and the record.
"""

import fcntl
import os
import struct
import sys
import time

HEADER_LOCK = 0xEFFFFFFE
PAGE = 512


def lock(fd, start, length, wait):
    flags = fcntl.LOCK_EX if wait else fcntl.LOCK_EX | fcntl.LOCK_NB
    try:
        fcntl.lockf(fd, flags, length, start)
        return True
    except OSError:
        return False


def unlock(fd, start, length):
    fcntl.lockf(fd, fcntl.LOCK_UN, length, start)


class Index:
    """The NDX tree: pages of (lower page, record number, key) entries."""

    def __init__(self, fd):
        self.fd = fd
        self.changed = {}
        self.locked = []

    def read_header(self):
        h = os.pread(self.fd, PAGE, 0)
        self.root, self.next_free = struct.unpack_from("<II", h, 0)
        self.key_length, self.per_page, _, self.entry_size = struct.unpack_from("<HHHH", h, 12)
        self.header = bytearray(h)

    def page(self, n):
        if n in self.changed:
            return self.changed[n]
        data = os.pread(self.fd, PAGE, n * PAGE)
        count = struct.unpack_from("<I", data, 0)[0]
        entries = []
        for i in range(count + 1):
            off = 4 + i * self.entry_size
            lower, recno = struct.unpack_from("<II", data, off)
            entries.append([lower, recno, data[off + 8:off + 8 + self.key_length]])
        inner = entries[0][0] != 0
        if not inner:
            entries = entries[:count]
        return {"no": n, "inner": inner, "entries": entries}

    def change(self, p):
        if p["no"] not in self.locked:
            lock(self.fd, p["no"] * PAGE, PAGE, True)
            self.locked.append(p["no"])
        self.changed[p["no"]] = p

    def allocate(self, inner):
        p = {"no": self.next_free, "inner": inner, "entries": []}
        self.next_free += 1
        self.change(p)
        return p

    def keys(self, p):
        return len(p["entries"]) - (1 if p["inner"] else 0)

    def full(self, p):
        return self.keys(p) >= (self.per_page - 1 if p["inner"] else self.per_page)

    @staticmethod
    def value(key):
        return struct.unpack("<d", key)[0]

    def position(self, p, key):
        for i in range(self.keys(p)):
            if self.value(p["entries"][i][2]) >= self.value(key):
                return i
        return self.keys(p)

    def split(self, parent, pos, child):
        k = self.keys(child)
        right = self.allocate(child["inner"])
        self.change(child)
        if child["inner"]:
            b = (k + 1) // 2
            separator = child["entries"][b - 1][2]
            right["entries"] = child["entries"][b:]
            child["entries"] = child["entries"][:b]
            child["entries"][-1] = [child["entries"][-1][0], 0, bytes(self.key_length)]
        else:
            b = k // 2
            separator = child["entries"][b - 1][2]
            right["entries"] = child["entries"][b:]
            child["entries"] = child["entries"][:b]
        self.change(parent)
        parent["entries"].insert(pos, [child["no"], 0, separator])
        parent["entries"][pos + 1][0] = right["no"]

    def insert(self, key, recno):
        lock(self.fd, 0, PAGE, True)
        try:
            self.read_header()
            root = self.page(self.root)
            if self.full(root):
                new_root = self.allocate(True)
                new_root["entries"] = [[root["no"], 0, bytes(self.key_length)]]
                self.root = new_root["no"]
                root = new_root
            path, p = [], root
            while p["inner"]:
                pos = self.position(p, key)
                child = self.page(p["entries"][pos][0])
                if self.full(child):
                    self.split(p, pos, child)
                    pos = self.position(p, key)
                    child = self.page(p["entries"][pos][0])
                path.append((p, pos))
                p = child
            pos = self.position(p, key)
            self.change(p)
            p["entries"].insert(pos, [0, recno, key])
            if pos == len(p["entries"]) - 1:
                for parent, at in reversed(path):
                    if at < self.keys(parent):
                        self.change(parent)
                        parent["entries"][at][2] = key
                        break
            self.write()
        finally:
            for n in self.locked:
                unlock(self.fd, n * PAGE, PAGE)
            self.locked, self.changed = [], {}
            unlock(self.fd, 0, PAGE)

    def write(self):
        for n, p in sorted(self.changed.items()):
            data = bytearray(PAGE)
            struct.pack_into("<I", data, 0, self.keys(p))
            for i, (lower, recno, key) in enumerate(p["entries"]):
                off = 4 + i * self.entry_size
                struct.pack_into("<II", data, off, lower, recno)
                data[off + 8:off + 8 + self.key_length] = key
            os.pwrite(self.fd, bytes(data), n * PAGE)
        struct.pack_into("<II", self.header, 0, self.root, self.next_free)
        os.pwrite(self.fd, bytes(self.header), 0)


def free(fd, n, header_length, record_length):
    """Whether slot n, whose lock is held, holds no record; else its lock is let go."""
    at = header_length + (n - 1) * record_length
    slot = os.pread(fd, record_length, at)
    if slot.lstrip(b"\x1a").strip(b"\x00") == b"":
        return True
    unlock(fd, HEADER_LOCK - n, 1)
    return False


def main():
    table_name, index_name, first, count, name = sys.argv[1:6]
    tfd = os.open(table_name, os.O_RDWR)
    ifd = os.open(index_name, os.O_RDWR)
    head = os.pread(tfd, 32, 0)
    header_length, record_length = struct.unpack_from("<HH", head, 8)
    widths = []
    off = 32
    while True:
        d = os.pread(tfd, 32, off)
        if d[0] == 0x0D:
            break
        widths.append(d[16])
        off += 32
    index = Index(ifd)
    for i in range(int(count)):
        value = int(first) + i
        text = "%s-%d" % (name, i)
        record = (b" " + str(value).rjust(widths[0]).encode() +
                  text.ljust(widths[1]).encode())
        record += b" " * (record_length - len(record))

        n = (os.fstat(tfd).st_size - header_length) // record_length + 1
        while not (lock(tfd, HEADER_LOCK - n, 1, False) and
                   free(tfd, n, header_length, record_length)):
            n += 1
        index.insert(struct.pack("<d", float(value)), n)
        lock(tfd, HEADER_LOCK, 1, True)
        records = struct.unpack("<I", os.pread(tfd, 4, 4))[0] + 1
        now = time.localtime()
        os.pwrite(tfd, struct.pack("<BBBI", now.tm_year - 1900, now.tm_mon, now.tm_mday, records),
                  1)
        at = header_length + (n - 1) * record_length
        last = os.fstat(tfd).st_size < at + 2 * record_length
        os.pwrite(tfd, record + (b"\x1a" if last else b""), at)
        unlock(tfd, HEADER_LOCK, 1)
        unlock(tfd, HEADER_LOCK - n, 1)
    return 0


if __name__ == "__main__":
    sys.exit(main())
