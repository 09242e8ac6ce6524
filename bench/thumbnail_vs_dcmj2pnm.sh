#!/usr/bin/env bash
# A 128-pixel PNG thumbnail of a 512 x 512 16-bit CT file, side by side in one
# run with DCMTK:
#   tolan thumbnail -s 128 FILE x.png   vs   dcmj2pnm --scale-x-size 128 +on FILE y.png
# The whole process each time, as a file manager starts it once a file.
#
#   bench/thumbnail_vs_dcmj2pnm.sh [DATA_DIR]
#
# DATA_DIR holds the output of ../shared/bench/gen_data.py (default
# /tmp/benchdata; made when missing). TOLAN names the tolan binary to time
# (default: build/release/cli/tolan, built first); time an optimised build
# without sanitizers. Prints the medians and dcmj2pnm's time over ours.
bench_default_runs=50
source "$(dirname "$0")/common.sh"
file="$data/series/ct0001.dcm"
bench_require hyperfine dcmj2pnm identify "$tolan"
bench_workspace

hyperfine -N --warmup 5 --runs "$runs" --export-json "$json" \
  -n "tolan thumbnail" "$tolan thumbnail -s 128 $file $work/x.png" \
  -n "dcmj2pnm" "dcmj2pnm --scale-x-size 128 +on $file $work/y.png" >/dev/null

# Both wrote a 128 x 128 PNG.
for out in x y; do
  size=$(identify -format '%w %h' "$work/$out.png")
  [ "$size" = "128 128" ] || { echo "$out.png: $size, not 128 128" >&2; exit 1; }
done

python3 - "$json" <<'PY'
import json, sys
results = {r['command']: r['median'] for r in json.load(open(sys.argv[1]))['results']}
print(f"{'command':18} {'median':>10}")
for name, median in results.items():
    print(f"{name:18} {median * 1000:7.2f} ms")
print(f"dcmj2pnm / tolan thumbnail: {results['dcmj2pnm'] / results['tolan thumbnail']:.2f}x")
PY
