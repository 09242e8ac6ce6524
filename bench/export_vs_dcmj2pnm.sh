#!/usr/bin/env bash
# Exporting every frame of a 100-frame 512 x 512 16-bit CT file as windowed
# 8-bit pictures, side by side in one run with DCMTK:
#   tolan export FILE --format tiff --out DIR/x.tif   vs   dcmj2pnm +Fa +Wm +ot FILE DIR/y
#   tolan export FILE --format bmp  --out DIR/x.bmp   vs   dcmj2pnm +Fa +Wm +ob FILE DIR/y
# Both window each frame from its minimum to its maximum and write 100 files.
#
#   bench/export_vs_dcmj2pnm.sh [DATA_DIR]
#
# DATA_DIR holds the output of ../shared/bench/gen_data.py (default
# /tmp/benchdata; made when missing). TOLAN names the tolan binary to time
# (default: build/release/cli/tolan, built first); time an optimised build
# without sanitizers. Prints the medians and dcmj2pnm's time over ours.
bench_default_runs=10
source "$(dirname "$0")/common.sh"
file="$data/mf/mf100.dcm"
bench_require hyperfine dcmj2pnm "$tolan"
bench_workspace

# Each run writes into an empty folder (see bench_workspace).
fresh() { echo "rm -rf $work/$1 && mkdir $work/$1"; }
hyperfine --warmup 2 --runs "$runs" --export-json "$json" \
  --prepare "$(fresh tt)" -n "tolan export tiff" "$tolan export $file --format tiff --out $work/tt/x.tif" \
  --prepare "$(fresh dt)" -n "dcmj2pnm +ot" "dcmj2pnm +Fa +Wm +ot $file $work/dt/y" \
  --prepare "$(fresh tb)" -n "tolan export bmp" "$tolan export $file --format bmp --out $work/tb/x.bmp" \
  --prepare "$(fresh db)" -n "dcmj2pnm +ob" "dcmj2pnm +Fa +Wm +ob $file $work/db/y" >/dev/null

# Both wrote one file a frame.
for dir in tt dt tb db; do
  count=$(find "$work/$dir" -type f | wc -l)
  [ "$count" -eq 100 ] || { echo "$dir: $count files, not 100" >&2; exit 1; }
done

python3 - "$json" <<'EOF'
import json, sys
results = {r['command']: r['median'] for r in json.load(open(sys.argv[1]))['results']}
print(f"{'command':22} {'median':>10}")
for name, median in results.items():
    print(f"{name:22} {median * 1000:7.1f} ms")
for ours, peer in (("tolan export tiff", "dcmj2pnm +ot"), ("tolan export bmp", "dcmj2pnm +ob")):
    print(f"{peer} / {ours}: {results[peer] / results[ours]:.2f}x")
EOF
