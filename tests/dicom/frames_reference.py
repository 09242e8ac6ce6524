#!/usr/bin/python3
"""Checks `tolan frames` against pydicom on every uncompressed, RLE and JPEG 2000 file.

    frames_reference.py TOLAN TESTDATA_DIR

For each file whose transfer syntax is native (implicit or explicit VR,
either endianness, deflated, or a raw data set) or RLE, the frames `tolan frames` writes
must equal pydicom's pixel_array put through the same normalisation written
out again here with numpy: samples masked to bits stored and sign-extended by
pixel representation, rescale in double truncated and clamped to int16 for
monochrome images, MONOCHROME1 inverted, YBR_FULL turned into RGB, palette
indices looked up in tables reduced to 256 entries. Files whose attributes we
refuse must fail with exit code 2 and the matching message; files in
unsupported/ must fail cleanly. Exits 0 when all agree, 1 otherwise, 77 when
pydicom or numpy is missing.
"""

import os
import subprocess
import sys
import tempfile

try:
    import numpy as np
    import pydicom
    from pydicom.tag import Tag
except ImportError as e:  # pragma: no cover
    print(f"skipped: {e}")
    sys.exit(77)

NATIVE = {"1.2.840.10008.1.2", "1.2.840.10008.1.2.1", "1.2.840.10008.1.2.2"}
RLE = "1.2.840.10008.1.2.5"
DEFLATED = "1.2.840.10008.1.2.1.99"  # inflated, then read as native
J2K = {"1.2.840.10008.1.2.4.90", "1.2.840.10008.1.2.4.91", "1.2.840.10008.1.2.4.201", "1.2.840.10008.1.2.4.202",
       "1.2.840.10008.1.2.4.203"}
MESSAGES = {3: "Unsupported Dicom file format", 5: "Corrupted Dicom file", 6: "Unknown Compression Scheme"}
# Files pydicom cannot parse, checked against the same image in another encoding.
TWINS = {"syntax/un-undefined-length-ebe.dcm": "syntax/ct1-ile.dcm"}
PHOTOMETRICS = {"MONOCHROME1", "MONOCHROME2", "RGB", "YBR_FULL", "YBR_FULL_422", "PALETTE COLOR"}


class Refused(Exception):
    def __init__(self, code, why):
        super().__init__(why)
        self.code = code


def raw_text(ds, tag):
    """The value as stored, up to its first zero byte (pydicom strips blanks)."""
    if tag not in ds:
        return None
    elem = ds.get_item(tag)
    value = elem.value
    if isinstance(value, bytes):
        return value.split(b"\0")[0].decode("latin-1")
    if value is None:
        return ""
    return str(value)


def raw_int(ds, tag, default):
    if tag not in ds or ds[tag].value in (None, ""):
        return default
    value = ds[tag].value
    if isinstance(value, (list, pydicom.multival.MultiValue)):
        value = value[0]
    return int(value)


def first_real(text):
    if not text:
        return 0.0
    try:
        return float(text.split("\\")[0].strip())
    except ValueError:
        return 0.0


def attributes(ds):
    a = {
        "rows": raw_int(ds, 0x00280010, 0),
        "columns": raw_int(ds, 0x00280011, 0),
        "samples": raw_int(ds, 0x00280002, 1),
        "bits_allocated": raw_int(ds, 0x00280100, 0),
        "bits_stored": raw_int(ds, 0x00280101, 0),
        "high_bit": raw_int(ds, 0x00280102, 0),
        "pixel_representation": raw_int(ds, 0x00280103, 0),
        "planar": raw_int(ds, 0x00280006, 0),
    }
    frames_text = raw_text(ds, 0x00280008)
    a["frames"] = max(1, int(first_real(frames_text))) if frames_text else 1
    if a["bits_allocated"] == 0 and a["bits_stored"] == 0 and a["high_bit"] == 0:
        a["bits_allocated"], a["bits_stored"], a["high_bit"] = 8, 8, 7
    photometric = raw_text(ds, 0x00280004)
    a["photometric_text"] = photometric if photometric else "MONOCHROME2 "
    text = a["photometric_text"]
    a["photometric"] = text[:-1] if text.endswith(" ") else text
    slope = first_real(raw_text(ds, 0x00281053))
    a["slope"] = 1.0 if slope == 0.0 else slope
    a["intercept"] = first_real(raw_text(ds, 0x00281052))
    a["rescale"] = a["intercept"] != 0.0 or a["slope"] != 1.0
    return a


def check(a, compression):
    p = a["photometric"]
    if p not in PHOTOMETRICS:
        raise Refused(3, f"photometric {a['photometric_text']!r}")
    if p == "YBR_FULL_422":
        raise Refused(3, "YBR_FULL_422 outside JPEG lossy")
    want = 1 if p in ("MONOCHROME1", "MONOCHROME2", "PALETTE COLOR") else 3
    if a["samples"] != want:
        raise Refused(3, "samples per pixel")
    if a["bits_allocated"] not in (8, 12, 16):
        raise Refused(3, f"bits allocated {a['bits_allocated']}")
    if p not in ("MONOCHROME1", "MONOCHROME2", "PALETTE COLOR") and a["bits_allocated"] != 8:
        raise Refused(3, "colour wider than 8 bits")
    if a["bits_allocated"] == 12 and compression != "NONE":
        raise Refused(3, "12 bits allocated compressed")
    if a["rows"] == 0 or a["columns"] == 0:
        raise Refused(5, "rows or columns 0")


def palette_tables(ds, big_endian):
    """Red, green, blue as 256-entry uint8 arrays, width inferred from byte length."""
    tables = []
    for element in (0x1201, 0x1202, 0x1203):
        data = None
        for base in (0x00280000, 0x00280010):
            tag = Tag(base + element)
            if tag in ds:
                data = ds.get_item(tag).value
        if data is None and all(Tag(0x00280000 + e) in ds for e in (0x1221, 0x1222, 0x1223)):
            # PixelPaletteTest compares the expansion itself with pydicom's.
            raise NotImplementedError("8-bit indices into segmented tables")
        if data is None:
            raise Refused(5, "palette tables")
        tables.append(bytes(data))
    if len({len(t) for t in tables}) != 1 or len(tables[0]) == 0:
        raise Refused(5, "palette lengths")
    out = []
    for data in tables:
        length = len(data)
        width = 4 if length > 512 else 2 if length > 256 else 1
        count = min(length // width, 256)
        dtype = {1: "u1", 2: "u2", 4: "u4"}[width]
        words = np.frombuffer(data[: count * width], dtype=(">" if big_endian else "<") + dtype).astype(np.uint64)
        entries = (words >> np.uint64(8 * (width - 1))).astype(np.uint8)
        table = np.full(256, entries[-1], dtype=np.uint8)
        table[:count] = entries
        out.append(table)
    return out


def unpack12(ds, a):
    data = np.frombuffer(ds.PixelData, dtype=np.uint8)
    pixels = a["rows"] * a["columns"]
    per_frame = (pixels * 12 + 7) // 8
    frames = []
    for f in range(min(a["frames"], len(data) // per_frame)):
        d = data[f * per_frame:(f + 1) * per_frame].astype(np.int64)
        d = np.concatenate([d, np.zeros((-len(d)) % 3, dtype=np.int64)])
        t = d.reshape(-1, 3)
        even = t[:, 0] | ((t[:, 1] & 0x0F) << 8)
        odd = (t[:, 1] >> 4) | (t[:, 2] << 4)
        frames.append(np.stack([even, odd], axis=1).reshape(-1)[:pixels].reshape(a["rows"], a["columns"]))
    return np.stack(frames)


def reference_frames(ds, a, compression, big_endian):
    if a["bits_allocated"] == 12:
        arr = unpack12(ds, a)
    else:
        arr = ds.pixel_array
        nframes = a["frames"]
        if a["samples"] == 1:
            arr = arr.reshape(nframes if arr.ndim == 3 else 1, a["rows"], a["columns"])
        else:
            arr = arr.reshape(nframes if arr.ndim == 4 else 1, a["rows"], a["columns"], 3)
    p = a["photometric"]
    # Indices wider than a byte are shown as grey values, like monochrome ones.
    if p == "PALETTE COLOR" and a["bits_allocated"] == 8:
        red, green, blue = palette_tables(ds, big_endian)
        idx = arr.astype(np.int64) & 0xFF
        return [np.stack([red[i], green[i], blue[i]], axis=-1).astype(np.uint8).tobytes() for i in idx]
    if p in ("RGB", "YBR_FULL"):
        frames = []
        for f in arr.astype(np.float64):
            if p == "YBR_FULL":
                y, cb, cr = f[..., 0], f[..., 1] - 128.0, f[..., 2] - 128.0
                f = np.stack([y + 1.402 * cr, y - 0.34414 * cb - 0.71414 * cr, y + 1.772 * cb], axis=-1)
            frames.append(np.clip(np.trunc(f), 0, 255).astype(np.uint8).tobytes())
        return frames
    bits = a["bits_stored"] if 0 < a["bits_stored"] <= a["bits_allocated"] else a["bits_allocated"]
    v = arr.astype(np.int64) & ((1 << bits) - 1)
    if a["pixel_representation"] == 1:
        v = np.where(v & (1 << (bits - 1)), v - (1 << bits), v)
    wide = a["bits_allocated"] != 8 or a["rescale"] or a["pixel_representation"] == 1
    frames = []
    for f in v:
        if not wide:
            out = ((1 << bits) - 1 - f) if p == "MONOCHROME1" else f
            frames.append(out.astype(np.uint8).tobytes())
            continue
        if a["rescale"]:
            f = np.clip(np.trunc(a["intercept"] + a["slope"] * f.astype(np.float64)), -32768, 32767).astype(np.int64)
        else:
            f = np.clip(f, -32768, 32767)
        if p == "MONOCHROME1":
            f = f.max() + f.min() - f
        frames.append(f.astype("<i2").tobytes())
    return frames


def run_tolan(tolan, path, out):
    proc = subprocess.run([tolan, "frames", path, "--out", out], capture_output=True, text=True, timeout=300)
    return proc.returncode, proc.stderr.strip()


def read_info(out):
    info = {}
    with open(os.path.join(out, "info.txt")) as f:
        for line in f:
            key, _, value = line.rstrip("\n").partition(": ")
            info[key] = value
    return info


def check_file(tolan, testdata, rel, syntax):
    path = os.path.join(testdata, rel)
    reference_path = os.path.join(testdata, TWINS.get(rel, rel))
    compression = "RLE" if syntax == RLE else "NONE"
    with tempfile.TemporaryDirectory() as out:
        rc, err = run_tolan(tolan, path, out)
        if rc not in (0, 2):
            return f"{rel}: tolan exited {rc}: {err}"
        try:
            ds = pydicom.dcmread(reference_path, force=True)
            if "TransferSyntaxUID" not in ds.file_meta:
                ds.file_meta.TransferSyntaxUID = pydicom.uid.ImplicitVRLittleEndian
            a = attributes(ds)
            check(a, compression)
            big_endian = syntax == "1.2.840.10008.1.2.2"
            expected = reference_frames(ds, a, compression, big_endian)
        except Refused as refused:
            if rc != 2 or not err.startswith(MESSAGES[refused.code]):
                return f"{rel}: expected error {refused.code} ({refused}), got exit {rc}: {err}"
            print(f"refused {rel}: error {refused.code} ({refused})")
            return None
        except Exception as e:  # pydicom cannot read it: only a clean outcome is required
            print(f"no reference for {rel} ({type(e).__name__}: {e}); tolan exit {rc}")
            return None
        if rc != 0:
            return f"{rel}: tolan failed where pydicom reads: {err}"
        info = read_info(out)
        if (int(info["rows"]), int(info["columns"])) != (a["rows"], a["columns"]):
            return f"{rel}: size {info['rows']}x{info['columns']}"
        if int(info["frames"]) != len(expected):
            return f"{rel}: {info['frames']} frames, reference has {len(expected)}"
        for k, ref in enumerate(expected, start=1):
            with open(os.path.join(out, f"frame-{k:04d}.raw"), "rb") as f:
                ours = f.read()
            if ours != ref:
                diff = sum(1 for x, y in zip(ours, ref) if x != y)
                return f"{rel}: frame {k} differs ({len(ours)} vs {len(ref)} bytes, {diff} bytes differ)"
    print(f"equal {rel}: {len(expected)} frame(s)")
    return None


def check_unsupported(tolan, testdata, rel):
    with tempfile.TemporaryDirectory() as out:
        rc, err = run_tolan(tolan, os.path.join(testdata, rel), out)
    if rc != 2:
        return f"{rel}: expected a refusal, got exit {rc}"
    if not (err.startswith(MESSAGES[6]) or err.startswith(MESSAGES[3])) or ":" not in err:
        return f"{rel}: unclear refusal: {err}"
    return None


def pillow_decodes_j2k():
    try:
        from PIL import features
        return bool(features.check("jpg_2000"))
    except ImportError:
        return False


def main():
    tolan, testdata = sys.argv[1], sys.argv[2]
    manifest = os.path.join(testdata, "MANIFEST.tsv")
    if not os.path.exists(manifest):
        print(f"skipped: no test data at {testdata}")
        return 77
    failures, checked = [], 0
    with open(manifest) as f:
        rows = [line.rstrip("\n").split("\t") for line in f][1:]
    for row in rows:
        rel, syntax = row[0], row[4]
        # JPEG-LS files are decoded; codecs_tests compares them with GDCM, which
        # pydicom needs for them. JPEG 2000 ones pydicom decodes through Pillow.
        if syntax in ("1.2.840.10008.1.2.4.80", "1.2.840.10008.1.2.4.81"):
            continue
        if syntax in J2K and not pillow_decodes_j2k():
            continue
        if syntax == DEFLATED or syntax in J2K:
            failure = check_file(tolan, testdata, rel, syntax)
        elif rel.startswith("unsupported/"):
            failure = check_unsupported(tolan, testdata, rel)
        elif syntax in NATIVE or syntax == RLE or syntax.startswith("(none"):
            failure = check_file(tolan, testdata, rel, syntax if not syntax.startswith("(none") else "1.2.840.10008.1.2")
        else:
            continue
        checked += 1
        if failure:
            failures.append(failure)
            print("FAIL", failure)
    print(f"{checked} files checked, {len(failures)} failed")
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())
