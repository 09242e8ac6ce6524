#!/usr/bin/env bash
# "Apply to all" on a long series: every frame of a 100-frame 512 x 512
# 16-bit file rotated by 30 degrees, bicubic, as one command, first on one
# worker thread, then on one a core, alternately in the same run:
#   viewer-steps rotate-all mf100.dcm 1
#   viewer-steps rotate-all mf100.dcm 0
#
#   bench/rotate_all.sh [DATA_DIR]
#
# DATA_DIR holds the output of ../shared/bench/gen_data.py (default
# /tmp/benchdata; made when missing). STEPS names the program (default
# build/release/bench/viewer-steps, built when missing). Prints each run, the
# medians of RUNS runs each (default 5) and their ratio.
set -euo pipefail
cd "$(dirname "$0")/.."
source scripts/deps.sh
# shellcheck disable=SC2086
tv_ensure_packages $TV_BUILD_PACKAGES $TV_BENCH_PACKAGES
data=${1:-/tmp/benchdata}
runs=${RUNS:-5}
steps=${STEPS:-}
if [ -z "$steps" ]; then
  cmake -S . -B build/release -DCMAKE_BUILD_TYPE=Release -DTV_BUILD_BENCHMARKS=ON >/dev/null
  cmake --build build/release --target viewer-steps -j "$(nproc)" >/dev/null
  steps=build/release/bench/viewer-steps
fi
[ -f "$data/mf/mf100.dcm" ] || /usr/bin/python3 ../shared/bench/gen_data.py "$data" >/dev/null

scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
mkdir -m 700 "$scratch/runtime"
export XDG_RUNTIME_DIR="$scratch/runtime" XDG_CONFIG_HOME="$scratch/config" QT_QPA_PLATFORM=offscreen

for ((i = 0; i < runs; i++)); do
  for workers in 1 0; do
    "$steps" rotate-all "$data/mf/mf100.dcm" "$workers" 2> >(grep -v propagateSizeHints >&2)
  done
done | tee "$scratch/runs.txt"
# "100 frames on 1 workers: 2.345 s": the workers are the fourth field, the seconds the sixth.
awk '$4 == 1 { print $6 }' "$scratch/runs.txt" | sort -n > "$scratch/one.txt"
awk '$4 == 0 { print $6 }' "$scratch/runs.txt" | sort -n > "$scratch/all.txt"
one=$(awk '{ v[NR] = $1 } END { print v[int((NR + 1) / 2)] }' "$scratch/one.txt")
all=$(awk '{ v[NR] = $1 } END { print v[int((NR + 1) / 2)] }' "$scratch/all.txt")
awk -v one="$one" -v all="$all" -v cores="$(nproc)" 'BEGIN {
  printf "median on one worker: %.3f s; on %d: %.3f s; speed-up %.2f x (target 1.6 x)\n", one, cores, all, one / all }'
