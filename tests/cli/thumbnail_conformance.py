#!/usr/bin/env python3
"""`tolan thumbnail -s 96` on every image of the test data's manifest: each
PNG must read in ImageMagick's identify with its longer side 96 and the
other side the frame's, scaled and rounded; files that fail must fail with
exit code 2 and a message, never a crash.

usage: thumbnail_conformance.py TOLAN DATA_DIR
Exits 77 (skipped) when identify or the data are missing.
"""
import csv
import os
import shutil
import subprocess
import sys
import tempfile

SIZE = 96
tolan, data = sys.argv[1], sys.argv[2]
manifest = os.path.join(data, 'MANIFEST.tsv')
if not shutil.which('identify') or not os.path.isfile(manifest):
    sys.exit(77)


def expected(columns, rows):
    longer, shorter = max(columns, rows), min(columns, rows)
    other = max(1, (shorter * SIZE * 2 + longer) // (longer * 2))
    return (SIZE, other) if columns >= rows else (other, SIZE)


problems, written, refused = [], 0, 0
with open(manifest, newline='') as table, tempfile.TemporaryDirectory() as work:
    for row in csv.DictReader(table, delimiter='\t'):
        path = os.path.join(data, row['path'])
        if not (row['rows'].isdigit() and row['columns'].isdigit()) or not os.path.isfile(path):
            continue
        out = os.path.join(work, 'thumb.png')
        run = subprocess.run([tolan, 'thumbnail', '-s', str(SIZE), path, out], capture_output=True, text=True)
        if 'Sanitizer' in run.stderr or 'runtime error' in run.stderr:
            problems.append(f'{row["path"]}: {run.stderr.strip()}')
        elif run.returncode != 0:
            refused += 1
            if run.returncode != 2 or not run.stderr.strip() or os.path.exists(out):
                problems.append(f'{row["path"]}: exit {run.returncode}, {run.stderr.strip()!r}')
        else:
            written += 1
            shown = subprocess.run(['identify', '-format', '%w %h', out], capture_output=True, text=True)
            size = tuple(int(v) for v in shown.stdout.split()) if shown.returncode == 0 else None
            want = expected(int(row['columns']), int(row['rows']))
            if size != want:
                problems.append(f'{row["path"]}: identify says {size}, expected {want}')
            os.remove(out)

print(f'written {written}, refused {refused}')
for problem in problems:
    print(problem)
# Most of the test data is readable; a reader that refuses it all is broken too.
sys.exit(1 if problems or written < 20 else 0)
