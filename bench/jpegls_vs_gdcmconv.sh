#!/usr/bin/env bash
# JPEG-LS lossless decoding of a 100-frame 512 x 512 16-bit file, side by side
# in one run:
#   tolan frames FILE --out DIR   vs   gdcmconv --raw FILE OUT.dcm
# Both read the whole file, decode every frame and write the decoded pixels.
# tolan runs once more with --threads 1, to show what the second core gives.
#
#   bench/jpegls_vs_gdcmconv.sh [DATA_DIR]
#
# DATA_DIR holds the output of ../shared/bench/gen_data.py (default
# /tmp/benchdata; made when missing) and gets mf/mf100_jls.dcm and
# mf/mf1_jls.dcm from gdcmconv --jpegls. TOLAN names the tolan binary to time
# (default: build/release/cli/tolan, built first). Prints medians, the decode
# rate of the 99 extra frames and the ratio of gdcmconv's time to ours.
bench_default_runs=10
source "$(dirname "$0")/common.sh"
mf="$data/mf"
bench_require hyperfine gdcmconv "$tolan"
for n in 1 100; do
  [ -f "$mf/mf${n}_jls.dcm" ] || gdcmconv --jpegls "$mf/mf$n.dcm" "$mf/mf${n}_jls.dcm"
done

bench_workspace
hyperfine -N --warmup 2 --runs "$runs" --export-json "$json" \
  --prepare "rm -rf $work/t100" -n "tolan frames 100" "$tolan frames $mf/mf100_jls.dcm --out $work/t100" \
  --prepare "rm -rf $work/s100" -n "tolan frames 100, 1 thread" \
    "$tolan frames $mf/mf100_jls.dcm --out $work/s100 --threads 1" \
  --prepare "rm -f $work/g100.dcm" -n "gdcmconv 100" "gdcmconv --raw $mf/mf100_jls.dcm $work/g100.dcm" \
  --prepare "rm -rf $work/t1" -n "tolan frames 1" "$tolan frames $mf/mf1_jls.dcm --out $work/t1" \
  --prepare "rm -f $work/g1.dcm" -n "gdcmconv 1" "gdcmconv --raw $mf/mf1_jls.dcm $work/g1.dcm" >/dev/null

python3 bench/decode_rate.py "$json" gdcmconv
