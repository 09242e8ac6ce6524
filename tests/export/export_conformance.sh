#!/bin/sh
# tolan export of real files to TIFF, JPEG, BMP and raw; other programs must
# read every output, and the TIFF and BMP pixels must equal our raw export.
# Usage: export_conformance.sh TOLAN TESTDATA_DIR
set -u
tolan=$1
data=$2
for tool in tiffinfo identify convert djpeg xmllint unrtf ffprobe; do
    command -v "$tool" >/dev/null 2>&1 || { echo "SKIP: $tool is not installed"; exit 77; }
done
[ -f "$data/MANIFEST.tsv" ] || { echo "SKIP: no test data in $data"; exit 77; }

work=$(mktemp -d "${TMPDIR:-/tmp}/tv-export-conf-$$-XXXXXX") || exit 1
trap 'rm -rf "$work"' EXIT
failures=0
fail() { echo "FAIL: $*"; failures=$((failures + 1)); }

# name, file: grey 8-bit, grey 16-bit signed, RGB, 16-bit multi-frame, RGB multi-frame.
set -- grey8 grey/ct-8bit-ile.dcm \
       grey16 syntax/ct1-ile.dcm \
       rgb colour/rgb-100x100.dcm \
       multi16 multiframe/emri-10f-ele.dcm \
       multirgb multiframe/rgb-8f-frametime-vector-ile.dcm
while [ $# -ge 2 ]; do
    name=$1 file=$data/$2
    shift 2
    [ -f "$file" ] || { echo "SKIP: $file is missing"; exit 77; }
    for format in raw tiff jpeg bmp; do
        ext=$format
        [ "$format" = tiff ] && ext=tif
        [ "$format" = jpeg ] && ext=jpg
        "$tolan" export "$file" --format "$format" --out "$work/$name.$ext" || fail "$name: tolan export --format $format"
    done
    for raw in "$work/$name".raw "$work/$name"_*.raw; do
        [ -f "$raw" ] || continue
        base=${raw%.raw}
        tif=$base.tif jpg=$base.jpg bmp=$base.bmp
        tiffinfo "$tif" >/dev/null 2>"$work/err" && [ ! -s "$work/err" ] || fail "$tif: tiffinfo: $(cat "$work/err")"
        size=$(identify -format '%w %h' "$tif") || { fail "$tif: identify"; continue; }
        width=${size% *} height=${size#* }
        bytes=$(wc -c <"$raw")
        if [ "$bytes" -eq $((width * height)) ]; then kind=gray; else kind=rgb; fi
        [ "$bytes" -eq $((width * height)) ] || [ "$bytes" -eq $((width * height * 3)) ] \
            || fail "$raw: $bytes bytes for $width x $height"
        convert "$tif" -depth 8 "$kind:$work/tif.px" && cmp -s "$work/tif.px" "$raw" || fail "$tif: pixels differ from $raw"
        convert "$bmp" -depth 8 "$kind:$work/bmp.px" && cmp -s "$work/bmp.px" "$raw" || fail "$bmp: pixels differ from $raw"
        convert -size "${width}x$height" -depth 8 "$kind:$raw" "$work/raw.png" || fail "$raw: ImageMagick cannot read it"
        djpeg -outfile "$work/jpg.pnm" "$jpg" || fail "$jpg: djpeg"
        [ "$(identify -format '%w %h' "$work/jpg.pnm")" = "$width $height" ] || fail "$jpg: not $width x $height"
    done
done
# Several frames give one file a frame, numbered from 1.
[ -f "$work/multi16_0001.tif" ] && [ -f "$work/multi16_0010.tif" ] && [ ! -e "$work/multi16_0011.tif" ] \
    || fail "multi16: not frames _0001 to _0010"
# The page and the report of a multi-frame file: one picture a frame, a page
# xmllint parses and a report unrtf reads with its header values.
"$tolan" export "$data/multiframe/emri-10f-ele.dcm" --format html --out "$work/page.html" \
    && xmllint --html --noout "$work/page.html" && [ -f "$work/page_files/0010.jpg" ] || fail "html: page or pictures"
"$tolan" export "$data/multiframe/emri-10f-ele.dcm" --format rtf --frames 1-2 --out "$work/report.rtf" \
    && (cd "$work" && unrtf --text report.rtf 2>/dev/null) | grep -q "Rows" || fail "rtf: no header rows"
# Movies ffprobe reads with every frame, uncompressed and Motion-JPEG.
for codec in "" --mjpeg; do
    "$tolan" export "$data/multiframe/emri-10f-ele.dcm" --format avi $codec --out "$work/movie.avi" \
        && [ "$(ffprobe -v error -count_frames -show_entries stream=nb_read_frames,width,height,r_frame_rate \
                -of csv=p=0 "$work/movie.avi")" = "64,64,15/1,10" ] || fail "avi $codec: not 10 frames of 64 x 64"
done
# No temporary file is left in the target folder.
leftovers=$(find "$work" -name '.*' -type f | wc -l)
[ "$leftovers" -eq 0 ] || fail "$leftovers temporary files left"
[ "$failures" -eq 0 ] || { echo "$failures failures"; exit 1; }
echo "all outputs read by libtiff, libjpeg, ImageMagick, xmllint, unrtf and ffprobe"
