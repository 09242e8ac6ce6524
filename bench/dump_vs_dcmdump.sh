#!/usr/bin/env bash
# Header-only listing of a folder of 300 CT files, side by side in one run:
#   tolan dump --header-only DIR   vs   dcmdump +sd DIR   vs   gdcmscanner (five tags)
#
#   bench/dump_vs_dcmdump.sh [DATA_DIR]
#
# DATA_DIR holds the output of ../shared/bench/gen_data.py (default
# /tmp/benchdata; made when missing). TOLAN names the tolan binary to time
# (default: build/release/cli/tolan, built first); time an optimised build without
# sanitizers. Prints the medians and the ratios against tolan.
bench_default_runs=15
source "$(dirname "$0")/common.sh"
series="$data/series"
bench_require hyperfine dcmdump gdcmscanner "$tolan"

# The tags a series grouping needs: patient name, study, series and instance UIDs, instance number.
tags="-t 0010,0010 -t 0020,000d -t 0020,000e -t 0008,0018 -t 0020,0013"
json=$(mktemp --suffix=.json)
trap 'rm -f "$json"' EXIT
hyperfine --warmup 2 --runs "$runs" --export-json "$json" \
  -n "tolan dump --header-only" "$tolan dump --header-only $series" \
  -n "dcmdump +sd" "dcmdump +sd -q $series" \
  -n "gdcmscanner" "gdcmscanner -d $series $tags" >/dev/null

python3 bench/ratio_table.py "$json" "tolan dump --header-only" tolan
