"""Reads an exported workbook with independent readers and compares it with what it
should hold: xlrd for sheet names, every cell's type and value; optionally gnumeric's
ssconvert, whose CSV output must match and whose standard error must stay empty.

The expected content comes either from the database (the table Data, as SQLite
returns it) or from a JSON file: [{"name": ..., "rows": [[text or null, ...], ...]}].

With --written, the JSON file holds what a writer was given instead: {"header":
[...], "rows": [[hex of the UTF-8 bytes or null, ...]], "rows_per_sheet": N}, and
the file's extension says how to read it: .xls as above, .xlsx through openpyxl
(and ssconvert), .csv through Python's csv module and byte for byte.
"""
import argparse
import csv
import io
import json
import os
import re
import sqlite3
import subprocess
import sys
import tempfile

import xlrd

ROWS_PER_SHEET = 65535
CELL_LIMIT = 32767  # UTF-16 units


def fit_cell(text):
    """The text as a cell holds it: at most 32,767 UTF-16 units, no half pair."""
    units = text.encode("utf-16-le")
    if len(units) <= CELL_LIMIT * 2:
        return text
    cut = units[: CELL_LIMIT * 2]
    if 0xD800 <= int.from_bytes(cut[-2:], "little") <= 0xDBFF:
        cut = cut[:-2]
    return cut.decode("utf-16-le")


def expected_from_db(path):
    connection = sqlite3.connect("file:%s?mode=ro" % path, uri=True)
    cursor = connection.execute("SELECT * FROM Data")
    header = [d[0] for d in cursor.description]
    sheets = []
    for row in cursor:
        if not sheets or len(sheets[-1]["rows"]) == ROWS_PER_SHEET + 1:
            sheets.append({"name": "WorkSheet%d" % (len(sheets) + 1), "rows": [header]})
        sheets[-1]["rows"].append([None if v is None else fit_cell(str(v)) for v in row])
    if not sheets:
        sheets.append({"name": "WorkSheet1", "rows": [header]})
    connection.close()
    return sheets


class Mismatches:
    def __init__(self):
        self.lines = []

    def add(self, text):
        if len(self.lines) < 20:
            self.lines.append(text)
        elif len(self.lines) == 20:
            self.lines.append("...")

    def __bool__(self):
        return bool(self.lines)


def short(value):
    text = repr(value)
    return text if len(text) < 80 else text[:60] + "...(%d)" % len(value)


def check_xlrd(path, sheets, problems):
    log = io.StringIO()
    book = xlrd.open_workbook(path, formatting_info=True, logfile=log, verbosity=1)
    # Notes on the code page, the date system, the country and the colours used are
    # all that a sound file gives.
    notes = ("codepage", "colour", "datemode: datemode 0", "countries:")
    for line in log.getvalue().splitlines():
        lowered = line.lower()
        colours = line.startswith("[") and line.endswith("]")
        if line.strip() and not any(note in lowered for note in notes) and not colours:
            problems.add("xlrd says: " + line)
    names = book.sheet_names()
    if names != [s["name"] for s in sheets]:
        problems.add("sheet names %s" % names)
        return
    cells = 0
    for sheet, expected in zip(book.sheets(), sheets):
        rows = expected["rows"]
        if sheet.nrows != len(rows):
            problems.add("%s: %d rows, expected %d" % (sheet.name, sheet.nrows, len(rows)))
            continue
        width = max(len(r) for r in rows)
        while width and all(len(r) < width or r[width - 1] is None for r in rows):
            width -= 1
        if sheet.ncols != width:
            problems.add("%s: %d columns, expected %d" % (sheet.name, sheet.ncols, width))
        for r, row in enumerate(rows):
            for c in range(min(width, sheet.ncols)):
                want = row[c] if c < len(row) else None
                cell = sheet.cell(r, c)
                cells += 1
                if want is None:
                    if cell.ctype not in (xlrd.XL_CELL_EMPTY, xlrd.XL_CELL_BLANK):
                        problems.add("%s!R%dC%d: %s, expected blank" % (sheet.name, r, c, short(cell.value)))
                elif cell.ctype != xlrd.XL_CELL_TEXT or cell.value != want:
                    problems.add("%s!R%dC%d: type %d %s, expected text %s"
                                 % (sheet.name, r, c, cell.ctype, short(cell.value), short(want)))
    return cells


def check_ssconvert(path, sheets, problems):
    with tempfile.TemporaryDirectory() as folder:
        pattern = os.path.join(folder, "sheet%n.csv")
        run = subprocess.run(["ssconvert", "-S", "-T", "Gnumeric_stf:stf_csv", path, pattern],
                             capture_output=True, text=True)
        if run.returncode != 0 or run.stderr:
            problems.add("ssconvert (%d): %s" % (run.returncode, run.stderr.strip()))
            return
        for index, expected in enumerate(sheets):
            name = os.path.join(folder, "sheet%d.csv" % index)
            if not os.path.exists(name):
                problems.add("ssconvert wrote no sheet %d" % index)
                continue
            with open(name, newline="", encoding="utf-8") as f:
                got = list(csv.reader(f))
            want = [["" if v is None else v for v in row] for row in expected["rows"]]
            trim = lambda row: row[: max([i + 1 for i, v in enumerate(row) if v != ""] or [0])]
            got = [trim(row) for row in got]
            want = [trim(row) for row in want]
            if got != want:
                for r, (g, w) in enumerate(zip(got, want)):
                    if g != w:
                        problems.add("ssconvert sheet %d row %d: %s, expected %s"
                                     % (index, r, short(g), short(w)))
                        break
                if len(got) != len(want):
                    problems.add("ssconvert sheet %d: %d rows, expected %d" % (index, len(got), len(want)))


def sheets_of(header, rows, rows_per_sheet):
    sheets = []
    for row in rows:
        if not sheets or len(sheets[-1]["rows"]) == rows_per_sheet + 1:
            sheets.append({"name": "WorkSheet%d" % (len(sheets) + 1), "rows": [header]})
        sheets[-1]["rows"].append(row)
    return sheets or [{"name": "WorkSheet1", "rows": [header]}]


def xlsx_text(text):
    """A cell's text as an .xlsx file carries it, which openpyxl and gnumeric show as
    it stands: cut to 32,767 UTF-16 units and as many written characters, no half
    pair; Excel's escape _xHHHH_ for what XML cannot carry, and for the underscore
    of a text that reads as such an escape."""
    out, units, written = [], 0, 0
    for at, char in enumerate(text):
        code = ord(char)
        escaped = (code < 0x20 and char not in "\t\n") or code in (0xFFFE, 0xFFFF) or (
            char == "_" and re.match(r"_x[0-9A-Fa-f]{4}_", text[at:]))
        piece = "_x%04X_" % code if escaped else char
        units += 2 if code > 0xFFFF else 1
        written += len(piece)
        if units > CELL_LIMIT or written > CELL_LIMIT:
            break
        out.append(piece)
    return "".join(out)


def check_openpyxl(path, sheets, problems):
    import openpyxl
    from openpyxl.utils import get_column_letter

    book = openpyxl.load_workbook(path)
    if book.sheetnames != [s["name"] for s in sheets]:
        problems.add("sheet names %s" % book.sheetnames)
        return 0
    cells = 0
    for sheet, expected in zip(book.worksheets, sheets):
        rows = expected["rows"]
        width = len(rows[0])
        if sheet.freeze_panes != "A2":
            problems.add("%s: frozen at %s, expected A2" % (sheet.title, sheet.freeze_panes))
        want_filter = "A1:%s%d" % (get_column_letter(width), len(rows))
        if sheet.auto_filter.ref != want_filter:
            problems.add("%s: autofilter %s, expected %s" % (sheet.title, sheet.auto_filter.ref, want_filter))
        for c, heading in enumerate(rows[0]):
            got = sheet.column_dimensions[get_column_letter(c + 1)].width
            if not got or got < len(heading):
                problems.add("%s: column %d %s wide, narrower than %r" % (sheet.title, c, got, heading))
        if sheet.max_row != len(rows):
            problems.add("%s: %d rows, expected %d" % (sheet.title, sheet.max_row, len(rows)))
        for r, row in enumerate(sheet.iter_rows(min_row=1, max_row=len(rows), max_col=width)):
            for c, cell in enumerate(row):
                want = rows[r][c] if c < len(rows[r]) else None
                cells += 1
                if want is None:
                    if cell.value is not None:
                        problems.add("%s!%s: %s, expected empty" % (sheet.title, cell.coordinate, short(cell.value)))
                elif cell.data_type != "s" or cell.value != want:
                    problems.add("%s!%s: type %s %s, expected text %s"
                                 % (sheet.title, cell.coordinate, cell.data_type, short(cell.value), short(want)))
    return cells


def check_csv(path, header, rows, problems):
    with open(path, "rb") as f:
        data = f.read()
    bom = b"\xef\xbb\xbf"
    if not data.startswith(bom):
        problems.add("no byte-order mark")
    text = data[len(bom):].decode("utf-8", "surrogateescape")
    got = list(csv.reader(io.StringIO(text, newline="")))
    want = [header] + [["" if v is None else v.decode("utf-8", "surrogateescape") for v in row]
                       for row in rows]
    for r, (g, w) in enumerate(zip(got, want)):
        if g != w:
            problems.add("row %d: %s, expected %s" % (r, short(g), short(w)))
    if len(got) != len(want):
        problems.add("%d records, expected %d" % (len(got), len(want)))
    # The same records as RFC 4180 writes them: quoted only where needed, CRLF ends.
    out = io.StringIO(newline="")
    csv.writer(out, lineterminator="\r\n", quoting=csv.QUOTE_MINIMAL).writerows(want)
    if out.getvalue().encode("utf-8", "surrogateescape") != data[len(bom):]:
        problems.add("the bytes differ from RFC 4180's form of the same records")
    return sum(len(row) for row in got)


def check_written(path, written, ssconvert, problems):
    header = written["header"]
    rows = [[None if v is None else bytes.fromhex(v) for v in row] for row in written["rows"]]
    extension = os.path.splitext(path)[1].lower()
    if extension == ".csv":
        return check_csv(path, header, rows, problems)
    decoded = [[None if v is None else v.decode("utf-8", "replace") for v in row] for row in rows]
    if extension == ".xls":
        fitted = [[None if v is None else fit_cell(v) for v in row] for row in decoded]
        return check_xlrd(path, sheets_of(header, fitted, written["rows_per_sheet"]), problems)
    shown = [[xlsx_text(v) if v else None for v in row] for row in decoded]
    sheets = sheets_of([xlsx_text(h) for h in header], shown, written["rows_per_sheet"])
    cells = check_openpyxl(path, sheets, problems)
    if ssconvert and not problems:
        check_ssconvert(path, sheets, problems)
    return cells


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("workbook")
    source = parser.add_mutually_exclusive_group(required=True)
    source.add_argument("--db")
    source.add_argument("--expect")
    source.add_argument("--written")
    parser.add_argument("--ssconvert", action="store_true")
    args = parser.parse_args()

    if args.written:
        with open(args.written, encoding="utf-8") as f:
            written = json.load(f)
        problems = Mismatches()
        cells = check_written(args.workbook, written, args.ssconvert, problems)
        if problems:
            print("\n".join(problems.lines))
            return 1
        print("ok: %s cells" % cells)
        return 0
    if args.db:
        sheets = expected_from_db(args.db)
    else:
        with open(args.expect, encoding="utf-8") as f:
            sheets = json.load(f)
    problems = Mismatches()
    cells = check_xlrd(args.workbook, sheets, problems)
    if args.ssconvert and not problems:
        check_ssconvert(args.workbook, sheets, problems)
    if problems:
        print("\n".join(problems.lines))
        return 1
    print("ok: %d sheets, %s cells" % (len(sheets), cells))
    return 0


if __name__ == "__main__":
    sys.exit(main())
