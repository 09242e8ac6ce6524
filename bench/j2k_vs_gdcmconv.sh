#!/usr/bin/env bash
# JPEG 2000 lossless decoding of a 100-frame 512 x 512 16-bit file, side by
# side in one run:
#   tolan frames FILE --out DIR   vs   gdcmconv --raw FILE OUT.dcm
#   vs   opj_decompress on the file's 100 codestreams, one process a
#        codestream, two at a time (both cores decode frames, as tolan's do)
# tolan runs once more with --threads 1, to show what the second core gives.
#
#   bench/j2k_vs_gdcmconv.sh [DATA_DIR]
#
# DATA_DIR holds the output of ../shared/bench/gen_data.py (default
# /tmp/benchdata; made when missing) and gets mf/mf100_j2k.dcm and
# mf/mf1_j2k.dcm from gdcmconv --j2k, and mf/j2k100/ with the codestreams.
# TOLAN names the tolan binary to time (default: build/release/cli/tolan,
# built first). Prints medians, the decode rate of the 99 extra frames and
# the ratio of gdcmconv's time to ours.
bench_default_runs=10
source "$(dirname "$0")/common.sh"
mf="$data/mf"
bench_require hyperfine gdcmconv opj_decompress "$tolan"
for n in 1 100; do
  [ -f "$mf/mf${n}_j2k.dcm" ] || gdcmconv --j2k "$mf/mf$n.dcm" "$mf/mf${n}_j2k.dcm"
done
# The codestreams of the 100-frame file, in two halves for two processes.
if [ ! -d "$mf/j2k100" ]; then
  mkdir -p "$mf/j2k100.tmp/a" "$mf/j2k100.tmp/b"
  /usr/bin/python3 - "$mf/mf100_j2k.dcm" "$mf/j2k100.tmp" <<'PY'
import sys
import pydicom
from pydicom.encaps import generate_pixel_data_frame
ds = pydicom.dcmread(sys.argv[1])
for i, frame in enumerate(generate_pixel_data_frame(ds.PixelData, int(ds.NumberOfFrames))):
    with open(f"{sys.argv[2]}/{'ab'[i % 2]}/f{i:03d}.j2k", "wb") as out:
        out.write(frame)
PY
  mv "$mf/j2k100.tmp" "$mf/j2k100"
fi

bench_workspace
opj_half='mkdir -p '"$work"'/o; for f in '"$mf"'/j2k100/$0/*.j2k; do opj_decompress -i $f -o '"$work"'/o/$(basename $f .j2k).rawl >/dev/null || exit 1; done'
hyperfine -N --warmup 2 --runs "$runs" --export-json "$json" \
  --prepare "rm -rf $work/t100" -n "tolan frames 100" "$tolan frames $mf/mf100_j2k.dcm --out $work/t100" \
  --prepare "rm -rf $work/s100" -n "tolan frames 100, 1 thread" \
    "$tolan frames $mf/mf100_j2k.dcm --out $work/s100 --threads 1" \
  --prepare "rm -f $work/g100.dcm" -n "gdcmconv 100" "gdcmconv --raw $mf/mf100_j2k.dcm $work/g100.dcm" \
  --prepare "rm -rf $work/o" -n "opj_decompress 100 codestreams" \
    "bash -c 'bash -c \"\$0\" a & bash -c \"\$0\" b && wait \$!' '$opj_half'" \
  --prepare "rm -rf $work/t1" -n "tolan frames 1" "$tolan frames $mf/mf1_j2k.dcm --out $work/t1" \
  --prepare "rm -f $work/g1.dcm" -n "gdcmconv 1" "gdcmconv --raw $mf/mf1_j2k.dcm $work/g1.dcm" >/dev/null

python3 bench/decode_rate.py "$json" gdcmconv
python3 - "$json" <<'PY'
import json, sys
r = {x['command']: x['median'] for x in json.load(open(sys.argv[1]))['results']}
print(f"whole 100-frame file: tolan / opj_decompress = {r['tolan frames 100'] / r['opj_decompress 100 codestreams']:.2f}x")
PY
