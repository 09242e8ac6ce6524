#!/usr/bin/env bash
# Grouping a folder of 3,000 CT files (ten studies of one 300-file series)
# by series, side by side in one run:
#   tolan scan --recursive --group-by series DIR
#   gdcmscanner -d DIR -r -t 0020,000e      (reads the same tag of every file)
#   cat of every file                       (the bytes themselves, read once)
#
#   bench/scan_vs_gdcmscanner.sh [DATA_DIR]
#
# DATA_DIR holds gen_data.py's output (default /tmp/benchdata); the tree is
# made there by bench/make_scan_tree.sh when missing. TOLAN names the tolan
# binary to time (default: build/release/cli/tolan, built first); time an
# optimised build without sanitizers. The files stay in the page cache over
# the warm-up runs, so every tool reads from memory. Prints the medians and
# the ratios against tolan.
bench_default_runs=10
source "$(dirname "$0")/common.sh"
bench_require hyperfine gdcmscanner "$tolan"
bench/make_scan_tree.sh "$data"
tree="$data/scantree"

# The check that the three read what they should, once, outside the timing.
groups=$("$tolan" scan --recursive --group-by series "$tree" | wc -l)
[ "$groups" -eq 10 ] || { echo "tolan scan found $groups groups, expected 10" >&2; exit 1; }

json=$(mktemp --suffix=.json)
trap 'rm -f "$json"' EXIT
hyperfine --warmup 2 --runs "$runs" --export-json "$json" \
  -n "tolan scan" "$tolan scan --recursive --group-by series $tree" \
  -n "gdcmscanner" "gdcmscanner -d $tree -r -t 0020,000e" \
  -n "cat" "find $tree -type f -exec cat {} + > /dev/null" >/dev/null

python3 bench/ratio_table.py "$json" "tolan scan" tolan
