#!/usr/bin/env bash
# Opening a 512 x 512 single-frame CT file in the viewer until its frame is
# painted, side by side in one run with DCMTK converting the same file to a PNM:
#   tolan-viewer --quit-after-paint FILE   vs   dcmj2pnm FILE OUT.pnm
#
#   bench/open_vs_dcmj2pnm.sh [DATA_DIR]
#
# DATA_DIR holds the output of ../shared/bench/gen_data.py (default
# /tmp/benchdata; made when missing); the first file of its series/ is used.
# VIEWER names the viewer binary (default build/release/app/tolan-viewer); time
# an optimised build without sanitizers. The viewer draws on an X server of
# xvfb-run unless DISPLAY is set or QT_QPA_PLATFORM names another platform
# (offscreen). Settings go to a scratch folder. The viewer started without a
# file shows what the windowing system and the shell cost by themselves.
# Prints the medians and the ratios against the viewer.
set -euo pipefail
cd "$(dirname "$0")/.."
source scripts/deps.sh
# shellcheck disable=SC2086
tv_ensure_packages $TV_BUILD_PACKAGES $TV_BENCH_PACKAGES
data=${1:-/tmp/benchdata}
viewer=${VIEWER:-build/release/app/tolan-viewer}
runs=${RUNS:-20}
series="$data/series"

if [ -z "${DISPLAY:-}" ] && [ -z "${QT_QPA_PLATFORM:-}" ]; then
  command -v xvfb-run >/dev/null || { echo "missing: xvfb-run (or set QT_QPA_PLATFORM=offscreen)" >&2; exit 1; }
  # One X server for the whole run, so its start-up is not timed.
  exec xvfb-run -a -s "-screen 0 1280x1024x24" "$0" "$@"
fi

if [ ! -d "$series" ]; then
  python3 ../shared/bench/gen_data.py "$data"
fi
for tool in hyperfine dcmj2pnm "$viewer"; do
  command -v "$tool" >/dev/null || { echo "missing: $tool" >&2; exit 1; }
done
file=$(find "$series" -maxdepth 1 -type f -name '*.dcm' | sort | sed -n 1p)
[ -n "$file" ] || { echo "no .dcm file in $series" >&2; exit 1; }

scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
export XDG_CONFIG_HOME="$scratch/config"
json="$scratch/results.json"
echo "file: $file ($(stat -c %s "$file") bytes), platform: ${QT_QPA_PLATFORM:-xcb on $DISPLAY}"
hyperfine --warmup 3 --runs "$runs" --export-json "$json" \
  -n "tolan-viewer open+paint" "$viewer --quit-after-paint $file" \
  -n "tolan-viewer, no file" "$viewer --quit-after-paint" \
  -n "dcmj2pnm to PNM" "dcmj2pnm $file $scratch/out.pnm" >/dev/null

python3 bench/ratio_table.py "$json" "tolan-viewer open+paint" viewer
