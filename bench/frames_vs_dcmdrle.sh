#!/usr/bin/env bash
# RLE decoding of a 100-frame 512 x 512 16-bit CT file, side by side in one run:
#   tolan frames FILE --out DIR   vs   dcmdrle FILE OUT.dcm
# Both read the whole file, decode every frame and write the decoded pixels.
#
#   bench/frames_vs_dcmdrle.sh [DATA_DIR]
#
# DATA_DIR holds the output of ../shared/bench/gen_data.py (default
# /tmp/benchdata; made when missing) and gets mf/mf100_rle.dcm and
# mf/mf1_rle.dcm from DCMTK's dcmcrle. TOLAN names the tolan binary to time
# (default: build/release/cli/tolan, built first); time an optimised build without
# sanitizers. Prints medians, the decode rate of the 99 extra frames and the
# ratio of dcmdrle's time to ours.
bench_default_runs=10
source "$(dirname "$0")/common.sh"
mf="$data/mf"
bench_require hyperfine dcmcrle dcmdrle "$tolan"
for n in 1 100; do
  [ -f "$mf/mf${n}_rle.dcm" ] || dcmcrle "$mf/mf$n.dcm" "$mf/mf${n}_rle.dcm"
done

work=$(mktemp -d)
json=$(mktemp --suffix=.json)
trap 'rm -rf "$work" "$json"' EXIT
# Each run writes into an empty place: replacing last run's files would make
# ext4 flush them to disk first (auto_da_alloc), timing the disk, not the tool.
hyperfine --warmup 2 --runs "$runs" --export-json "$json" \
  --prepare "rm -rf $work/t100; sync" -n "tolan frames 100" "$tolan frames $mf/mf100_rle.dcm --out $work/t100" \
  --prepare "rm -f $work/d100.dcm; sync" -n "dcmdrle 100" "dcmdrle $mf/mf100_rle.dcm $work/d100.dcm" \
  --prepare "rm -rf $work/t1; sync" -n "tolan frames 1" "$tolan frames $mf/mf1_rle.dcm --out $work/t1" \
  --prepare "rm -f $work/d1.dcm; sync" -n "dcmdrle 1" "dcmdrle $mf/mf1_rle.dcm $work/d1.dcm" >/dev/null

python3 bench/decode_rate.py "$json" dcmdrle
