"""Reads worksheets back for the tests, as a spreadsheet program would see them.

sheet_reader.py rows FILE.xlsx    the cells row by row (0x1F after each cell, 0x1E after each
                                  row), as the texts a table shows: TRUE as True, 12.0 as 12,
                                  dates as YYYYMMDD (a date field's digits), date-times ISO
sheet_reader.py typed FILE.xlsx   the sheet's name, frozen cell and filter, then each cell's
                                  address, Python type, value, number format and boldness
sheet_reader.py count FILE...     for each .xls or .xlsx file: its name and number of rows
"""
import datetime
import sys


def text(value):
    if value is None:
        return ""
    if isinstance(value, bool):
        return "True" if value else "False"
    if isinstance(value, float) and value.is_integer():
        return str(int(value))
    if isinstance(value, datetime.datetime):
        return value.strftime("%Y%m%d") if value.time() == datetime.time() else value.strftime("%Y-%m-%d %H:%M:%S")
    return str(value)


def rows_of(path):
    if path.endswith(".xls"):
        import xlrd
        sheet = xlrd.open_workbook(path).sheet_by_index(0)
        return sheet.nrows
    import openpyxl
    return openpyxl.load_workbook(path, read_only=True).active.max_row


mode, files = sys.argv[1], sys.argv[2:]
out = []
if mode == "count":
    out = ["%s %d" % (path, rows_of(path)) for path in files]
    out.append("")
else:
    import openpyxl
    sheet = openpyxl.load_workbook(files[0]).active
    if mode == "rows":
        out = ["".join(text(cell.value) + "\x1f" for cell in row)[:-1] + "\x1e" for row in sheet.iter_rows()]
    else:
        out = ["%s %s %s" % (sheet.title, sheet.freeze_panes, sheet.auto_filter.ref)]
        out += ["%s %s %r %s %s" % (cell.coordinate, type(cell.value).__name__, cell.value, cell.number_format,
                                    cell.font.b) for row in sheet.iter_rows() for cell in row if cell.value is not None]
sys.stdout.buffer.write("\n".join(out).encode("utf-8") if mode != "rows" else "".join(out).encode("utf-8"))
