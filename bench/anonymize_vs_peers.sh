#!/usr/bin/env bash
# Anonymized copies of a folder of 300 CT files, side by side in one run, each
# program erasing the same 36 elements:
#   tolan anonymize --out OUT DIR                 (values overwritten in place, same size)
#   gdcmanon --dumb --clear g,e ... -r -i DIR -o OUT
#   dcmodify -nb -imt -ma "(g,e)=" ...  on a fresh copy (it edits files in place)
#
#   bench/anonymize_vs_peers.sh [DATA_DIR]
#
# DATA_DIR holds the output of ../shared/bench/gen_data.py (default
# /tmp/benchdata; made when missing). TOLAN names the tolan binary to time
# (default: build/release/cli/tolan, built first). Prints the medians and the
# ratios against tolan. The copy dcmodify needs is made in --prepare, untimed.
bench_default_runs=10
source "$(dirname "$0")/common.sh"
series="$data/series"
bench_require hyperfine gdcmanon dcmodify "$tolan"

# The tags of the 36 anonymizing switches.
tags="0010,0010 0010,1005 0010,1060 0010,1001 0010,1040 0010,2154 0010,0040 0010,1010 0010,1020 0010,1030
0010,0030 0010,0032 0010,0020 0010,1000 0020,0010 0008,1030 0008,0050 0008,1080 0018,1030 0008,0090
0008,1048 0008,1060 0008,1050 0008,1070 0010,2160 0010,4000 0010,2180 0010,21b0 0008,0080 0008,0081
0008,1040 0008,1010 0018,1000 0008,103e 0008,2111 0020,4000"
gdcm_args="" dcmodify_args=""
for tag in $tags; do
  gdcm_args+=" --clear $tag"
  dcmodify_args+=" -ma '($tag)='"
done

work=$(mktemp -d)
json="$work/result.json"
trap 'rm -rf "$work"' EXIT
hyperfine --warmup 2 --runs "$runs" --export-json "$json" \
  -n "tolan anonymize" --prepare "rm -rf $work/t && mkdir $work/t" "$tolan anonymize --out $work/t $series" \
  -n "gdcmanon --dumb" --prepare "rm -rf $work/g && mkdir $work/g" \
     "gdcmanon --dumb --continue $gdcm_args -r -i $series -o $work/g" \
  -n "dcmodify" --prepare "rm -rf $work/d && cp -r $series $work/d" \
     "dcmodify -q -nb -imt $dcmodify_args $work/d/*" >/dev/null

python3 bench/ratio_table.py "$json" "tolan anonymize" tolan
