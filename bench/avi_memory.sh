#!/usr/bin/env bash
# Peak memory of an AVI export of the 100-frame 512 x 512 16-bit file against
# the same tool exporting one frame of it: the movie is streamed to disk as
# its frames are rendered, so it may cost at most two frames' worth (2 x 512 KiB
# of 16-bit samples) above holding the document, not the 25 MiB of the movie.
#
#   bench/avi_memory.sh [DATA_DIR]
#
# Prints the median peak resident size of each over RUNS runs (default 5),
# from /usr/bin/time, and the difference.
bench_default_runs=5
source "$(dirname "$0")/common.sh"
file="$data/mf/mf100.dcm"
bench_require /usr/bin/time "$tolan"
bench_workspace

peak() { /usr/bin/time -f %M "$@" 2>&1 >/dev/null | tail -1; }
median() { sort -n | awk '{ v[NR] = $1 } END { print v[int((NR + 1) / 2)] }'; }
one=() movie=()
for _ in $(seq "$runs"); do
  one+=("$(peak "$tolan" export "$file" --format raw --frames 1 --out "$work/one.raw")")
  movie+=("$(peak "$tolan" export "$file" --format avi --out "$work/movie.avi")")
done
frames=$(ffprobe -v error -count_frames -show_entries stream=nb_read_frames -of csv=p=0 "$work/movie.avi" 2>/dev/null || echo "?")
one_kib=$(printf '%s\n' "${one[@]}" | median)
movie_kib=$(printf '%s\n' "${movie[@]}" | median)
echo "one frame exported:  ${one_kib} KiB peak (median of $runs)"
echo "100-frame movie:     ${movie_kib} KiB peak ($frames frames, $(($(stat -c %s "$work/movie.avi") / 1024)) KiB on disk)"
echo "difference:          $((movie_kib - one_kib)) KiB (two frames: 1024 KiB)"
