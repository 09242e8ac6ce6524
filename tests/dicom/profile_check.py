#!/usr/bin/env python3
"""`tolan anonymize --profile basic` over every file of the test data, checked
with pydicom: no attribute of the profile's table keeps its value at any depth,
no private element remains, UIDs are replaced by "2.25." UIDs and one original
UID gets one replacement over the whole run. Exit 77 (skip) without pydicom or
test data."""
import os
import re
import subprocess
import sys
import tempfile

try:
    import pydicom
except ImportError:
    print("pydicom missing"); sys.exit(77)

tolan, data = sys.argv[1], sys.argv[2]
if not os.path.isdir(data):
    print("no test data"); sys.exit(77)
here = os.path.dirname(os.path.abspath(__file__))
table_path = os.path.join(here, "..", "..", "dicom", "BasicProfileTable.inc")
table = {}
for g, e, code in re.findall(r'\{0x([0-9A-F]{4}), 0x([0-9A-F]{4}), "([^"]+)"\}', open(table_path).read()):
    code = "U" if "U" in code else "D" if "D" in code else "Z" if "Z" in code else "X"
    table[(int(g, 16) << 16) | int(e, 16)] = code
DUMMIES = {"", "ANONYMIZED", "19000101", "000000", "19000101000000", "0", "000Y"}


def action(tag):
    if (tag >> 24) == 0x50 or ((tag >> 24) == 0x60 and (tag & 0xFFFF) in (0x3000, 0x4000)):
        return "X"
    return table.get(tag)


def walk(ds):
    for el in ds:
        yield el
        if el.VR == "SQ":
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


with tempfile.TemporaryDirectory() as out:
    run = subprocess.run([tolan, "anonymize", "--profile", "basic", "--recursive", "--out", out, data],
                         capture_output=True, text=True)
    if "Sanitizer" in run.stderr or "runtime error" in run.stderr:
        print(run.stderr); sys.exit(1)
    print(run.stdout.strip())
    faults, checked, listed_in = [], 0, 0
    originals = {}
    for root, _, names in os.walk(data):
        for name in names:
            originals.setdefault(name, []).append(os.path.join(root, name))
    mapping = {}
    unreadable = 0

    def input_unreadable(name):
        try:
            for src in originals.get(name, []):
                list(walk(pydicom.dcmread(src, force=True)))
            return False
        except Exception:
            return True
    for name in sorted(os.listdir(out)):
        path = os.path.join(out, name)
        try:
            ds = pydicom.dcmread(path, force=True)
        except Exception as error:
            if input_unreadable(name):
                unreadable += 1  # pydicom cannot read the input either (e.g. CP-246 in big endian)
            else:
                faults.append(f"{name}: pydicom cannot read it: {error}")
            continue
        checked += 1
        if ds.get((0x0012, 0x0062)) is None or text(ds[0x0012, 0x0062]) != "YES":
            faults.append(f"{name}: (0012,0062) is not YES")
        try:
            elements = list(walk(ds)) + list(walk(ds.file_meta))
        except Exception as error:
            if input_unreadable(name):
                unreadable += 1  # pydicom cannot read the input either (e.g. CP-246 in big endian)
            else:
                faults.append(f"{name}: pydicom cannot read it: {error}")
            continue
        for el in elements:
            tag = int(el.tag)
            if el.tag.is_private:
                faults.append(f"{name}: private {el.tag} remains")
                continue
            a = action(tag)
            if a == "X":
                faults.append(f"{name}: {el.tag} should be removed")
            elif a == "Z" and el.VR != "SQ" and text(el) != "":
                faults.append(f"{name}: {el.tag} should be empty, is {text(el)!r}")
            elif a == "Z" and el.VR == "SQ" and len(el.value):
                faults.append(f"{name}: {el.tag} should be an empty sequence")
            elif a == "D" and el.VR not in ("SQ", "UI") and text(el) not in DUMMIES and el.VR not in ("US", "SS", "UL", "SL", "FL", "FD"):
                faults.append(f"{name}: {el.tag} keeps {text(el)!r}")
            elif a == "U" and el.VR == "UI":
                for uid in text(el).split("\\"):
                    if uid and not uid.startswith("2.25."):
                        faults.append(f"{name}: {el.tag} keeps UID {uid}")
        sources = originals.get(name, [])
        if len(sources) == 1:
            try:
                src = pydicom.dcmread(sources[0], force=True, stop_before_pixels=True)
                listed_in += sum(1 for el in walk(src) if action(int(el.tag)))
            except Exception:
                continue  # an input pydicom cannot read gives no count and no UIDs
            for tag in ((0x0020, 0x000D), (0x0020, 0x000E), (0x0008, 0x0018)):
                if tag in src and tag in ds:
                    old, new = text(src[tag]), text(ds[tag])
                    if old in mapping and mapping[old] != new:
                        faults.append(f"{name}: {old} mapped to {mapping[old]} and {new}")
                    mapping[old] = new
    print(f"checked {checked} anonymized files; profile attributes in their inputs: {listed_in}; "
          f"UIDs mapped: {len(mapping)}; unreadable by pydicom as inputs too: {unreadable}; faults: {len(faults)}")
    for f in faults[:40]:
        print(f)
    sys.exit(1 if faults or checked == 0 else 0)
