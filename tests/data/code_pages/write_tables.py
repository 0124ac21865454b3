"""Writes the tables of texts.tsv into the folder given, with python3-dbf. The last one
holds 866 text under a header byte that says 1252, as some writers leave it."""
import pathlib
import sys

import dbf

here = pathlib.Path(__file__).parent
out = pathlib.Path(sys.argv[1])
for line in (here / "texts.tsv").read_text(encoding="utf-8").splitlines():
    if line.startswith("#"):
        continue
    name, codec, _, *cells = line.split("\t")
    path = out / (name + ".dbf")
    table = dbf.Table(str(path), "NAME C(30); CITY C(20)", codepage=codec)
    table.open(dbf.READ_WRITE)
    table.append(tuple(cells))
    table.close()
    if name == "said1252":
        with open(path, "r+b") as f:
            f.seek(29)
            f.write(b"\x03")
