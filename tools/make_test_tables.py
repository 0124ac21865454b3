#!/usr/bin/env python3
"""Writes the small tables under tests/data/tables/ that the golden-file and reader cases start
from. Run it again after changing it; the tables are committed beside their expected outputs."""
import pathlib
import struct

HERE = pathlib.Path(__file__).resolve().parent.parent / "tests" / "data" / "tables"


def table(name, fields, records, version=0x03, driver=0x03, cpg=None, tail=0):
    """fields: (name bytes, type, length, decimals[, flags]); records: (mark, [cell bytes]), cells padded
    with blanks (numbers on the left) unless they already have the field's length."""
    record_length = 1 + sum(f[2] for f in fields)
    header_length = 32 + 32 * len(fields) + 1 + tail
    out = bytearray(struct.pack("<B3BIHH", version, 124, 5, 1, len(records), header_length, record_length))
    out += bytes(17) + bytes([driver]) + bytes(2)
    for fname, ftype, length, decimals, *flags in fields:
        out += fname.ljust(11, b"\0")[:11] + ftype.encode("latin-1") + bytes(4) + bytes([length, decimals] + flags) + bytes(14 - len(flags))
    out += b"\r" + bytes(tail)
    for mark, cells in records:
        out += mark
        for (_, ftype, length, *_), cell in zip(fields, cells):
            if len(cell) != length:
                cell = cell.rjust(length) if ftype in "NF" else cell.ljust(length)
            out += cell[:length]
    out += b"\x1a"
    (HERE / name).write_bytes(bytes(out))
    if cpg is not None:
        (HERE / name).with_suffix(".cpg").write_bytes(cpg)


def i32(v): return struct.pack("<i", v)
def i64(v): return struct.pack("<q", v)
def f64(v): return struct.pack("<d", v)
def stamp(day, ms): return struct.pack("<ii", day, ms)


table("people.dbf", [(b"NAME", "C", 10, 0), (b"CITY", "C", 10, 0), (b"AGE", "N", 3, 0)], [(b" ", [b"Smith", b"Leeds", b"42"])])

# What the formats escape, drop or quote, in names and cells; live and deleted records.
table("escapes.dbf", [(b"A&B<C>", "C", 24, 0), (b'Q"{}\\', "C", 16, 0), (b"AMOUNT", "N", 8, 2), (b"OK", "L", 1, 0),
                      (b"MEMO", "M", 10, 0), (b"BORN", "D", 8, 0)], [
    (b" ", [b'say "hi", <b>&amp;', b"a;b,c\td", b"12.50", b"T", b"0000000001", b"20240131"]),
    (b"*", [b"  lead and trail  ", b"x\0y\rz\nw", b"-3", b"F", b"", b""]),
    (b" ", [b"caf\xe9 \x80 {x} \\par", b'"', b"", b"?", b"", b"19991231"]),
    (b" ", [b"", b"\x01\x1f tab\t", b"1000000", b"Y", b"", b""]),
])

# Names that are not XML names or are SQL keywords, and every field type.
table("names.dbf", [(b"1ST", "C", 12, 0), (b"A:B", "D", 8, 0), (b"\xc9T\xc9", "F", 10, 2), (b"#X Y", "I", 4, 0),
                    (b"ORDER", "Y", 8, 0), (b"_OK-1.2", "B", 8, 0), (b"WHEN", "T", 8, 0), (b"PIC", "G", 4, 0),
                    (b"select", "L", 1, 0), (b"Order", "N", 9, 0), (b"0N10", "N", 10, 0), (b"ODD", "X", 2, 0),
                    (b"NOTE", "M", 4, 0), (b"table", "C", 3, 0)], [
    (b" ", [b"it's\r\n\x80", b"20240131", b"  -0.0825", i32(-5), i64(-12345678901234), f64(0.30000000000000004),
            stamp(2460341, 34200000), b"   1", b"T", b"12", b"1234567890", b"zz", b"  17", b"a'b"]),
    (b"*", [b"\0\0", b"", b"0", i32(0), i64(0), f64(0.0), bytes(8), b"", b"F", b"0", b"", b"", b""]),
    (b" ", [b"O'Brien", b"", b"", i32(2147483647), i64(9223372036854775807), f64(1e300), stamp(2451545, 45296789),
            b"", b"?", b"", b"-2147483649", b"", b""]),
], version=0x30)

# Text cells as the worksheet sorts them into integers, numbers and texts.
cells = [b"12", b"32766", b"32767", b"20240131", b"12.50", b"T", b"abc", b"1.2.3", b"", b"007", b"-5", b"  0 ", b"1 2",
         b"1e3", b"5e-1", b"nan", b"12,5", b"0.00001"]
table("cells.dbf", [(b"V", "C", 10, 0), (b"AMOUNT", "N", 12, 5)],
      [(b" ", [c, n]) for c, n in zip(cells, [b"12.5", b"12", b"-3.25", b"0.00001"] + [b""] * 14)])

# Numbers that would not fit the SQL type their field declares.
table("widths.dbf", [(b"FRACTION", "N", 5, 0), (b"WIDE", "N", 6, 2), (b"HUGE", "N", 5, 0), (b"FITS", "N", 6, 2),
                     (b"ZERO", "N", 0, 2)], [(b" ", [b"12.5", b"12345", b"1E999", b"123.45", b""]),
                                            (b" ", [b"3", b"1.5", b"-9E99", b"-1.5", b""])])

# Code pages: from the driver byte, or from a .cpg naming one worksheet readers lack.
table("cyrillic.dbf", [(b"\xc8\xcc\xdf", "C", 24, 0)], [(b" ", [b"\xcf\xf0\xe8\xe2\xe5\xf2 & <\xec\xe8\xf0>"])], driver=0xC9)
table("utf8.dbf", [(b"NAME", "C", 40, 0)], [(b" ", ["Łódź".encode()]), (b" ", ["Gdańsk Świętokrzyska".encode()]),
                                            (b" ", ["日本अ".encode()]), (b" ", [b"a" * 36 + b"\x80 \xe9"]),
                                            (b" ", ["😀 𝄞 Zoë".encode()]), (b" ", ["a\ufffeb\ufffdc\uffff".encode()])], cpg=b"UTF-8")
table("polish.dbf", [(b"NAME", "C", 24, 0)], [(b" ", ["Zażółć gęślą jaźń {}".encode("cp1250")])], driver=0xC8)
table("ascii_utf8.dbf", [(b"NAME", "C", 5, 0)], [(b" ", [b"plain"])], cpg=b"UTF-8")
table("greek.dbf", [(b"NAME", "C", 20, 0)], [(b" ", ["Αθήνα".encode()]), (b" ", ["café".encode()])], cpg=b" utf8\r\n")
# A double-byte page: a whole pair, a lead byte before a byte no pair ends with, a lead byte cut off by the field's end.
table("gbk.dbf", [(b"NAME", "C", 6, 0)], [(b" ", [b"\xd6\xd0\xce\xc4"]), (b" ", [b"a\x81\x7fb"]), (b" ", [b"xyz\xd6\xd0\x81"])], driver=0x7A)
table("latin1.dbf", [(b"NAME", "C", 10, 0)], [(b" ", [b"Gr\xfc\xdfe \x80"]), (b" ", [b"a\x81\x8d\x9db"])], cpg=b"ISO-8859-1")

# Reader cases: binary types, numbers as other programs write them.
table("binary.dbf", [(b"ID", "I", 4, 0), (b"PRICE", "Y", 8, 0), (b"RATIO", "B", 8, 0), (b"STAMP", "T", 8, 0),
                     (b"NOTE", "M", 4, 0), (b"TEXTI", "I", 3, 0)],
      [(b" ", [i32(-7), i64(123456), f64(-2.5), stamp(2451545, 45296789), b"0001", b" 42"]),
       (b"*", [bytes(4), bytes(8), bytes(8), bytes(8), bytes(4), b""])], version=0x30)
# Varying fields: a bit of the null flags says whether the field's last byte holds its length.
table("varying.dbf", [(b"NAME", "V", 8, 0), (b"NOTE", "V", 6, 0), (b"_NullFlags", "0", 1, 0, 0x01)],
      [(b" ", [b"Full8chr", b"ab\0\0\0\x02", b"\x02"]), (b" ", [b"Tail1234", b"cut me", b"\0"])], version=0x30, tail=263)
numbers = [b"   12.50", b"-3", b"", b"abc", b"1 2", b"********", b"\0" * 8, b"   12\0\0\0", b"\0\0\0   12", b"  **12.5",
           b" 1\x002.50 ", b"-\0     3", b"  12E5", b"&H1F", b"1.5.6", b"1,5"]
table("numbers.dbf", [(b"N", "N", 8, 2), (b"F", "F", 8, 1), (b"DIV", "N", 8, ord("2")), (b"OK", "L", 1, 0), (b"D", "D", 8, 0)],
      [(b" ", [n, n, n, n[:1] or b" ", n]) for n in numbers] + [(b" ", [b"", b"", b"", b"t", b""]), (b" ", [b"", b"", b"", b"y", b""])])
table("names_raw.dbf", [(b"CODE\0\0\0\0\0\0\0", "\0", 1, 0), (b"           ", "C", 1, 0), (b" A\rB\0C ", "C", 1, 0),
                        (b"\0\0X", "C", 1, 0), (b"", "C", 1, 0), (b"LAST", "C", 1, 0)], [(b" ", [b"a", b"b", b"c", b"d", b"e", b"f"])])


def dbase2(name, fields, records):
    """A dBASE II table: an 8-byte header (count, month, day, year, record length), 16-byte
    descriptors ended by 0x0D in a 521-byte header, then the records."""
    record_length = 1 + sum(f[2] for f in fields)
    out = bytearray(struct.pack("<BH3BH", 0x02, len(records), 7, 4, 83, record_length))
    for fname, ftype, length, decimals in fields:
        out += fname.ljust(11, b"\0")[:11] + ftype.encode("latin-1") + bytes([length, 0, 0, decimals])
    out += b"\r"
    out = out.ljust(521, b"\0")
    for mark, cells in records:
        out += mark + b"".join(c.rjust(f[2]) if f[1] == "N" else c.ljust(f[2]) for f, c in zip(fields, cells))
    out += b"\x1a"
    (HERE / name).write_bytes(bytes(out))


dbase2("dbase2.dbf", [(b"NAME", "C", 8, 0), (b"PAY:RATE", "N", 7, 2)], [(b" ", [b"Stegman", b"6.50"]), (b"*", [b"Taylor", b"18.25"])])
