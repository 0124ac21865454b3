"""Two readings the tests make beside read_back.py.

sheet_reader.py typed FILE.xlsx   the sheet's name, frozen cell, filter and the workbook's creation
                                  time, then each cell's
                                  address, Python type, value, number format and boldness
sheet_reader.py count FILE...     for each file: its name, a TAB and the rows read_back.py sees
                                  below the names (one Python for many files)
"""
import io
import os
import runpy
import sys

mode, files = sys.argv[1], sys.argv[2:]
out = []
if mode == "count":
    reader = os.path.join(os.path.dirname(os.path.abspath(__file__)), "read_back.py")
    stdout = sys.stdout
    for path in files:
        sys.argv, sys.stdout = [reader, path], io.TextIOWrapper(io.BytesIO())
        try:
            runpy.run_path(reader, run_name="__main__")
            seen = sys.stdout.buffer.getvalue().decode("utf-8")
            out.append("%s\t%d" % (path, max(0, seen.count("\n") - 1)))
        except Exception as e:
            out.append("%s\tfailed: %s" % (path, e))
        finally:
            sys.stdout = stdout
else:
    import openpyxl
    book = openpyxl.load_workbook(files[0])
    sheet = book.active
    out = ["%s %s %s created %s" % (sheet.title, sheet.freeze_panes, sheet.auto_filter.ref, book.properties.created)]
    out += ["%s %s %r %s %s" % (cell.coordinate, type(cell.value).__name__, cell.value, cell.number_format,
                                cell.font.b) for row in sheet.iter_rows() for cell in row if cell.value is not None]
sys.stdout.buffer.write(("\n".join(out) + "\n").encode("utf-8"))
