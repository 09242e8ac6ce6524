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
bench_default_runs=5
source "$(dirname "$0")/viewer_common.sh"

for ((i = 0; i < runs; i++)); do
  for workers in 1 0; do
    "$steps" rotate-all "$data/mf/mf100.dcm" "$workers" 2> >(grep -v propagateSizeHints >&2)
  done
done | tee "$scratch/runs.txt"
# "100 frames on 1 workers: 2.345 s": the workers are the fourth field, the seconds the sixth.
one=$(awk '$4 == 1 { print $6 }' "$scratch/runs.txt" | median)
all=$(awk '$4 == 0 { print $6 }' "$scratch/runs.txt" | median)
awk -v one="$one" -v all="$all" -v cores="$(nproc)" 'BEGIN {
  printf "median on one worker: %.3f s; on %d: %.3f s; speed-up %.2f x (target 1.6 x)\n", one, cores, all, one / all }'
