#!/usr/bin/python3
"""Prints the live records of a dBase table as python3-dbfread reads them, in the canonical
dump form of the interop tests: one line per record, fields separated by tabs, numbers with
four decimals, dates YYYYMMDD, booleans T/F, null as nothing."""
import sys
import datetime
import dbfread


def canonical(value):
    if value is None:
        return ""
    if isinstance(value, bool):
        return "T" if value else "F"
    if isinstance(value, (int, float)):
        return "%.4f" % value
    if isinstance(value, datetime.date):
        return value.strftime("%Y%m%d")
    return str(value).rstrip(" ")


def main():
    name, encoding = sys.argv[1], (sys.argv[2] if len(sys.argv) > 2 else None)
    table = dbfread.DBF(name, encoding=encoding, ignore_missing_memofile=True,
                        char_decode_errors="replace")
    for record in table:
        sys.stdout.write("\t".join(canonical(v) for v in record.values()) + "\n")


main()
