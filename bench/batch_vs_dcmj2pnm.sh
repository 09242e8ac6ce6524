#!/usr/bin/env bash
# Batch conversion of the 300-file 512 x 512 16-bit CT series to JPEG, side
# by side in one run with DCMTK run over the same files in one shell loop:
#   tolan batch --format jpeg --out DIR --dir series
#   for f in series/*; do dcmj2pnm +Wm +oj "$f" DIR/$(basename $f).jpg; done
# tolan windows each file with its own Window Center/Width (the ramp over
# the samples when it has none); dcmj2pnm +Wm with the file's first window.
#
#   bench/batch_vs_dcmj2pnm.sh [DATA_DIR]
#
# DATA_DIR holds the output of ../shared/bench/gen_data.py (default
# /tmp/benchdata; made when missing). TOLAN names the tolan binary to time
# (default: build/rel/cli/tolan, an optimised build without sanitizers,
# built first). Prints the medians and dcmj2pnm's time over ours.
bench_default_runs=5
if [ -z "${TOLAN:-}" ]; then
  root="$(cd "$(dirname "$0")/.." && pwd)"
  cmake -S "$root" -B "$root/build/rel" -DCMAKE_BUILD_TYPE=Release >/dev/null
  cmake --build "$root/build/rel" --target tolan -j "$(nproc)" >/dev/null
  export TOLAN="$root/build/rel/cli/tolan"
fi
source "$(dirname "$0")/common.sh"
series="$data/series"
bench_require hyperfine dcmj2pnm "$tolan"
bench_workspace

count=$(find "$series" -maxdepth 1 -type f | wc -l)
# Each run writes into an empty folder (see bench_workspace).
fresh() { echo "rm -rf $work/$1 && mkdir $work/$1"; }
hyperfine --warmup 1 --runs "$runs" --export-json "$json" \
  --prepare "$(fresh tb)" -n "tolan batch jpeg" "$tolan batch --format jpeg --out $work/tb --dir $series" \
  --prepare "$(fresh dj)" -n "dcmj2pnm +oj loop" \
  "for f in $series/*; do dcmj2pnm +Wm +oj \"\$f\" $work/dj/\$(basename \$f).jpg; done" >/dev/null

# Both wrote one picture a file.
for dir in tb dj; do
  written=$(find "$work/$dir" -type f | wc -l)
  [ "$written" -eq "$count" ] || { echo "$dir: $written files, not $count" >&2; exit 1; }
done

python3 - "$json" <<'PY'
import json, sys
results = {r['command']: r['median'] for r in json.load(open(sys.argv[1]))['results']}
print(f"{'command':22} {'median':>10}")
for name, median in results.items():
    print(f"{name:22} {median * 1000:7.1f} ms")
ratio = results["dcmj2pnm +oj loop"] / results["tolan batch jpeg"]
print(f"dcmj2pnm loop / tolan batch: {ratio:.2f}x (target: at least 1)")
PY
