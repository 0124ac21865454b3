"""The memo texts of real tables in quillet-cli's CSV, XML and SQL, against what dbfread reads.

Usage: memo_reference.py QUILLET_CLI CORPUS_DIR (run by /usr/bin/python3, where dbfread loads).
"""
import os
import re
import subprocess
import sys
import tempfile

import dbfread
import dbfread.memo


def dbase4_memo(self, index):
    # dbfread reads a dBASE IV memo's 8 header bytes too many (its length counts them) and cuts
    # at the 0x1F that follows; what an edited memo leaves behind it then shows ("Eigth memomo").
    if index <= 0:
        return None
    self._seek(index * 512)
    return self._read(dbfread.memo.DB4MemoHeader.read(self.file).length - 8)


dbfread.memo.DB4MemoFile.__getitem__ = dbase4_memo

TABLES = ['dbfread/memotest.dbf', 'infused-dbf/dbase_30.dbf', 'infused-dbf/dbase_83.dbf', 'infused-dbf/dbase_8b.dbf',
          'infused-dbf/dbase_f5.dbf', 'php-xbase/dBaseIV.dbf', 'php-xbase/Foxpro2.dbf', 'php-xbase/dBaseVII.dbf']
# dbfread cannot read dBASE 7 headers; php-xbase's tests expect the same texts of its dBASE IV
# twin (the pictures differ).
READ_BACK = os.path.join(os.path.dirname(os.path.abspath(__file__)), '..', 'support', 'read_back.py')
REFERENCE = {'php-xbase/dBaseVII.dbf': ('php-xbase/dBaseIV.dbf', ['BIO'])}


def cleaned(text):
    # What every export does to a cell: no CR, NUL or other control characters, no blanks around
    # (nor line breaks: the twin tables differ in a final one).
    return ''.join(c for c in text if c >= ' ' or c in '\t\n').strip()


def exported(cli, table, form, folder):
    subprocess.run([cli, 'convert', table, '--to', form, '--records', 'live', '--out', folder],
                   check=True, stdout=subprocess.DEVNULL)
    return os.path.join(folder, os.path.basename(table).split('.')[0] + '.' + form)


def columns(path):
    # What the format's consumer reads in the file (tests/support/read_back.py), by column.
    seen = subprocess.run(['/usr/bin/python3', READ_BACK, path], check=True, capture_output=True).stdout.decode('utf-8')
    rows = [[unescaped(cell) for cell in line.split('\t')] for line in seen.split('\n')[:-1]]
    return {name: [row[i] for row in rows[1:]] for i, name in enumerate(rows[0])}


def unescaped(cell):
    return re.sub(r'\\(x..|.)', lambda m: {'t': '\t', 'n': '\n', 'r': '\r', '\\': '\\'}.get(m.group(1))
                  or chr(int(m.group(1)[1:], 16)), cell)


def main():
    cli, corpus = sys.argv[1], sys.argv[2]
    if not os.path.isdir(corpus):
        print('no corpus at ' + corpus)
        return 77
    failures = 0
    checked = 0
    with tempfile.TemporaryDirectory() as folder:
        for name in TABLES:
            path = os.path.join(corpus, name)
            twin, fields = REFERENCE.get(name, (name, None))
            reference = os.path.join(corpus, twin)
            # CSV keeps the table's bytes; XML and SQL are UTF-8 in the table's code page.
            raw = dbfread.DBF(reference, encoding='latin-1')
            # A table that names no code page is Windows-1252 to us, ASCII to dbfread.
            guess = dbfread.DBF(reference).encoding
            decoded = dbfread.DBF(reference, encoding='cp1252' if guess == 'ascii' else guess, char_decode_errors='replace')
            memos = fields or [f.name for f in raw.fields if f.type in 'MGPB' and not (f.type == 'B' and f.length == 8)]
            for form, records in (('csv', list(raw)), ('xml', list(decoded)), ('sql', list(decoded))):
                ours = columns(exported(cli, path, form, folder))
                for field in memos:
                    text_field = next(f for f in raw.fields if f.name == field).type == 'M'
                    for index, record in enumerate(records):
                        value = record[field]
                        expected = cleaned(value) if text_field and isinstance(value, str) else ''
                        # Bytes the code page leaves undefined are compared in the CSV alone.
                        if '\ufffd' in expected:
                            continue
                        checked += 1
                        if cleaned(ours[field][index]) != expected:
                            failures += 1
                            print('%s %s record %d %s: %r, dbfread %r' % (name, form, index + 1, field,
                                                                        ours[field][index][:80], expected[:80]))
    print('%d memo cells compared, %d differ' % (checked, failures))
    return 1 if failures or not checked else 0


if __name__ == '__main__':
    sys.exit(main())
