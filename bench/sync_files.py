#!/usr/bin/python3
"""Writes copies of the files of a folder the way quillet-cli writes its outputs (a temporary
file, synced on its own, then renamed into place), on N threads, with no formatting at all:
what one sync and rename a file costs a batch, however many threads share the work.

Usage: sync_files.py N FROM_FOLDER TO_FOLDER
"""
import os
import sys
import threading


def main():
    jobs, source, target = int(sys.argv[1]), sys.argv[2], sys.argv[3]
    os.makedirs(target, exist_ok=True)
    names = sorted(os.listdir(source))
    # Read first, so that no read waits behind a sync; the files are in the cache, so the
    # reading is a small share of the time measured.
    contents = {}
    for name in names:
        with open(os.path.join(source, name), 'rb') as f:
            contents[name] = f.read()
    lock = threading.Lock()
    pending = list(reversed(names))

    def work():
        while True:
            with lock:
                if not pending:
                    return
                name = pending.pop()
            final = os.path.join(target, name)
            temporary = final + '.tmp'
            fd = os.open(temporary, os.O_WRONLY | os.O_CREAT | os.O_TRUNC, 0o644)
            try:
                os.write(fd, contents[name])
                os.fsync(fd)
            finally:
                os.close(fd)
            os.rename(temporary, final)

    threads = [threading.Thread(target=work) for _ in range(jobs)]
    for t in threads:
        t.start()
    for t in threads:
        t.join()


if __name__ == '__main__':
    main()
