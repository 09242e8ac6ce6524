#!/usr/bin/env bash
# Fails when a file of a core folder includes a Qt header: the core must build
# and run without Qt (the command-line tool and the fuzzers depend on it).
set -u
root=${1:-.}
cd "$root" || exit 2
hits=$(grep -rnE '^[[:space:]]*#[[:space:]]*include[[:space:]]*[<"]Q[A-Za-z]*(/|>|")' \
        --include='*.h' --include='*.hpp' --include='*.cpp' --include='*.cc' --include='*.inc' \
        base codecs dicom imaging view/model export net 2>/dev/null)
if [ -n "$hits" ]; then
  echo "Qt headers included from core folders:"
  echo "$hits"
  exit 1
fi
echo "core folders are free of Qt"
