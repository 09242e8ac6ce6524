#!/usr/bin/env python3
"""Prints the medians of a hyperfine JSON export and each one's ratio to one run.

usage: ratio_table.py JSON REFERENCE LABEL
REFERENCE is the command name (hyperfine -n) the others are divided by; LABEL
names it in the column heading ("ratio to LABEL").
"""
import json
import sys

results = {r['command']: r['median'] for r in json.load(open(sys.argv[1]))['results']}
ours = results[sys.argv[2]]
heading = f"ratio to {sys.argv[3]}"
print(f"{'command':28} {'median':>10} {heading:>16}")
for name, median in results.items():
    print(f"{name:28} {median * 1000:8.1f} ms {median / ours:15.2f}x")
