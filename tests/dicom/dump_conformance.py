#!/usr/bin/env python3
"""Compares `tolan dump` with DCMTK's dcmdump on every DICOM file of a folder.

    dump_conformance.py TOLAN TESTDATA_DIR

For each file dcmdump reads without error, the top-level elements must agree
in tag, length and (for explicit-VR data and the meta group) VR. Every other
file, and every file MANIFEST.tsv marks malformed, must either be listed or be
refused with exit code 2 and one message line: no crash, hang or sanitizer
report. BMP and JPEG pictures must list their pixel data row and refuse
--header-only. Exits 77 (skipped) when the folder or dcmdump is missing.
"""
import os
import re
import shutil
import subprocess
import sys

UNDEFINED = 0xFFFFFFFF
DCMDUMP_LINE = re.compile(r'^\(([0-9a-f]{4}),([0-9a-f]{4})\) (\S\S) .*#\s*(u/l|\d+),')
TIMEOUT = 60
PICTURES = ('.bmp', '.jpg', '.jpe')
PIXEL_DATA = (0x7FE0, 0x0010)


def dcmdump(path):
    """(ok, explicit, rows) with rows = [(group, element, vr, length)] at the top level."""
    proc = subprocess.run(['dcmdump', '-q', '+Qo', path], capture_output=True, text=True,
                          errors='replace', timeout=TIMEOUT)
    if proc.returncode != 0:
        return False, False, []
    rows = []
    explicit = False
    for line in proc.stdout.splitlines():
        if line.startswith('# Used TransferSyntax:') and 'Meta' not in line:
            explicit = 'Explicit' in line
        m = DCMDUMP_LINE.match(line)
        if not m:
            continue
        group, element = int(m.group(1), 16), int(m.group(2), 16)
        if group == 0xFFFE:
            continue
        length = UNDEFINED if m.group(4) == 'u/l' else int(m.group(4))
        vr = m.group(3)
        # dcmdump marks directory offsets "up"; they are UL in the file.
        rows.append((group, element, 'UL' if vr == 'up' else vr, length))
    return True, explicit, rows


def tolan_dump(tolan, path, *options):
    proc = subprocess.run([tolan, 'dump', *options, path], capture_output=True, text=True,
                          errors='replace', timeout=TIMEOUT)
    rows = []
    for line in proc.stdout.splitlines():
        fields = line.split('\t')
        if len(fields) != 5:
            continue
        group, element = (int(x, 16) for x in fields[0].split(', '))
        rows.append((group, element, fields[2], int(fields[3])))
    return proc.returncode, proc.stderr, rows


def first_by_tag(rows):
    out = {}
    for group, element, vr, length in rows:
        out.setdefault((group, element), (vr, length))
    return out


def compare(path, explicit, theirs, ours):
    problems = []
    a, b = first_by_tag(theirs), first_by_tag(ours)
    for tag in sorted(set(a) | set(b)):
        name = '(%04x,%04x)' % tag
        if tag not in b:
            problems.append(f'{name} missing from tolan dump')
            continue
        if tag not in a:
            problems.append(f'{name} listed by tolan dump only')
            continue
        (their_vr, their_len), (our_vr, our_len) = a[tag], b[tag]
        # dcmdump shows an undefined-length UN it has parsed as a sequence
        # (PS3.5 6.2.2) as SQ; we keep the VR the file gives.
        same_vr = their_vr == our_vr or (our_vr == 'UN' and their_vr == 'SQ')
        if (explicit or tag[0] == 0x0002) and not same_vr:
            problems.append(f'{name} VR {our_vr!r}, dcmdump {their_vr!r}')
        # A sequence keeps no length of its own in our model.
        if 'SQ' not in (our_vr, their_vr) and their_len != our_len:
            problems.append(f'{name} length {our_len}, dcmdump {their_len}')
    return problems


def malformed_files(testdata):
    names = set()
    manifest = os.path.join(testdata, 'MANIFEST.tsv')
    if os.path.exists(manifest):
        with open(manifest, encoding='utf-8') as f:
            for line in f:
                fields = line.rstrip('\n').split('\t')
                if len(fields) > 12 and 'malformed:' in fields[12]:
                    names.add(fields[0])
    return names


def main():
    tolan, testdata = sys.argv[1], sys.argv[2]
    if not os.path.isdir(testdata) or shutil.which('dcmdump') is None:
        print(f'skipped: {testdata} or dcmdump missing')
        return 77
    malformed = malformed_files(testdata)
    failures, compared, refused, pixel_rows = [], 0, 0, 0
    for root, _, files in os.walk(testdata):
        for file in sorted(files):
            path = os.path.join(root, file)
            rel = os.path.relpath(path, testdata)
            if file.endswith(('.tsv', '.md', '.txt')):
                continue
            try:
                code, err, ours = tolan_dump(tolan, path)
            except subprocess.TimeoutExpired:
                failures.append(f'{rel}: tolan dump hangs')
                continue
            if code not in (0, 2) or 'Sanitizer' in err or 'runtime error' in err:
                failures.append(f'{rel}: exit {code}\n{err[-2000:]}')
                continue
            if code == 2:
                refused += 1
                if len(err.splitlines()) != 1:
                    failures.append(f'{rel}: expected one message line, got {err!r}')
            if code == 0 and file.lower().endswith(PICTURES):
                # Pictures are opened whole or not at all: never header only.
                head_code, head_err, head = tolan_dump(tolan, path, '--header-only')
                if head_code != 2 or head or head_err.strip() != 'Unsupported file format':
                    failures.append(f'{rel}: --header-only must be refused with "Unsupported file format", '
                                    f'got exit {head_code} {head_err.strip()!r}')
                if not any(r[:2] == PIXEL_DATA for r in ours):
                    failures.append(f'{rel}: no pixel data row')
            elif code == 0:
                # Reading on demand must list exactly what lies before the pixel data.
                head_code, _, head = tolan_dump(tolan, path, '--header-only')
                before_pixels = [r for r in ours[:next((i for i, r in enumerate(ours) if r[0] == 0x7FE0), len(ours))]]
                if head_code != 0 or head != before_pixels:
                    failures.append(f'{rel}: --header-only lists {len(head)} rows (exit {head_code}), '
                                    f'expected the {len(before_pixels)} before group 7FE0')
            ok, explicit, theirs = dcmdump(path)
            if not ok or rel in malformed:
                continue
            if code != 0:
                failures.append(f'{rel}: dcmdump reads it, tolan dump says {err.strip()!r}')
                continue
            compared += 1
            failures += [f'{rel}: {p}' for p in compare(path, explicit, theirs, ours)]
            # The pixel data row is compared like any other; count it to show it is there.
            pixel_rows += any(r[:2] == PIXEL_DATA for r in theirs) and any(r[:2] == PIXEL_DATA for r in ours)
    print(f'{compared} files compared with dcmdump ({pixel_rows} with their pixel data row), '
          f'{refused} refused by tolan dump')
    for failure in failures:
        print('FAIL', failure)
    return 1 if failures else 0


if __name__ == '__main__':
    sys.exit(main())
