#!/usr/bin/python3
"""Prints the records of a dBase table as GDAL's ogr2ogr reads them (through CSV), in the
canonical dump form of the interop tests (see dbfread_dump.py). The field types come from the
table's descriptors; GDAL is told the table's code page (second argument, default 437), or
with "mark" takes it from the table's own code-page mark."""
import csv
import io
import os
import subprocess
import sys
import dbfread

name = sys.argv[1]
types = [f.type for f in dbfread.DBF(name, ignore_missing_memofile=True).fields]
codepage = sys.argv[2] if len(sys.argv) > 2 else "437"
env = dict(os.environ)
env.pop("SHAPE_ENCODING", None)
if codepage != "mark":
    env["SHAPE_ENCODING"] = "CP" + codepage
text = subprocess.run(["ogr2ogr", "-f", "CSV", "/vsistdout/", name], check=True,
                      capture_output=True, env=env).stdout.decode("utf-8")
rows = list(csv.reader(io.StringIO(text)))
for row in rows[1:]:
    out = []
    for value, kind in zip(row, types):
        if value == "":
            out.append("")
        elif kind in "NF":
            out.append("%.4f" % float(value))
        elif kind == "D":
            out.append(value.replace("/", "").replace("-", ""))
        elif kind == "L":
            out.append("T" if value in ("T", "1", "true") else "F")
        else:
            out.append(value.rstrip(" "))
    sys.stdout.write("\t".join(out) + "\n")
