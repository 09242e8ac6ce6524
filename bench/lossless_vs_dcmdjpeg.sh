#!/usr/bin/env bash
# JPEG lossless decoding of a 100-frame 512 x 512 16-bit CT file, side by side
# in one run:
#   tolan frames FILE --out DIR   vs   dcmdjpeg FILE OUT.dcm
# Both read the whole file, decode every frame and write the decoded pixels.
# tolan runs once more with --threads 1, to show what the second core gives.
#
#   bench/lossless_vs_dcmdjpeg.sh [DATA_DIR]
#
# DATA_DIR holds the output of ../shared/bench/gen_data.py (default
# /tmp/benchdata; made when missing) and gets mf/mf100_jll.dcm and
# mf/mf1_jll.dcm from DCMTK's dcmcjpeg +e1 (selection value 1). TOLAN names the
# tolan binary to time (default: build/release/cli/tolan, built first); time an optimised
# build without sanitizers. Prints medians, the decode rate of the 99 extra
# frames and the ratio of dcmdjpeg's time to ours.
bench_default_runs=10
source "$(dirname "$0")/common.sh"
mf="$data/mf"
bench_require hyperfine dcmcjpeg dcmdjpeg "$tolan"
for n in 1 100; do
  [ -f "$mf/mf${n}_jll.dcm" ] || dcmcjpeg +e1 "$mf/mf$n.dcm" "$mf/mf${n}_jll.dcm"
done

bench_workspace
# -N runs the tools without a shell, whose start-up would blur the 1-frame times.
hyperfine -N --warmup 2 --runs "$runs" --export-json "$json" \
  --prepare "rm -rf $work/t100" -n "tolan frames 100" "$tolan frames $mf/mf100_jll.dcm --out $work/t100" \
  --prepare "rm -rf $work/s100" -n "tolan frames 100, 1 thread" \
    "$tolan frames $mf/mf100_jll.dcm --out $work/s100 --threads 1" \
  --prepare "rm -f $work/d100.dcm" -n "dcmdjpeg 100" "dcmdjpeg $mf/mf100_jll.dcm $work/d100.dcm" \
  --prepare "rm -rf $work/t1" -n "tolan frames 1" "$tolan frames $mf/mf1_jll.dcm --out $work/t1" \
  --prepare "rm -f $work/d1.dcm" -n "dcmdjpeg 1" "dcmdjpeg $mf/mf1_jll.dcm $work/d1.dcm" >/dev/null

python3 bench/decode_rate.py "$json" dcmdjpeg
