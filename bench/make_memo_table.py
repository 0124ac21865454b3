#!/usr/bin/python3
"""Writes a FoxPro 2 table of N records with one memo each (OUT.dbf and OUT.fpt), and the same
table with every memo pointer blank (OUT_plain.dbf), to time what reading memos costs.

Usage: make_memo_table.py N OUT.dbf
"""
import os
import random
import struct
import sys

BLOCK = 64
FIELDS = [('NAME', 'C', 30), ('CITY', 'C', 20), ('AMOUNT', 'N', 12), ('NOTE', 'M', 10)]
WORDS = 'the quick brown fox jumps over a lazy dog while seven tables read their notes at once'.split()


def header(records):
    record_length = 1 + sum(length for _, _, length in FIELDS)
    head = struct.pack('<B3BIHH20x', 0xF5, 124, 1, 1, records, 32 + 32 * len(FIELDS) + 1, record_length)
    for name, kind, length in FIELDS:
        head += struct.pack('<11sc4xBB14x', name.encode(), kind.encode(), length, 2 if kind == 'N' else 0)
    return head + b'\r'


def main():
    count, out = int(sys.argv[1]), sys.argv[2]
    stem = os.path.splitext(out)[0]
    rng = random.Random(7)
    with open(out, 'wb') as table, open(stem + '_plain.dbf', 'wb') as plain, open(stem + '.fpt', 'wb') as memo:
        table.write(header(count))
        plain.write(header(count))
        memo.write(struct.pack('>IHH504x', 0, 0, BLOCK))
        block = 512 // BLOCK
        for i in range(count):
            text = ' '.join(rng.choice(WORDS) for _ in range(rng.randint(5, 30))).encode()
            if i % 7 == 0:
                text += b'\r\nsecond line'
            stored = struct.pack('>II', 1, len(text)) + text
            stored += b'\0' * (-len(stored) % BLOCK)
            memo.write(stored)
            fixed = b' ' + ('Name %d' % i).encode().ljust(30) + b'Springfield'.ljust(20) + ('%.2f' % (i * 1.25)).encode().rjust(12)
            table.write(fixed + str(block).encode().rjust(10))
            plain.write(fixed + b' ' * 10)
            block += len(stored) // BLOCK
        table.write(b'\x1a')
        plain.write(b'\x1a')


if __name__ == '__main__':
    main()
