#!/usr/bin/env bash
# Start-up of the viewer on an X server until a 512 x 512 CT file's first
# frame is painted, and the viewer started without a file:
#   hyperfine 'tolan-viewer --quit-after-paint CT512.dcm'
#
#   bench/launch.sh [DATA_DIR]
#
# DATA_DIR holds the output of ../shared/bench/gen_data.py (default
# /tmp/benchdata; made when missing); the first file of its series/ stands
# for CT512.dcm. VIEWER names the viewer binary (default
# build/release/app/tolan-viewer, built when missing: an optimised build
# without sanitizers). One Xvfb on the first free display from :99 serves
# every run, so its own start-up is not timed; the settings go to a scratch
# folder. Prints hyperfine's medians of RUNS runs (default 30).
set -euo pipefail
cd "$(dirname "$0")/.."
source scripts/deps.sh
# shellcheck disable=SC2086
tv_ensure_packages $TV_BUILD_PACKAGES $TV_BENCH_PACKAGES
data=${1:-/tmp/benchdata}
runs=${RUNS:-30}
viewer=${VIEWER:-}
if [ -z "$viewer" ]; then
  cmake -S . -B build/release -DCMAKE_BUILD_TYPE=Release >/dev/null
  cmake --build build/release --target tolan-viewer -j "$(nproc)" >/dev/null
  viewer=build/release/app/tolan-viewer
fi
series="$data/series"
[ -d "$series" ] || /usr/bin/python3 ../shared/bench/gen_data.py "$data" >/dev/null
file=$(find "$series" -maxdepth 1 -type f -name '*.dcm' | sort | sed -n 1p)
[ -n "$file" ] || { echo "no .dcm file in $series" >&2; exit 1; }

scratch=$(mktemp -d)
display=99
while [ -e "/tmp/.X$display-lock" ] || [ -e "/tmp/.X11-unix/X$display" ]; do
  display=$((display + 1))
done
Xvfb ":$display" -screen 0 1280x1024x24 -nolisten tcp >"$scratch/xvfb.log" 2>&1 &
xvfb=$!
trap 'kill "$xvfb" 2>/dev/null; wait "$xvfb" 2>/dev/null; rm -rf "$scratch"' EXIT
for ((i = 0; i < 100; i++)); do
  [ -e "/tmp/.X11-unix/X$display" ] && break
  kill -0 "$xvfb" 2>/dev/null || { cat "$scratch/xvfb.log" >&2; exit 1; }
  sleep 0.05
done
mkdir -m 700 "$scratch/runtime"
export DISPLAY=":$display" QT_QPA_PLATFORM=xcb XDG_CONFIG_HOME="$scratch/config" XDG_RUNTIME_DIR="$scratch/runtime"

echo "file: $file, X server :$display"
hyperfine --shell=none --warmup 3 --runs "$runs" --export-json "$scratch/results.json" \
  -n "open+paint" "$viewer --quit-after-paint $file" \
  -n "no file" "$viewer --quit-after-paint" >/dev/null
python3 - "$scratch/results.json" <<'PY'
import json, sys
for r in json.load(open(sys.argv[1]))["results"]:
    # On a shared machine the wall time waits for other work; the CPU time
    # the viewer used itself says more about its own cost.
    cpu = (r['user'] + r['system']) * 1000
    print(f"{r['command']:<12} median {r['median'] * 1000:7.1f} ms  (min {r['min'] * 1000:.1f}, "
          f"user+sys mean {cpu:.1f} ms, {len(r['times'])} runs)")
print("target: open+paint 50 ms or less")
PY
