#!/usr/bin/env python3
"""`tolan scan --recursive --group-by series` against pydicom's grouping of the
same files by Series Instance UID: the same groups with the same file and
frame counts.

usage: scan_conformance.py TOLAN DATA_DIR
Exits 77 (skipped) when pydicom or the data are missing.
"""
import os
import subprocess
import sys
import tempfile

try:
    import pydicom
    from pydicom.errors import InvalidDicomError
except ImportError:
    sys.exit(77)

tolan, data = sys.argv[1], sys.argv[2]
if not os.path.isdir(data):
    sys.exit(77)


def text(value):
    return str(value).rstrip(' \0') if value is not None else ''


def frames(ds):
    try:
        n = int(str(ds.get('NumberOfFrames', 1)).strip() or 1)
    except ValueError:
        n = 1
    return n if n > 0 else 1


# The files pydicom reads as Part 10 DICOM, grouped in walk order. Files it
# refuses (pictures, raw data sets, broken headers) are left out of both sides.
expected = {}
read_by_pydicom = set()
for folder, subfolders, names in os.walk(data):
    # pydicom defers decoding, so it accepts broken files that our reader
    # refuses as a whole; their handling has its own tests.
    subfolders[:] = [d for d in subfolders if d != 'malformed']
    for name in names:
        path = os.path.join(folder, name)
        if os.path.islink(path) or not os.path.isfile(path):
            continue
        try:
            ds = pydicom.dcmread(path, stop_before_pixels=True)
            uid = text(ds.get('SeriesInstanceUID'))
            count = frames(ds)
        except (InvalidDicomError, Exception):
            continue
        read_by_pydicom.add(path)
        files, total = expected.get(uid, (0, 0))
        expected[uid] = (files + 1, total + count)

# tolan scans links to exactly those files, so both sides group the same set.
chosen = tempfile.TemporaryDirectory(prefix='tv-scan-')
for i, path in enumerate(sorted(read_by_pydicom)):
    os.symlink(os.path.abspath(path), os.path.join(chosen.name, f'{i:05d}'))
run = subprocess.run([tolan, 'scan', '--recursive', '--group-by', 'series', chosen.name],
                     capture_output=True, text=True)
if run.returncode != 0:
    sys.exit(f"tolan scan exited {run.returncode}: {run.stderr}")
got = {}
for line in run.stdout.splitlines():
    number, uid, files, total = line.split('\t')
    got[uid] = (int(files), int(total))

failures = []
for uid, counts in expected.items():
    if uid == '':
        continue  # files without the element: the two readers accept different raw files
    if got.get(uid) != counts:
        failures.append(f"series {uid!r}: pydicom {counts}, tolan {got.get(uid)}")
for uid in got:
    if uid and uid not in expected:
        failures.append(f"series {uid!r}: tolan {got[uid]}, not found by pydicom")
print(f"{len(expected)} series from {len(read_by_pydicom)} files compared")
for failure in failures:
    print(failure)
sys.exit(1 if failures else 0)
