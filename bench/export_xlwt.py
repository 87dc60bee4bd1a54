"""The reference for the export benchmark: python3-xlwt writing the same rows of
Data, as text cells, to one sheet. Usage: export_xlwt.py DATABASE WORKBOOK"""
import sqlite3
import sys

import xlwt

connection = sqlite3.connect(sys.argv[1])
cursor = connection.execute("SELECT * FROM Data")
book = xlwt.Workbook(encoding="utf-8")
sheet = book.add_sheet("WorkSheet1")
for c, description in enumerate(cursor.description):
    sheet.write(0, c, description[0])
for r, row in enumerate(cursor, start=1):
    sheet_row = sheet.row(r)
    for c, value in enumerate(row):
        if value is not None:
            sheet_row.set_cell_text(c, value)
book.save(sys.argv[2])
