"""Reads the exports of one table back with real readers and prints, for each format, a line
per record: the format's name, then the cells, tab-separated. RTF only where LibreOffice is."""
import csv
import html.parser
import pathlib
import re
import shutil
import sqlite3
import subprocess
import sys
import xml.etree.ElementTree as ET

import xlrd

folder, name = pathlib.Path(sys.argv[1]), sys.argv[2]
rows = {}


def exported(extension):
    return folder / (name + extension)


if exported(".xml").exists():
    rows["xml"] = [[r.findtext("NAME"), r.findtext("CITY")] for r in ET.parse(exported(".xml")).iter("Record")]
if exported(".sql").exists():
    db = sqlite3.connect(":memory:")
    db.executescript(exported(".sql").read_bytes().decode("utf-8"))
    rows["sql"] = [list(r) for r in db.execute("select NAME, CITY from " + name)]
if exported(".xls").exists():
    sheet = xlrd.open_workbook(str(exported(".xls"))).sheet_by_index(0)
    rows["xls"] = [sheet.row_values(r) for r in range(1, sheet.nrows)]


class Cells(html.parser.HTMLParser):
    def __init__(self):
        super().__init__()
        self.rows, self.inCell = [], False

    def handle_starttag(self, tag, attrs):
        self.inCell = tag == "td"
        if tag == "tr":
            self.rows.append([])

    def handle_endtag(self, tag):
        self.inCell = False

    def handle_data(self, data):
        if self.inCell:
            self.rows[-1].append(data)


if exported(".htm").exists():
    page = exported(".htm").read_bytes()
    parser = Cells()
    parser.feed(page.decode(re.search(rb'<meta charset="([^"]+)"', page).group(1).decode()))
    rows["htm"] = [r for r in parser.rows if r]
if exported(".csv").exists():
    with open(exported(".csv"), encoding="utf-8", newline="") as f:
        rows["csv"] = list(csv.reader(f))[1:]
if exported(".rtf").exists() and shutil.which("soffice"):
    subprocess.run(["soffice", "--headless", "--convert-to", "txt:Text (encoded):UTF8", "--outdir", str(folder),
                    str(exported(".rtf"))], check=True, capture_output=True)
    lines = [l for l in exported(".txt").read_text(encoding="utf-8-sig").splitlines() if l.strip()]
    rows["rtf"] = [lines[-2:]]
for format, records in rows.items():
    for record in records:
        sys.stdout.buffer.write(("\t".join([format] + record) + "\n").encode("utf-8"))
