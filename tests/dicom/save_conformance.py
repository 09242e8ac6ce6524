#!/usr/bin/python3
"""Checks what `tolan save` writes, on every test file that opens.

    save_conformance.py TOLAN TESTDATA_DIR

For each file: `tolan save` writes it; dciodvfy must report no error (its
warnings are listed), dcmdump must read it without a warning, the default
save names no patient while `--keep-patient-study` keeps the Patient ID and
Study Instance UID (dcmdump reads it without a warning; dciodvfy's errors
about the source's own values are listed), and pydicom's
pixel_array of the written file, with its rescale applied as our reader does
(double, truncated, clamped to int16), must equal the frames `tolan frames`
gives for the original. Exits 0 when all pass, 1 otherwise, 77 when a tool,
pydicom or the test data is missing.
"""

import collections
import os
import shutil
import subprocess
import sys
import tempfile

try:
    import numpy as np
    import pydicom
except ImportError as e:  # pragma: no cover
    print(f"skipped: {e}")
    sys.exit(77)

# Malformed files are the reader's business; every other file that opens is saved.
SKIPPED_FOLDERS = ("malformed/",)


def test_files(testdata):
    for folder, _, names in sorted(os.walk(testdata)):
        for name in sorted(names):
            rel = os.path.relpath(os.path.join(folder, name), testdata)
            if not rel.startswith(SKIPPED_FOLDERS) and name != "MANIFEST.tsv":
                yield rel


def tool_frames(tolan, path, out):
    subprocess.run([tolan, "frames", path, "--out", out], check=True, capture_output=True, timeout=120)
    info = dict(line.rstrip("\n").split(": ", 1) for line in open(os.path.join(out, "info.txt")))
    rows, cols, samples = int(info["rows"]), int(info["columns"]), int(info["samples"])
    dtype = "<i2" if info["bits_allocated"] == "16" else "u1"
    frames = []
    for k in range(1, int(info["frames"]) + 1):
        data = np.fromfile(os.path.join(out, f"frame-{k:04d}.raw"), dtype=dtype)
        frames.append(data.reshape(rows, cols, samples) if samples == 3 else data.reshape(rows, cols))
    return frames


def shown(ds):
    pixels = ds.pixel_array
    if int(ds.NumberOfFrames or 1) == 1:
        pixels = pixels[np.newaxis]
    if ds.BitsAllocated > 8 and "RescaleSlope" in ds:
        pixels = np.clip(np.trunc(pixels * float(ds.RescaleSlope) + float(ds.RescaleIntercept)), -32768, 32767)
    return pixels


def check(tolan, testdata, rel, tmp, warnings):
    """None when saved well, "" when the file does not open, else what failed."""
    source = os.path.join(testdata, rel)
    try:
        expected = tool_frames(tolan, source, os.path.join(tmp, "expected"))
    except subprocess.CalledProcessError:
        return ""
    saved = os.path.join(tmp, "saved.dcm")
    proc = subprocess.run([tolan, "save", source, "--out", saved], capture_output=True, text=True, timeout=120)
    if proc.returncode != 0:
        return f"{rel}: tolan save exited {proc.returncode}: {proc.stderr.strip()}"
    verify = subprocess.run(["dciodvfy", saved], capture_output=True, text=True, timeout=60)
    lines = (verify.stdout + verify.stderr).splitlines()
    errors = [line for line in lines if line.startswith("Error")]
    for line in lines:
        if line.startswith("Warning"):
            warnings[line] += 1
    if errors:
        return f"{rel}: dciodvfy: " + "; ".join(errors)
    dump = subprocess.run(["dcmdump", "-q", saved], capture_output=True, text=True, timeout=60)
    if dump.returncode != 0 or "W:" in dump.stderr or "E:" in dump.stderr:
        return f"{rel}: dcmdump: {dump.stderr.strip()}"
    # The patient and study go along only when asked, and then read as in the
    # source. Their values are the source's own: what dciodvfy finds wrong
    # with them is listed, not failed (a source may break its VRs itself).
    kept = os.path.join(tmp, "kept.dcm")
    proc = subprocess.run([tolan, "save", "--keep-patient-study", source, "--out", kept], capture_output=True,
                          text=True, timeout=120)
    if proc.returncode != 0:
        return f"{rel}: tolan save --keep-patient-study exited {proc.returncode}: {proc.stderr.strip()}"
    # Kept names are in the source's character set, not always UTF-8.
    verify = subprocess.run(["dciodvfy", kept], capture_output=True, text=True, errors="replace", timeout=60)
    for line in (verify.stdout + verify.stderr).splitlines():
        if line.startswith("Error"):
            warnings["kept patient: " + line] += 1
    dump = subprocess.run(["dcmdump", "-q", kept], capture_output=True, text=True, errors="replace", timeout=60)
    if dump.returncode != 0 or "W:" in dump.stderr or "E:" in dump.stderr:
        return f"{rel}: kept patient: dcmdump: {dump.stderr.strip()}"
    try:
        original = pydicom.dcmread(source, stop_before_pixels=True, force=True)
        names = [(n, str(original.get(n, "")).strip()) for n in ("PatientID", "StudyInstanceUID")]
    except Exception:  # a source pydicom cannot read has nothing to compare
        names = []
    written = pydicom.dcmread(kept)
    for name, value in names:
        if value and str(written.get(name, "")).strip() != value:
            return f"{rel}: kept patient: {name} differs"
    if str(pydicom.dcmread(saved).get("PatientID", "")):
        return f"{rel}: the default save names the patient"
    got = shown(pydicom.dcmread(saved))
    # Round trip: our own reader gives the saved file the frames it was saved from.
    reopened = tool_frames(tolan, saved, os.path.join(tmp, "reopened"))
    for name, frames in (("pydicom", got), ("reopened", reopened)):
        if len(expected) != len(frames):
            return f"{rel}: {name}: {len(frames)} frames, {len(expected)} shown"
        for k, (e, g) in enumerate(zip(expected, frames)):
            if e.shape != g.shape or not np.array_equal(e.astype(np.int64), g.astype(np.int64)):
                diff = np.abs(e.astype(np.int64) - g.astype(np.int64)).max() if e.shape == g.shape else "shape"
                return f"{rel}: {name}: frame {k + 1} differs (max {diff})"
    return None


def main():
    tolan, testdata = sys.argv[1], sys.argv[2]
    if not os.path.isdir(testdata) or not shutil.which("dciodvfy") or not shutil.which("dcmdump"):
        print("skipped: test data, dciodvfy or dcmdump missing")
        return 77
    failures, warnings, checked = [], collections.Counter(), 0
    for rel in test_files(testdata):
        with tempfile.TemporaryDirectory() as tmp:
            failure = check(tolan, testdata, rel, tmp, warnings)
        if failure == "":
            continue
        checked += 1
        print(f"{'FAIL' if failure else 'ok'} {rel}" + (f": {failure}" if failure else ""))
        if failure:
            failures.append(failure)
    print(f"dciodvfy warnings over {checked} files:")
    for line, count in sorted(warnings.items()):
        print(f"  {count} x {line}")
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())
