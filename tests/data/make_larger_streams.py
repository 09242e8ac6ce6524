#!/usr/bin/python3
"""Writes the *-stream-larger-*.dcm regression files beside this script.

    make_larger_streams.py

Each is a Part 10 file whose JPEG frame header claims a picture far larger
than Rows x Columns, the way damaged or forged files do: a few hundred bytes
that once made the reader allocate and decode the whole claimed picture
(1 GB and a second for a 32768 x 32768 baseline header on a 100 x 100 frame,
11 s for a 16384 x 16384 lossless one). The streams are flat: every Huffman
table has one code, for a zero difference or end of block, and the scans hold
a few bytes of data before EOI.
"""

import os
import struct

HERE = os.path.dirname(os.path.abspath(__file__))


def segment(marker, payload):
    return bytes([0xFF, marker]) + struct.pack(">H", len(payload) + 2) + payload


def one_code_table(table_class_and_id):
    # DHT: one code of length 1, for symbol 0 (DC difference 0, or AC end of block).
    return segment(0xC4, bytes([table_class_and_id, 1] + [0] * 15 + [0]))


def dct_stream(sof, precision, width, height, scan):
    """A grey DCT stream (SOF0, SOF1 or SOF2) whose scan is (Ss, Se)."""
    out = b"\xFF\xD8"
    out += segment(0xDB, bytes([0]) + bytes([1] * 64))  # DQT: table 0 of ones
    out += segment(sof, struct.pack(">BHHB", precision, height, width, 1) + bytes([1, 0x11, 0]))
    out += one_code_table(0x00)
    if scan[1] > 0:
        out += one_code_table(0x10)
    out += segment(0xDA, bytes([1, 1, 0x00, scan[0], scan[1], 0]))
    return out + bytes(64) + b"\xFF\xD9"


def lossless_stream(precision, width, height):
    out = b"\xFF\xD8"
    out += segment(0xC3, struct.pack(">BHHB", precision, height, width, 1) + bytes([1, 0x11, 0]))
    out += one_code_table(0x00)
    out += segment(0xDA, bytes([1, 1, 0x00, 1, 0, 0]))  # predictor 1
    return out + bytes(16) + b"\xFF\xD9"


def element(group, elem, vr, value):
    if len(value) % 2:
        value += b"\0" if vr == "UI" else b" "
    return struct.pack("<HH", group, elem) + vr.encode() + struct.pack("<H", len(value)) + value


def us(group, elem, value):
    return element(group, elem, "US", struct.pack("<H", value))


def dicom_file(syntax, rows, columns, bits_allocated, bits_stored, streams):
    meta = element(0x0002, 0x0010, "UI", syntax.encode())
    out = bytes(128) + b"DICM" + meta
    out += us(0x0028, 0x0002, 1)
    out += element(0x0028, 0x0004, "CS", b"MONOCHROME2")
    if len(streams) > 1:
        out += element(0x0028, 0x0008, "IS", str(len(streams)).encode())
    out += us(0x0028, 0x0010, rows) + us(0x0028, 0x0011, columns)
    out += us(0x0028, 0x0100, bits_allocated) + us(0x0028, 0x0101, bits_stored)
    out += us(0x0028, 0x0102, bits_stored - 1) + us(0x0028, 0x0103, 0)
    out += struct.pack("<HH", 0x7FE0, 0x0010) + b"OB\0\0" + struct.pack("<I", 0xFFFFFFFF)
    out += struct.pack("<HHI", 0xFFFE, 0xE000, 0)  # empty basic offset table
    for stream in streams:
        stream += b"\0" * (len(stream) % 2)
        out += struct.pack("<HHI", 0xFFFE, 0xE000, len(stream)) + stream
    return out + struct.pack("<HHI", 0xFFFE, 0xE0DD, 0)


BASELINE, EXTENDED, LOSSLESS = "1.2.840.10008.1.2.4.50", "1.2.840.10008.1.2.4.51", "1.2.840.10008.1.2.4.70"
FILES = {
    "jpeg-baseline-stream-larger-32768.dcm":
        dicom_file(BASELINE, 100, 100, 8, 8, [dct_stream(0xC0, 8, 32768, 32768, (0, 63))]),
    "jpeg-baseline-8-frames-stream-larger-32768.dcm":
        dicom_file(BASELINE, 64, 64, 8, 8, [dct_stream(0xC0, 8, 32768, 32768, (0, 63))] * 8),
    "jpeg-progressive-stream-larger-32768.dcm":
        dicom_file(EXTENDED, 100, 100, 8, 8, [dct_stream(0xC2, 8, 32768, 32768, (0, 0))]),
    "jpeg-extended-12bit-stream-larger-16384.dcm":
        dicom_file(EXTENDED, 64, 64, 16, 12, [dct_stream(0xC1, 12, 16384, 16384, (0, 63))]),
    "jpeg-lossless-stream-larger-16384.dcm":
        dicom_file(LOSSLESS, 64, 64, 16, 12, [lossless_stream(12, 16384, 16384)]),
}

if __name__ == "__main__":
    for name, data in FILES.items():
        with open(os.path.join(HERE, name), "wb") as f:
            f.write(data)
        print(f"{name}: {len(data)} bytes")
