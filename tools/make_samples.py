#!/usr/bin/env python3
"""Writes the example tables in samples/. Run it again after changing it; the tables are
committed so that a new user has something to open."""
import datetime
import pathlib
import struct

HERE = pathlib.Path(__file__).resolve().parent.parent / "samples"


def table(path, version, fields, records, driver=0x03, vfp_tail=False, update=(2024, 5, 1)):
    """fields: (name, type, length, decimals); records: (deleted, [bytes per field])."""
    record_length = 1 + sum(f[2] for f in fields)
    header_length = 32 + 32 * len(fields) + 1 + (263 if vfp_tail else 0)
    out = bytearray()
    out += struct.pack("<B3BIHH", version, update[0] - 1900, update[1], update[2], len(records), header_length, record_length)
    out += bytes(17) + bytes([driver]) + bytes(2)
    offset = 1
    for name, ftype, length, decimals in fields:
        out += name.encode("ascii").ljust(11, b"\0") + ftype.encode("ascii")
        out += struct.pack("<I", offset) + bytes([length, decimals]) + bytes(14)
        offset += length
    out += b"\r" + (bytes(263) if vfp_tail else b"")
    assert len(out) == header_length
    for deleted, cells in records:
        row = b"*" if deleted else b" "
        for (name, ftype, length, _), cell in zip(fields, cells):
            assert len(cell) == length, (name, cell)
            row += cell
        out += row
    out += b"\x1a"
    (HERE / path).write_bytes(bytes(out))


def text(value, length):
    return value.encode("cp1252").ljust(length)[:length]


def number(value, length, decimals=0):
    if value is None:
        return b" " * length
    return f"{value:{length}.{decimals}f}".encode("ascii")


def date(value):
    return value.strftime("%Y%m%d").encode("ascii") if value else b" " * 8


def julian(moment):
    if moment is None:
        return bytes(8)
    day = moment.date().toordinal() + 1721425
    ms = ((moment.hour * 60 + moment.minute) * 60 + moment.second) * 1000
    return struct.pack("<ii", day, ms)


def customers():
    fields = [("NAME", "C", 24, 0), ("CITY", "C", 16, 0), ("BALANCE", "N", 10, 2), ("JOINED", "D", 8, 0), ("ACTIVE", "L", 1, 0)]
    rows = [
        (False, "Ana Müller", "Zürich", 1250.5, datetime.date(2019, 3, 14), True),
        (False, "François Dupré", "Besançon", -42.25, datetime.date(2021, 11, 2), True),
        (True, "Old Account", "Århus", 0, datetime.date(2003, 12, 31), False),
        (False, "José Núñez", "Málaga", 980, None, False),
        (False, 'Pat "the Cat" O\'Neil', "Köln", None, datetime.date(2024, 2, 29), True),
        (True, "Closed, Ltd.", "Logroño", 17.1, datetime.date(1999, 1, 1), False),
        (False, "Søren Kierkegård", "København", 123456.78, datetime.date(2010, 6, 30), True),
    ]
    records = [
        (deleted, [text(n, 24), text(c, 16), number(b, 10, 2), date(d), b"T" if a else b"F"])
        for deleted, n, c, b, d, a in rows
    ]
    table("customers.dbf", 0x03, fields, records)


def types():
    fields = [
        ("CODE", "C", 6, 0), ("QTY", "N", 5, 0), ("PRICE", "N", 9, 2), ("RATE", "F", 12, 4), ("SOLD", "D", 8, 0),
        ("PAID", "L", 1, 0), ("NOTES", "M", 4, 0), ("ID", "I", 4, 0), ("COST", "Y", 8, 4), ("STAMP", "T", 8, 0),
    ]
    rows = [
        ("A-100", 12, 9.99, 0.0825, datetime.date(2024, 1, 31), "T", 1, 1, 12.5, datetime.datetime(2024, 1, 31, 9, 30, 0)),
        ("B-200", 0, 1234.5, -1.5, datetime.date(2023, 7, 4), "F", 0, 2, -0.0001, None),
        ("C-300", 32767, 0.01, 1e-05, None, "?", 2, -3, 922337203685.4775, datetime.datetime(1999, 12, 31, 23, 59, 59)),
        ("D-400", None, None, None, datetime.date(2000, 2, 29), " ", 0, 2147483647, 0, datetime.datetime(2000, 1, 1, 0, 0, 0)),
    ]
    records = []
    for code, qty, price, rate, sold, paid, memo, ident, cost, stamp in rows:
        records.append((code == "B-200", [
            text(code, 6), number(qty, 5), number(price, 9, 2), number(rate, 12, 4), date(sold), paid.encode(),
            (f"{memo:4d}".encode() if memo else b"    "), struct.pack("<i", ident),
            struct.pack("<q", round(cost * 10000)), julian(stamp),
        ]))
    table("types.dbf", 0x30, fields, records, vfp_tail=True)


def empty():
    fields = [("ID", "N", 6, 0), ("LABEL", "C", 20, 0), ("CREATED", "D", 8, 0)]
    table("empty.dbf", 0x03, fields, [])


if __name__ == "__main__":
    HERE.mkdir(exist_ok=True)
    customers()
    types()
    empty()
