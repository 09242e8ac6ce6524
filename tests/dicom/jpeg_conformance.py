#!/usr/bin/python3
"""Checks JPEG frames of `tolan frames` against DCMTK's dcmdjpeg.

    jpeg_conformance.py TOLAN TESTDATA_DIR

For every JPEG lossless and JPEG baseline/extended file under jpeg-lossless/
and jpeg-lossy/ that dcmdjpeg decodes, `tolan frames` on the original must
give the same frames as `tolan frames` on dcmdjpeg's uncompressed output:
lossless sample for sample, 8-bit lossy within +-2 (DCMTK decodes with its
own IJG build, we with the system libjpeg; the largest difference is printed),
12-bit lossy sample for sample (both use the 12-bit IJG arithmetic). Exits 0
when all agree, 1 otherwise, 77 when dcmdjpeg, pydicom or numpy is missing.
"""

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

LOSSLESS = {"1.2.840.10008.1.2.4.57", "1.2.840.10008.1.2.4.70"}
LOSSY = {"1.2.840.10008.1.2.4.50", "1.2.840.10008.1.2.4.51"}
LOSSY_TOLERANCE = 2
TIMEOUT = 120
# info.txt lines that describe the written frames; the photometric name and
# window may differ once dcmdjpeg has turned YCbCr into RGB.
SHAPE_KEYS = ("rows", "columns", "frames", "samples", "bits_allocated")


def tolan_frames(tolan, path, out):
    proc = subprocess.run([tolan, "frames", path, "--out", out], capture_output=True, text=True,
                          errors="replace", timeout=TIMEOUT)
    return proc.returncode, proc.stderr.strip()


def read_frames(folder):
    info = {}
    with open(os.path.join(folder, "info.txt"), encoding="utf-8") as f:
        for line in f:
            key, _, value = line.rstrip("\n").partition(": ")
            info[key] = value
    dtype = np.dtype("<i2") if info["bits_allocated"] == "16" else np.uint8
    frames = []
    for k in range(1, int(info["frames"]) + 1):
        frames.append(np.fromfile(os.path.join(folder, "frame-%04d.raw" % k), dtype=dtype).astype(np.int32))
    return info, frames


def check(tolan, path, syntax, bits_stored, samples, work):
    """(problem or None, largest difference or None, note)."""
    lossy = syntax in LOSSY
    ours_dir = os.path.join(work, "ours")
    code, err = tolan_frames(tolan, path, ours_dir)
    decoded = os.path.join(work, "dcmdjpeg.dcm")
    # By default dcmdjpeg turns YCbCr into RGB only when the photometric name
    # says YBR; +ca follows the JPEG stream's own colour space, as the JPEG
    # library does for us (a stream in YCbCr labelled "RGB" is still YCbCr).
    # Only for colour: on grey streams +ca renames MONOCHROME1 MONOCHROME2.
    options = ["+ca"] if lossy and samples == 3 else []
    proc = subprocess.run(["dcmdjpeg", *options, path, decoded], capture_output=True, text=True, errors="replace",
                          timeout=TIMEOUT)
    if proc.returncode != 0:
        return None, None, "dcmdjpeg cannot decode it: not compared"
    if code != 0:
        return f"dcmdjpeg decodes it, tolan frames says (exit {code}) {err!r}", None, ""
    ref_dir = os.path.join(work, "reference")
    ref_code, ref_err = tolan_frames(tolan, decoded, ref_dir)
    if ref_code != 0:
        return f"dcmdjpeg's output not read by tolan frames: {ref_err!r}", None, ""
    info, ours = read_frames(ours_dir)
    ref_info, theirs = read_frames(ref_dir)
    for key in SHAPE_KEYS:
        if info[key] != ref_info[key]:
            return f"{key} {info[key]}, dcmdjpeg's output {ref_info[key]}", None, ""
    largest = 0
    for k, (a, b) in enumerate(zip(ours, theirs), start=1):
        if a.shape != b.shape:
            return f"frame {k}: {a.size} samples, dcmdjpeg's output {b.size}", None, ""
        if a.size:
            largest = max(largest, int(np.abs(a - b).max()))
    limit = LOSSY_TOLERANCE if lossy and bits_stored == 8 else 0
    if largest > limit:
        return f"samples differ by up to {largest} (allowed {limit})", largest, ""
    return None, largest, ""


def main():
    tolan, testdata = sys.argv[1], sys.argv[2]
    if shutil.which("dcmdjpeg") is None or not os.path.isdir(testdata):
        print(f"skipped: dcmdjpeg or {testdata} missing")
        return 77
    failures, compared, skipped = [], 0, 0
    largest_lossy = 0
    for folder in ("jpeg-lossless", "jpeg-lossy"):
        root = os.path.join(testdata, folder)
        if not os.path.isdir(root):
            continue
        for name in sorted(os.listdir(root)):
            path = os.path.join(root, name)
            if not name.endswith(".dcm") or not os.path.isfile(path):
                continue
            rel = f"{folder}/{name}"
            ds = pydicom.dcmread(path, stop_before_pixels=True)
            syntax = str(ds.file_meta.TransferSyntaxUID)
            if syntax not in LOSSLESS | LOSSY:
                continue
            bits_stored = int(ds.get("BitsStored", 8))
            samples = int(ds.get("SamplesPerPixel", 1))
            with tempfile.TemporaryDirectory(prefix="tv-jpeg-") as work:
                try:
                    problem, largest, note = check(tolan, path, syntax, bits_stored, samples, work)
                except subprocess.TimeoutExpired:
                    problem, largest, note = "timed out", None, ""
            kind = "lossy" if syntax in LOSSY else "lossless"
            if problem:
                failures.append(f"{rel}: {problem}")
                continue
            if largest is None:
                skipped += 1
                print(f"{rel}: {note}")
                continue
            compared += 1
            if kind == "lossy":
                largest_lossy = max(largest_lossy, largest)
            print(f"{rel}: {kind}, largest difference {largest}")
    print(f"{compared} files compared with dcmdjpeg, {skipped} not compared; "
          f"largest lossy difference {largest_lossy}")
    for failure in failures:
        print("FAIL", failure)
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())
