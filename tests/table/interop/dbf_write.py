#!/usr/bin/python3
"""Writes a pest-shaped dBase III table with python3-dbf (code page 437): the records of the
interop tests, one of them deleted."""
import sys
import datetime
import dbf

table = dbf.Table(sys.argv[1],
                  "IDX N(4,0); NAME_PEST C(20); F_START N(8,2); TIME_CH N(5,0); WHEN D; OK L",
                  dbf_type="db3", codepage="cp437")
table.open(mode=dbf.READ_WRITE)
table.append((1, "Mosquito", 10.5, 250, datetime.date(2024, 3, 1), True))
table.append((2, "M\u00fccke", -3.25, 0, datetime.date(1999, 12, 31), False))
table.append((3, "Rat", 0, 99999, None, False))
table.append((4, "Gone", 1, 1, None, True))
dbf.delete(table[3])
table.close()
