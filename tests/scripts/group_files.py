#!/usr/bin/python3
"""Groups the DICOM files under a folder (recursively) by header keys, as an
independent reading to compare the viewer's groups with.

Usage: group_files.py ROOT
Prints one line per group: the group's file paths relative to ROOT, sorted,
separated by a tab. Files pydicom cannot read as DICOM are left out.
"""
import os
import warnings
import sys

import pydicom
from pydicom.errors import InvalidDicomError

TEXT_KEYS = [
    (0x0020, 0x000D),  # Study Instance UID
    (0x0020, 0x000E),  # Series Instance UID
    (0x0010, 0x0010),  # Patient's Name
    (0x0008, 0x0060),  # Modality
    (0x0008, 0x0020),  # Study Date
    (0x0020, 0x0010),  # Study ID
]
NUMBER_KEYS = [
    (0x0028, 0x0010),  # Rows
    (0x0028, 0x0011),  # Columns
    (0x0028, 0x0100),  # Bits Allocated
    (0x0028, 0x0101),  # Bits Stored
    (0x0028, 0x0102),  # High Bit
]


def read_header(path):
    try:
        return pydicom.dcmread(path, stop_before_pixels=True)
    except (InvalidDicomError, OSError, ValueError, EOFError, KeyError, TypeError, AttributeError,
            NotImplementedError, OverflowError, IndexError):
        return None


def text_of(ds, tag):
    element = ds.get(tag)
    if element is None or element.value is None:
        return ""
    value = element.value
    if isinstance(value, (bytes, bytearray)):
        return bytes(value).rstrip(b" \0").decode("latin-1")
    return str(value).rstrip(" \0")


def number_of(ds, tag):
    element = ds.get(tag)
    if element is None or element.value is None or element.value == "":
        return 0
    try:
        value = element.value
        return int(value[0] if isinstance(value, (list, pydicom.multival.MultiValue)) else value)
    except (TypeError, ValueError, IndexError):
        return 0


def main():
    warnings.simplefilter("ignore")
    root = sys.argv[1]
    groups = {}
    for folder, subfolders, files in os.walk(root):
        subfolders.sort()
        for name in sorted(files):
            path = os.path.join(folder, name)
            if os.path.islink(path) or not os.path.isfile(path):
                continue
            ds = read_header(path)
            if ds is None or len(ds) == 0:
                continue
            key = (folder,) + tuple(text_of(ds, t) for t in TEXT_KEYS) + tuple(number_of(ds, t) for t in NUMBER_KEYS)
            groups.setdefault(key, []).append(os.path.relpath(path, root))
    for members in groups.values():
        print("\t".join(sorted(members)))


if __name__ == "__main__":
    main()
