#!/usr/bin/python3
"""Writes a one-field dBase III table with python3-dbf in the given code page (python3-dbf marks
it at header byte 29): dbf_write_texts.py FILE CODEPAGE TEXT..., one record per text."""
import sys
import dbf

table = dbf.Table(sys.argv[1], "NAME_PEST C(20)", dbf_type="db3", codepage=sys.argv[2])
table.open(mode=dbf.READ_WRITE)
for text in sys.argv[3:]:
    table.append((text,))
table.close()
