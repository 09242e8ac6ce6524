#!/usr/bin/env bash
# Fails when a source file of the widget shell (app/, view/) passes 500 lines:
# the shell is organised by feature, and a file that long holds a feature that
# wants a file of its own.
set -u
root=${1:-.}
limit=${2:-500}
cd "$root" || exit 2
long=$(find app view -type f \( -name '*.cpp' -o -name '*.h' \) -exec wc -l {} + 2>/dev/null \
       | awk -v limit="$limit" '$2 != "total" && $1 > limit { print "  " $2 ": " $1 " lines" }')
if [ -n "$long" ]; then
  echo "shell files over $limit lines (split them by feature):"
  echo "$long"
  exit 1
fi
echo "every shell file is at most $limit lines"
