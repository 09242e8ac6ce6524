#!/usr/bin/env bash
# check-generated.sh SOURCE_DIR DICTIONARY_DIR WORK_DIR
# Fails when the committed dictionary tables (dicom/TagTable.inc, UidTable.inc),
# tag constants (dicom/Tags.h) or Basic Profile table (dicom/BasicProfileTable.inc)
# differ from what the generator makes of the dictionary data now. Exits 77 (skipped) when the data are not there.
set -eu
src=$1; dict=$2; work=$3
if [ ! -f "$dict/tags.tsv" ] || [ ! -f "$dict/uids.tsv" ] || [ ! -f "$dict/ps315-table-e1-1.tsv" ]; then
  echo "no dictionary data in $dict: skipped"
  exit 77
fi
rm -rf "$work"; mkdir -p "$work"
python3 "$src/scripts/gen_dictionary.py" "$dict" "$work" >/dev/null
status=0
for file in TagTable.inc UidTable.inc Tags.h BasicProfileTable.inc; do
  if ! cmp -s "$work/$file" "$src/dicom/$file"; then
    echo "dicom/$file is stale: run scripts/gen_dictionary.py $dict" >&2
    status=1
  fi
done
exit $status
