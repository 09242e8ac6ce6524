#!/usr/bin/env bash
# Lossless JPEG decoding, ours beside DCMTK's dcmdjpeg, on the 100-frame 16-bit
# file of ../shared/bench (made as its README says). Whole processes are timed
# with hyperfine on the 100-frame and the 1-frame file; the difference is 99
# frames of decoding without start-up, reported as MB/s of decoded pixels.
#   bench/lossless_vs_dcmdjpeg.sh [BUILD_DIR]   (default build/release, configured
#                                                with -DTV_BUILD_BENCHMARKS=ON)
#   BENCH_DIR=/tmp/benchdata  where gen_data.py wrote its files
set -euo pipefail
repo=$(cd "$(dirname "$0")/.." && pwd)
build=${1:-$repo/build/release}
bench_dir=${BENCH_DIR:-/tmp/benchdata}
ours=$build/bench/LosslessBench
mf=$bench_dir/mf
for tool in dcmdjpeg dcmcjpeg hyperfine python3; do
  command -v $tool >/dev/null || { echo "error: $tool not found" >&2; exit 1; }
done
[ -x "$ours" ] || { echo "error: $ours not built (cmake -DTV_BUILD_BENCHMARKS=ON, target LosslessBench)" >&2; exit 1; }
if [ ! -f "$mf/mf100.dcm" ]; then
  echo "making inputs in $bench_dir"
  /usr/bin/python3 "$repo/../shared/bench/gen_data.py" "$bench_dir" >/dev/null
fi
for n in 1 100; do
  [ -f "$mf/mf${n}_jll.dcm" ] || dcmcjpeg +e1 "$mf/mf$n.dcm" "$mf/mf${n}_jll.dcm"
done

out=$(mktemp -d)
trap 'rm -rf "$out"' EXIT
# One decode of every frame per process: a single benchmark iteration.
run_ours="$ours --benchmark_filter=BM_DecodeLosslessFile --benchmark_min_time=0.000001"
hyperfine --warmup 2 --runs 15 --export-json "$out/times.json" \
  -n dcmdjpeg-100 "dcmdjpeg $mf/mf100_jll.dcm $out/d100.dcm" \
  -n dcmdjpeg-1 "dcmdjpeg $mf/mf1_jll.dcm $out/d1.dcm" \
  -n tolan-100 "TV_BENCH_LOSSLESS=$mf/mf100_jll.dcm $run_ours" \
  -n tolan-1 "TV_BENCH_LOSSLESS=$mf/mf1_jll.dcm $run_ours" >/dev/null

python3 - "$out/times.json" <<'PY'
import json, sys
t = {r["command"]: r["median"] for r in json.load(open(sys.argv[1]))["results"]}
mb = 99 * 512 * 512 * 2 / 1e6
d = t["dcmdjpeg-100"] - t["dcmdjpeg-1"]
o = t["tolan-100"] - t["tolan-1"]
for name in ("dcmdjpeg-100", "dcmdjpeg-1", "tolan-100", "tolan-1"):
    print(f"{name:14s} median {t[name] * 1000:8.1f} ms")
print(f"dcmdjpeg: {mb / d:7.1f} MB/s of decoded pixels (99 frames, start-up removed)")
print(f"ours:     {mb / o:7.1f} MB/s")
print(f"ratio ours / dcmdjpeg: {d / o:.2f}")
PY
echo "in-process (Google Benchmark):"
TV_BENCH_LOSSLESS=$mf/mf100_jll.dcm "$ours" --benchmark_filter=BM_DecodeLosslessFile --benchmark_repetitions=5 \
  --benchmark_report_aggregates_only=true 2>/dev/null | grep -E "median|Benchmark"
