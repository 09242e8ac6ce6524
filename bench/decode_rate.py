#!/usr/bin/env python3
"""Summarises a hyperfine JSON export of `tolan frames` beside a DCMTK decoder.

usage: decode_rate.py JSON PEER

The export must hold the runs "tolan frames 100", "tolan frames 1", "PEER 100"
and "PEER 1" on the 100- and 1-frame 512 x 512 16-bit files; the difference
between the two sizes leaves out process start-up and file handling. A run
"tolan frames 100, 1 thread" adds the speed-up of decoding on every core.
"""
import json
import sys

results = {x['command']: x['median'] for x in json.load(open(sys.argv[1]))['results']}
peer = sys.argv[2]
mb = 99 * 512 * 512 * 2 / 1e6  # decoded bytes of the 99 frames beyond the first
print(f"{'command':20} {'median':>10}")
for name, median in results.items():
    print(f"{name:20} {median * 1000:8.1f} ms")
ours = results['tolan frames 100'] - results['tolan frames 1']
theirs = results[f'{peer} 100'] - results[f'{peer} 1']
print(f"decode rate (100-frame minus 1-frame file): tolan {mb / ours:.0f} MB/s, {peer} {mb / theirs:.0f} MB/s")
print(f"decode rate ratio tolan / {peer} = {theirs / ours:.2f}x")
print(f"whole 100-frame file: {peer} / tolan = {results[f'{peer} 100'] / results['tolan frames 100']:.2f}x")
single = results.get('tolan frames 100, 1 thread')
if single:
    print(f"whole 100-frame file: tolan 1 thread / all cores = {single / results['tolan frames 100']:.2f}x")
