#!/usr/bin/env bash
# Builds the viewer (Release) and starts it with the given files.
set -euo pipefail
cd "$(dirname "$0")"
source scripts/deps.sh
# shellcheck disable=SC2086
tv_ensure_packages $TV_BUILD_PACKAGES

jobs=$(nproc 2>/dev/null || echo 2)
cmake -S . -B build/release -DCMAKE_BUILD_TYPE=Release >/dev/null
cmake --build build/release --target tolan-viewer tolan -j "$jobs"

if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ] && [ -z "${QT_QPA_PLATFORM:-}" ]; then
  echo "run.sh: no display (DISPLAY and WAYLAND_DISPLAY are unset); built build/release/app/tolan-viewer" >&2
  exit 1
fi
exec build/release/app/tolan-viewer "$@"
