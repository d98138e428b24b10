#!/usr/bin/env bash
# What the output side of selvarin-render costs: one hour of the default
# sound at 48 kHz written as 32-bit float WAV with and without the PEAK
# chunk, 24-bit FLAC at compression levels 0, 5 (the default) and 8, and
# Ogg Vorbis, Opus and MP3; and the render with its output discarded.
# Prints wall and CPU time (best of two runs) and the file size of each.
#
#   bench/writer_formats.sh [build-dir] [output-dir] [seconds]
set -euo pipefail
cd "$(dirname "$0")/.."
. bench/render_common.sh
bench_setup "${1:-build-bench}" "${2:-}"
length=${3:-3600}

printf "%-28s %9s %9s %14s\n" "output" "wall s" "cpu s" "bytes"
measure() {
  local label=$1 file=$2
  shift 2
  local best_w="" best_c=""
  for round in 1 2; do
    /usr/bin/time -f "%e %U %S" -o "$stats" "$render" -d "$length" --no-progress -o "$file" "$@" >/dev/null
    read -r w u s <"$stats"
    c=$(awk -v u="$u" -v s="$s" 'BEGIN { print u + s }')
    best_w=$(bench_min "$w" "$best_w")
    best_c=$(bench_min "$c" "$best_c")
  done
  local size="-"
  [ -f "$file" ] && size=$(stat -c %s "$file") && rm -f "$file"
  printf "%-28s %9.2f %9.2f %14s\n" "$label" "$best_w" "$best_c" "$size"
}

measure "discarded (/dev/null)" /dev/null -b 32
measure "WAV float" "$outdir/a.wav" -b 32
measure "WAV float + PEAK chunk" "$outdir/a.wav" -b 32 --peak-chunk
measure "WAV 24-bit" "$outdir/a.wav" -b 24
measure "FLAC 24-bit level 0" "$outdir/a.flac" -b 24 --flac-level 0
measure "FLAC 24-bit level 5" "$outdir/a.flac" -b 24 --flac-level 5
measure "FLAC 24-bit level 8" "$outdir/a.flac" -b 24 --flac-level 8
measure "Ogg Vorbis (default)" "$outdir/a.ogg"
measure "Opus (default)" "$outdir/a.opus"
measure "MP3 (default)" "$outdir/a.mp3"
