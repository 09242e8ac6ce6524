#!/usr/bin/env bash
# Stepping through a 300-file 512 x 512 CT series with Next File, each file
# painted before the next step, beside DCMTK converting the same 300 files
# one process each:
#   viewer-steps next-file series/ 300   vs   for f in series/*; do dcmj2pnm --write-png $f OUT; done
#
#   bench/next_file_vs_dcmj2pnm.sh [DATA_DIR]
#
# DATA_DIR holds the output of ../shared/bench/gen_data.py (default
# /tmp/benchdata; made when missing). STEPS names the program (default
# build/release/bench/viewer-steps, built when missing: an optimised build
# without sanitizers). The viewer runs on Qt's offscreen platform with its
# settings in a scratch folder. Prints the viewer's resident memory along the
# walk, and the median per-file time of RUNS runs (default 3) of each.
bench_default_runs=3
source "$(dirname "$0")/viewer_common.sh"
series="$data/series"
command -v dcmj2pnm >/dev/null || { echo "missing: dcmj2pnm" >&2; exit 1; }
count=$(find "$series" -maxdepth 1 -type f | wc -l)

for ((i = 0; i < runs; i++)); do
  rm -rf "$XDG_CONFIG_HOME"
  # The offscreen platform warns of every window hint it ignores.
  "$steps" next-file "$series" "$count" >"$scratch/ours.$i" 2> >(grep -v propagateSizeHints >&2)
  # "299 Next File steps: 2.345 s, 127.5 files/s, 7.84 ms a file, 6.10 ms CPU a file"
  sed -n 's/.* files\/s, \([0-9.]*\) ms a file, \([0-9.]*\) ms CPU a file/\1/p' "$scratch/ours.$i" >>"$scratch/ours.ms"
  sed -n 's/.* files\/s, \([0-9.]*\) ms a file, \([0-9.]*\) ms CPU a file/\2/p' "$scratch/ours.$i" >>"$scratch/ours.cpu"
done
echo "tolan-viewer, last run:"
grep VmRSS "$scratch/ours.$((runs - 1))"

for ((i = 0; i < runs; i++)); do
  start=$(date +%s%N)
  for f in "$series"/*; do
    dcmj2pnm --write-png "$f" "$scratch/out.png"
  done
  end=$(date +%s%N)
  awk -v ns=$((end - start)) -v n="$count" 'BEGIN { printf "%.3f\n", ns / 1e6 / n }' >>"$scratch/peer.ms"
done

ours=$(median <"$scratch/ours.ms")
ourscpu=$(median <"$scratch/ours.cpu")
peer=$(median <"$scratch/peer.ms")
printf '%-38s %10s %10s\n' "over $count files, median of $runs" "ms a file" "files/s"
printf '%-38s %10.2f %10.1f\n' "tolan-viewer Next File + paint" "$ours" "$(awk -v m="$ours" 'BEGIN { print 1000 / m }')"
printf '%-38s %10.2f %10.1f\n' "dcmj2pnm --write-png, a process each" "$peer" "$(awk -v m="$peer" 'BEGIN { print 1000 / m }')"
echo "tolan-viewer CPU time: $ourscpu ms a file (on a busy machine the wall time also waits for others)"
echo "target: 100 files/s or more, memory flat"
