# Sourced by the scripts that time the viewer through viewer-steps: runs from
# the repository root, installs what they need, and builds an optimised
# viewer-steps without sanitizers unless STEPS names one. Sets data (first
# argument, default /tmp/benchdata, made when missing), runs (RUNS, default
# bench_default_runs) and steps, and points the viewer's settings and
# runtime folders into a scratch folder removed on exit, on Qt's offscreen
# platform. median reads numbers, one a line, and prints their median.
set -euo pipefail
cd "$(dirname "${BASH_SOURCE[0]}")/.."
source scripts/deps.sh
# shellcheck disable=SC2086
tv_ensure_packages $TV_BUILD_PACKAGES $TV_BENCH_PACKAGES

data=${1:-/tmp/benchdata}
runs=${RUNS:-$bench_default_runs}
steps=${STEPS:-}
if [ -z "$steps" ]; then
  cmake -S . -B build/release -DCMAKE_BUILD_TYPE=Release -DTV_BUILD_BENCHMARKS=ON >/dev/null
  cmake --build build/release --target viewer-steps -j "$(nproc)" >/dev/null
  steps=build/release/bench/viewer-steps
fi
if [ ! -d "$data/series" ] || [ ! -f "$data/mf/mf100.dcm" ]; then
  /usr/bin/python3 ../shared/bench/gen_data.py "$data" >/dev/null
fi

scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
mkdir -m 700 "$scratch/runtime"
export XDG_RUNTIME_DIR="$scratch/runtime" XDG_CONFIG_HOME="$scratch/config" QT_QPA_PLATFORM=offscreen

median() { sort -n | awk '{ v[NR] = $1 } END { print v[int((NR + 1) / 2)] }'; }
