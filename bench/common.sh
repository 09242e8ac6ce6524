# Sourced by the side-by-side scripts: runs from the repository root, installs
# the peers, and times a Release build of tolan unless TOLAN names a binary.
# Sets data (first argument, default /tmp/benchdata), tolan and runs.
set -euo pipefail
cd "$(dirname "${BASH_SOURCE[0]}")/.."
source scripts/deps.sh
# shellcheck disable=SC2086
tv_ensure_packages $TV_BUILD_PACKAGES $TV_BENCH_PACKAGES

data=${1:-/tmp/benchdata}
runs=${RUNS:-$bench_default_runs}
tolan=${TOLAN:-}
if [ -z "$tolan" ]; then
  # Optimised and without sanitizers: the test build would time ASan.
  cmake -S . -B build/release -DCMAKE_BUILD_TYPE=Release >/dev/null
  cmake --build build/release --target tolan -j "$(nproc)" >/dev/null
  tolan=build/release/cli/tolan
fi

# The standard inputs, made once.
if [ ! -d "$data/series" ] || [ ! -f "$data/mf/mf100.dcm" ]; then
  /usr/bin/python3 ../shared/bench/gen_data.py "$data" >/dev/null
fi

bench_require() {
  local tool
  for tool in "$@"; do
    command -v "$tool" >/dev/null || { echo "missing: $tool" >&2; exit 1; }
  done
}

# Sets work, an empty folder for the tools' outputs, and json, hyperfine's
# export; both go at exit. The folder is on tmpfs when there is one, and each
# run writes into an empty place: replacing last run's files on ext4 makes it
# flush them to disk first (auto_da_alloc), which would time the disk, not the
# decoder.
bench_workspace() {
  local base=/dev/shm
  [ -d "$base" ] && [ -w "$base" ] || base=${TMPDIR:-/tmp}
  work=$(mktemp -d "$base/tv-bench-XXXXXX")
  json=$(mktemp --suffix=.json)
  trap 'rm -rf "$work" "$json"' EXIT
}
