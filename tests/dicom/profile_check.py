#!/usr/bin/env python3
"""`tolan anonymize --profile basic` over every file of the test data, checked
against PS3.15 Table E.1-1 as the standard gives it (the TSV the profile's table
is generated from), with pydicom, at every depth:

  X   the attribute is gone;
  Z   it is empty or gone;
  D   it holds a dummy (or, for a sequence, its items were cleaned here too);
  U   each UID is a new "2.25." UID, one input UID gets one output UID over the
      whole run, and (0002,0003) still equals (0008,0018);
  combined codes: any of the values their letters allow;
  the responsible person and organization of an animal patient (Type 2C):
      empty rather than gone;
  private groups are gone and (0012,0062) says YES.

With --dciodvfy it also runs dciodvfy on each input and its output and fails
when the output has an error line the input has not.

    profile_check.py TOLAN TESTDATA_DIR TABLE_TSV [--dciodvfy]

Exit 77 (skip) without pydicom, the test data, the table or (with --dciodvfy)
dciodvfy."""
import os
import re
import shutil
import subprocess
import sys
import tempfile

try:
    import pydicom
    from pydicom.tag import Tag
except ImportError:
    print("pydicom missing: skipped"); sys.exit(77)

tolan, data, table_path = sys.argv[1], sys.argv[2], sys.argv[3]
with_dciodvfy = "--dciodvfy" in sys.argv[4:]
if not os.path.isdir(data):
    print("no test data: skipped"); sys.exit(77)
if not os.path.isfile(table_path):
    print(f"no {table_path}: skipped"); sys.exit(77)
if with_dciodvfy and not shutil.which("dciodvfy"):
    print("dciodvfy missing (Debian package dicom3tools): skipped"); sys.exit(77)


def read_table(path):
    """[(group, group mask, element, element mask, code)], single tags first."""
    lines = [l for l in open(path, encoding="ascii").read().split("\n")[1:] if l.strip()]
    rows, pending = [], None
    for line in lines:
        fields = line.split("\t")
        if pending:
            fields, pending = [pending[0], pending[1] + " " + fields[0]] + fields[1:], None
        elif len(fields) < 4:
            pending = fields
            continue
        tag, code = fields[0], fields[3]
        if tag.startswith("(GGGG,EEEE)"):
            rows.append((1, 1, 0, 0, code))
            continue
        g, e = re.fullmatch(r"\(([0-9A-FX]{4}),([0-9A-FX]{4})\)", tag.upper()).groups()
        mask = lambda d: int("".join("0" if c == "X" else "F" for c in d), 16)
        rows.append((int(g.replace("X", "0"), 16), mask(g), int(e.replace("X", "0"), 16), mask(e), code))
    rows.sort(key=lambda r: (r[1] != 0xFFFF or r[3] != 0xFFFF))
    return rows


TABLE = read_table(table_path)


def code_of(tag):
    g, e = tag >> 16, tag & 0xFFFF
    for group, gmask, element, emask, code in TABLE:
        if (g & gmask) == group and (e & emask) == element:
            return code
    return None


DUMMY_TEXT = {"ANONYMIZED", "19000101", "000000", "19000101000000", "0", "000Y"}


def walk(ds):
    for el in ds:
        yield el
        if el.VR == "SQ" and el.value is not None:
            for item in el.value:
                yield from walk(item)


def text(el):
    v = el.value
    if v is None:
        return ""
    if isinstance(v, (list, pydicom.multival.MultiValue)):
        return "\\".join(str(x) for x in v)
    if isinstance(v, bytes):
        return v.rstrip(b"\0 ").decode("latin-1")
    return str(v).strip()


def is_dummy(el):
    if el.VR == "SQ":
        return True  # kept with its items, which the walk checks one by one
    if el.VR in ("US", "SS", "UL", "SL", "FL", "FD", "OB", "OW", "OF", "OD", "OL", "UN", "AT"):
        raw = el.value if isinstance(el.value, bytes) else None
        return raw is None and all(x == 0 for x in (el.value if isinstance(el.value, list) else [el.value])) \
            or raw is not None and not raw.strip(b"\0")
    if el.VR == "UI":
        return text(el).startswith("2.25.")
    return text(el) in DUMMY_TEXT or text(el) == ""


def faults_of(name, ds):
    out = []
    if (0x0012, 0x0062) not in ds or text(ds[0x0012, 0x0062]) != "YES":
        out.append(f"{name}: (0012,0062) is not YES")
    for el in list(walk(ds.file_meta)) + list(walk(ds)):
        tag = int(el.tag)
        if el.tag.is_private:
            out.append(f"{name}: private {el.tag} remains")
            continue
        code = code_of(tag)
        if code is None or code in ("K", "C"):
            continue
        allowed = set(code.replace("*", "").split("/"))
        if tag in (0x00102297, 0x00102299) and ((0x0010, 0x2201) in ds or (0x0010, 0x2202) in ds):
            allowed.add("Z")  # Type 2C for an animal patient (PS3.3 C.7.1.1)
        empty = el.VR == "SQ" and not len(el.value or []) or el.VR != "SQ" and text(el) == ""
        if "U" in allowed and el.VR in ("UI", "UN"):
            for uid in text(el).split("\\"):
                if uid and not uid.startswith("2.25."):
                    out.append(f"{name}: {el.tag} keeps UID {uid}")
            continue
        if "U" in allowed and el.VR == "SQ":
            continue  # U*: the UIDs inside are checked at their own depth
        if "Z" in allowed and empty:
            continue
        if "D" in allowed and is_dummy(el):
            continue
        out.append(f"{name}: {el.tag} ({code}) holds {text(el)[:40]!r}")
    return out


def uid_pairs(src, out):
    pairs = []
    for tag in ((0x0008, 0x0018), (0x0020, 0x000D), (0x0020, 0x000E), (0x0020, 0x0052)):
        if tag in src and tag in out:
            pairs.append((text(src[tag]), text(out[tag])))
    if (0x0002, 0x0003) in src.file_meta and (0x0002, 0x0003) in out.file_meta:
        pairs.append((text(src.file_meta[0x0002, 0x0003]), text(out.file_meta[0x0002, 0x0003])))
    return pairs


def numbered(name, n):
    stem, dot, ext = name.rpartition(".")
    return name + f"_{n}" if not dot else f"{stem}_{n}.{ext}"


def error_lines(path):
    run = subprocess.run(["dciodvfy", "-new", path], capture_output=True, text=True, errors="replace")
    # The values quoted after "=" are the replaced ones: the finding is the same.
    return {re.sub(r" = <[^>]*>", "", l.strip()) for l in (run.stdout + run.stderr).splitlines()
            if l.startswith("Error")}


inputs = sorted(os.path.join(root, n) for root, _, names in os.walk(data) for n in names
                if n not in ("MANIFEST.tsv", "README.md"))
with tempfile.TemporaryDirectory() as out:
    run = subprocess.run([tolan, "anonymize", "--profile", "basic", "--out", out] + inputs,
                         capture_output=True, text=True)
    if "Sanitizer" in run.stderr or "runtime error" in run.stderr:
        print(run.stderr); sys.exit(1)
    print(run.stdout.strip())
    print(run.stderr.strip())
    # The copies are named in input order: a name met again gets "_2", "_3" ...
    outputs, seen = [], {}
    for path in inputs:
        name = os.path.basename(path)
        seen[name] = seen.get(name, 0) + 1
        outputs.append((path, os.path.join(out, name if seen[name] == 1 else numbered(name, seen[name]))))
    faults, checked, unreadable, mapping = [], 0, 0, {}
    for src_path, out_path in outputs:
        if not os.path.exists(out_path):
            continue
        rel = os.path.relpath(src_path, data)
        try:
            src = pydicom.dcmread(src_path, force=True)
            list(walk(src))
        except Exception:
            unreadable += 1  # pydicom cannot read the input (e.g. CP-246 in big endian)
            continue
        try:
            ds = pydicom.dcmread(out_path, force=True)
            faults += faults_of(rel, ds)
        except Exception as error:
            faults.append(f"{rel}: pydicom cannot read the copy: {error}")
            continue
        checked += 1
        for old, new in uid_pairs(src, ds):
            if old in mapping and mapping[old] != new:
                faults.append(f"{rel}: {old} mapped to {mapping[old]} and to {new}")
            mapping[old] = new
        if (0x0002, 0x0003) in ds.file_meta and (0x0008, 0x0018) in ds and \
                (0x0002, 0x0003) in src.file_meta and (0x0008, 0x0018) in src and \
                text(src.file_meta[0x0002, 0x0003]) == text(src[0x0008, 0x0018]) and \
                text(ds.file_meta[0x0002, 0x0003]) != text(ds[0x0008, 0x0018]):
            faults.append(f"{rel}: (0002,0003) no longer equals (0008,0018)")
        if with_dciodvfy:
            for line in sorted(error_lines(out_path) - error_lines(src_path)):
                faults.append(f"{rel}: dciodvfy: {line}")
    print(f"checked {checked} anonymized files; UIDs mapped: {len(mapping)}; "
          f"inputs pydicom cannot read: {unreadable}; faults: {len(faults)}")
    for f in faults[:60]:
        print(f)
    sys.exit(1 if faults or checked == 0 else 0)
