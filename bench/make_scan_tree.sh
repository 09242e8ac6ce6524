#!/usr/bin/env bash
# Makes the folder `tolan scan` is timed on: the 300-file CT series of
# ../shared/bench/gen_data.py copied into ten study folders, each copy with
# its own Study and Series Instance UIDs (so ten series of 300 files, 3,000
# files in all).
#
#   bench/make_scan_tree.sh [DATA_DIR] [OUT_DIR]
#
# DATA_DIR holds gen_data.py's output (default /tmp/benchdata; made when
# missing); OUT_DIR defaults to DATA_DIR/scantree and is left as it is when it
# already holds 3,000 files.
set -euo pipefail
cd "$(dirname "${BASH_SOURCE[0]}")/.."
data=${1:-/tmp/benchdata}
out=${2:-$data/scantree}

if [ ! -d "$data/series" ]; then
  /usr/bin/python3 ../shared/bench/gen_data.py "$data" >/dev/null
fi
if [ -d "$out" ] && [ "$(find "$out" -type f | wc -l)" -eq 3000 ]; then
  exit 0
fi
rm -rf "$out"
mkdir -p "$out"
/usr/bin/python3 - "$data/series" "$out" <<'PY'
import os
import sys

import pydicom

source, out = sys.argv[1], sys.argv[2]
names = sorted(n for n in os.listdir(source) if n.endswith('.dcm'))
if len(names) != 300:
    sys.exit(f"expected 300 files in {source}, found {len(names)}")
for study in range(1, 11):
    folder = os.path.join(out, f"study{study:02d}")
    os.makedirs(folder)
    # Deterministic UIDs under the 2.25 root, one study and one series a folder.
    study_uid = f"2.25.{900000 + study}"
    series_uid = f"2.25.{900000 + study}.1"
    for name in names:
        ds = pydicom.dcmread(os.path.join(source, name))
        ds.StudyInstanceUID = study_uid
        ds.SeriesInstanceUID = series_uid
        ds.save_as(os.path.join(folder, name))
PY
echo "$out: $(find "$out" -type f | wc -l) files"
