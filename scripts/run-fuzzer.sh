#!/usr/bin/env bash
# run-fuzzer.sh FUZZER SECONDS WORKDIR [SEED_DIR]
# Runs a libFuzzer target for a fixed time from a fresh working corpus seeded
# with the regression inputs, so that every earlier crash is replayed first.
set -eu
fuzzer=$1; seconds=$2; work=$3; seeds=${4:-}
rm -rf "$work"; mkdir -p "$work"
if [ -n "$seeds" ] && [ -d "$seeds" ]; then
  cp -r "$seeds"/. "$work"/ 2>/dev/null || true
fi
exec "$fuzzer" -max_total_time="$seconds" -timeout=10 -rss_limit_mb=2048 -print_final_stats=1 \
     -artifact_prefix="$work/../" "$work"
