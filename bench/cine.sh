#!/usr/bin/env bash
# The cine loop's pace: a 100-frame 512 x 512 16-bit file played forward in
# an image view at a frame time of 33 ms, until 100 frames were painted.
# Frame k is due k x 33 ms after the movie started, whatever the paints
# before it cost, so the wall time stays near 100 x 33 ms = 3.3 s (the
# target allows 3.4 s) as long as a frame change and paint take less than
# a frame time:
#   viewer-steps cine mf100.dcm 33 100
#
#   bench/cine.sh [DATA_DIR]
#
# DATA_DIR holds the output of ../shared/bench/gen_data.py (default
# /tmp/benchdata; made when missing). STEPS names the program (default
# build/release/bench/viewer-steps, built when missing: an optimised build
# without sanitizers). Runs on Qt's offscreen platform. Prints each run and
# the median of RUNS runs (default 5).
bench_default_runs=5
source "$(dirname "$0")/viewer_common.sh"

for ((i = 0; i < runs; i++)); do
  # The offscreen platform warns of every window hint it ignores.
  "$steps" cine "$data/mf/mf100.dcm" 33 100 2> >(grep -v propagateSizeHints >&2)
done | tee "$scratch/runs.txt"
# "100 frames at 33.0 ms: 3.412 s (34.12 ms a frame, 1.20 ms CPU a frame)":
# the seconds are the sixth field, the CPU time the twelfth.
awk '{ print $6 }' "$scratch/runs.txt" | sort -n |
  awk '{ v[NR] = $1 } END { printf "median of %d runs: %.3f s for 100 frames (target 3.4 s)\n", NR, v[int((NR + 1) / 2)] }'
awk '{ print $12 }' "$scratch/runs.txt" | sort -n |
  awk '{ v[NR] = $1 } END { printf "median CPU time: %.2f ms a frame\n", v[int((NR + 1) / 2)] }'
