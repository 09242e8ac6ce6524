#!/usr/bin/python3
"""Checks `tolan frames` on every JPEG-LS file of the test data against GDCM.

    jpegls_frames.py TOLAN TESTDATA_DIR

Each JPEG-LS file the manifest lists (but the malformed ones) must open, and
its frames must equal those of `tolan frames` on `gdcmconv --raw`'s
uncompressed copy, frame files byte for byte. Exits 0 when all agree, 1
otherwise, 77 when gdcmconv or the test data is missing.
"""

import filecmp
import os
import shutil
import subprocess
import sys
import tempfile

JPEG_LS = {"1.2.840.10008.1.2.4.80", "1.2.840.10008.1.2.4.81"}
TIMEOUT = 120


def frames(tolan, path, out):
    proc = subprocess.run([tolan, "frames", path, "--out", out], capture_output=True, text=True,
                          errors="replace", timeout=TIMEOUT)
    return proc.returncode, proc.stderr.strip()


def check(tolan, path, work):
    code, err = frames(tolan, path, os.path.join(work, "ours"))
    if code != 0:
        return f"tolan frames exit {code}: {err}"
    raw = os.path.join(work, "raw.dcm")
    if subprocess.run(["gdcmconv", "--raw", path, raw], capture_output=True, timeout=TIMEOUT).returncode != 0:
        return "gdcmconv --raw failed"
    code, err = frames(tolan, raw, os.path.join(work, "gdcm"))
    if code != 0:
        return f"tolan frames on gdcmconv's output, exit {code}: {err}"
    names = sorted(n for n in os.listdir(os.path.join(work, "gdcm")) if n.endswith(".raw"))
    match, mismatch, errors = filecmp.cmpfiles(os.path.join(work, "ours"), os.path.join(work, "gdcm"), names,
                                               shallow=False)
    if mismatch or errors or not names:
        return f"frames differ from GDCM's: {mismatch + errors or 'none written'}"
    return None


def main():
    tolan, testdata = sys.argv[1], sys.argv[2]
    manifest = os.path.join(testdata, "MANIFEST.tsv")
    if shutil.which("gdcmconv") is None or not os.path.exists(manifest):
        print(f"skipped: gdcmconv or {manifest} missing")
        return 77
    with open(manifest) as f:
        rows = [line.rstrip("\n").split("\t") for line in f][1:]
    failures, checked = [], 0
    for row in rows:
        rel, syntax = row[0], row[4]
        if syntax not in JPEG_LS or rel.startswith("malformed/"):
            continue
        with tempfile.TemporaryDirectory(prefix="tv-jls-") as work:
            problem = check(tolan, os.path.join(testdata, rel), work)
        checked += 1
        print(f"{rel}: {problem or 'same frames as gdcmconv --raw'}")
        if problem:
            failures.append(rel)
    print(f"{checked} JPEG-LS files checked, {len(failures)} failed")
    return 1 if failures or checked == 0 else 0


if __name__ == "__main__":
    sys.exit(main())
