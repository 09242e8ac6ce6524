#!/usr/bin/env bash
# Peak memory of the viewer opening a 100-frame 512 x 512 16-bit file until its
# first frame is painted, uncompressed and JPEG lossless, against the viewer
# started without a file:
#   /usr/bin/time -f %M tolan-viewer --quit-after-paint FILE
#
#   bench/viewer_memory.sh [DATA_DIR]
#
# DATA_DIR holds the output of ../shared/bench/gen_data.py (default
# /tmp/benchdata; made when missing) and gets mf/mf100_jll.dcm from dcmcjpeg +e1.
# VIEWER names the viewer binary (default build/release/app/tolan-viewer, an
# optimised build without sanitizers). Runs on Qt's offscreen platform. Prints
# the median peak of RUNS runs (default 5) of each, and the budget an open may
# take: the empty viewer's peak plus 1.3 x (decoded pixels + file size).
set -euo pipefail
cd "$(dirname "$0")/.."
source scripts/deps.sh
# shellcheck disable=SC2086
tv_ensure_packages $TV_BUILD_PACKAGES $TV_BENCH_PACKAGES
data=${1:-/tmp/benchdata}
viewer=${VIEWER:-build/release/app/tolan-viewer}
runs=${RUNS:-5}
mf="$data/mf"
[ -f "$mf/mf100.dcm" ] || /usr/bin/python3 ../shared/bench/gen_data.py "$data" >/dev/null
[ -f "$mf/mf100_jll.dcm" ] || dcmcjpeg +e1 "$mf/mf100.dcm" "$mf/mf100_jll.dcm"
command -v "$viewer" >/dev/null || { echo "missing: $viewer" >&2; exit 1; }

scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
export XDG_CONFIG_HOME="$scratch/config" QT_QPA_PLATFORM=offscreen

# The median of RUNS peaks (kB) of the viewer on the given arguments.
peak() {
  local i
  for ((i = 0; i < runs; i++)); do
    /usr/bin/time -f %M "$viewer" --quit-after-paint "$@" 2>&1 >/dev/null | tail -n 1
  done | sort -n | awk '{ v[NR] = $1 } END { print v[int((NR + 1) / 2)] }'
}

empty=$(peak)
decoded=$((100 * 512 * 512 * 2 / 1024))
printf '%-16s %10s %10s %10s\n' file "peak kB" "budget kB" "file kB"
printf '%-16s %10s\n' "(no file)" "$empty"
for name in mf100.dcm mf100_jll.dcm; do
  size=$(($(stat -c %s "$mf/$name") / 1024))
  budget=$(awk -v e="$empty" -v d="$decoded" -v f="$size" 'BEGIN { printf "%d", e + 1.3 * (d + f) }')
  printf '%-16s %10s %10s %10s\n' "$name" "$(peak "$mf/$name")" "$budget" "$size"
done
