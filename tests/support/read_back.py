# Reads an exported file back with a real consumer of its format and prints what it sees: one
# line per row, the column names first, cells separated by TAB (a TAB, LF, CR, backslash or
# other control character in a cell written \t, \n, \r, \\, \xNN). Worksheets give their whole
# grid, so records and columns left out show as empty rows and cells.
#   read_back.py FILE [OPTION WORDS as tests pass them to SettingsFor]
import csv, html, re, sqlite3, subprocess, sys, xml.etree.ElementTree as ET

path, words = sys.argv[1], " ".join(sys.argv[2:]).split()
kind = path.rsplit(".", 1)[-1]
option = lambda key, default: next((w.split("=", 1)[1] for w in words if w.startswith(key + "=")), default)
number = lambda v: repr(v)[:-2] if repr(v).endswith(".0") else repr(v)
rows = []
if kind in ("txt", "csv"):
    csv.field_size_limit(sys.maxsize)  # memo texts are longer than the csv module's guard
    delimiter = {"tab": "\t", "space": " "}.get(option("delimiter", ","), option("delimiter", ","))
    with open(path, newline="", encoding="utf-8" if "to-utf8" in words else "latin-1") as f:
        rows = list(csv.reader(f, delimiter=delimiter, quoting=csv.QUOTE_NONE if "no-quotes" in words else csv.QUOTE_MINIMAL))
elif kind == "htm":
    for line in open(path, newline="", encoding="utf-8").read().split("\r\n"):
        if line.startswith("<TR>"):
            rows.append(["" if c == "&nbsp" else html.unescape(c.replace("<br>", "\n")) for c in re.findall(r"<T[HD]>(.*?)</T[HD]>", line, re.S)])
elif kind == "rtf":  # in the code page the document declares; \uN? is UTF-16 unit N (signed)
    previous, cells, text = "", None, open(path, "rb").read()
    cpg = int(re.search(rb"\\ansicpg(\d+)", text).group(1))
    page = {20866: "koi8_r", 65001: "utf-8"}.get(cpg, "iso8859_%d" % (cpg - 28590) if 28591 <= cpg <= 28605 else "cp%d" % cpg)
    for line in text.decode(page, errors="replace").split("\r\n"):
        if line == "{" and (previous.startswith("\\trowd") or previous.startswith("\\cellx")):
            cells = []
        elif line == "}" and cells is not None:
            rows, cells = rows + [cells], None
        elif cells is not None and line.endswith("\\cell "):
            cells.append("" if line == " \\cell " else re.sub(r"\\u(-?\d+)\?|\\line |\\(.)", lambda m: chr(int(m.group(1)) % 65536) if m.group(1) else m.group(2) or "\n", line[:-6]).encode("utf-16", "surrogatepass").decode("utf-16"))
        previous = line
elif kind == "xml":
    root = ET.fromstring(subprocess.run(["xmllint", "--c14n", path], check=True, capture_output=True).stdout)
    rows.append([f.findtext("Field_Name") for f in root.find("Structure")])
    for record in root.find("Records"):
        rows.append([c.text or "" if c.tag == name else "<%s>" % c.tag for c, name in zip(record, rows[0] + [None] * len(record))])
elif kind == "sql":
    db = sqlite3.connect(":memory:")
    db.executescript(open(path, encoding="utf-8").read())
    [(name,)] = db.execute("select name from sqlite_master where type = 'table'").fetchall()
    columns = db.execute("select name, type from pragma_table_info(?)", (name,)).fetchall()
    rows.append([c[0] for c in columns])
    for row in db.execute('select * from "%s" order by rowid' % name.replace('"', '""')):
        rows.append(["" if v is None else ("True" if v else "False") if t == "Boolean" else number(v) if isinstance(v, float)
                     else str(v) for v, (_, t) in zip(row, columns)])
elif kind == "xls":
    import xlrd
    book = xlrd.open_workbook(path)
    sheet = book.sheet_by_index(0)
    for r in range(sheet.nrows):
        rows.append([number(c.value) if c.ctype == xlrd.XL_CELL_NUMBER else str(c.value) for c in sheet.row(r)] +
                    [""] * (sheet.ncols - len(sheet.row(r))))
elif kind == "xlsx":
    import datetime, openpyxl
    text = lambda v: "" if v is None else str(v) if not isinstance(v, (bool, float, datetime.datetime)) else (
        "True" if v else "False") if isinstance(v, bool) else number(v) if isinstance(v, float) else v.strftime(
        "%Y%m%d" if v.time() == datetime.time() else "%Y-%m-%d %H:%M:%S")
    rows = [[text(c.value) for c in row] for row in openpyxl.load_workbook(path).active.iter_rows()]
elif kind == "sqlite":  # through the sqlite3 program, not Python's module
    import json
    run = lambda sql: json.loads(subprocess.run(["sqlite3", "-readonly", "-json", path, sql], check=True,
                                                capture_output=True).stdout or b"[]")
    [name] = [t["name"] for t in run("select name from sqlite_master where type = 'table'")]
    columns = run("select name, type from pragma_table_info('%s')" % name.replace("'", "''"))
    rows.append([c["name"] for c in columns])
    for row in run('select * from "%s" order by rowid' % name.replace('"', '""')):
        rows.append(["" if v is None else ("True" if v else "False") if c["type"] == "BOOLEAN" else number(v)
                     if isinstance(v, float) else str(v) for v, c in zip(row.values(), columns)])
escape = lambda s: re.sub(r"[\x00-\x1f\x7f\\]", lambda m: {"\t": "\\t", "\n": "\\n", "\r": "\\r", "\\": "\\\\"}.get(
    m.group(), "\\x%02X" % ord(m.group())), s)
sys.stdout.buffer.write("".join("\t".join(map(escape, row)) + "\n" for row in rows).encode("utf-8"))
