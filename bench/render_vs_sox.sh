#!/usr/bin/env bash
# Renders one hour of Selvarin's default preset at 48 kHz to a 32-bit float
# stereo WAV with selvarin-render, and makes the same file with sox's sine
# synthesiser (200 Hz left, 204 Hz right); then renders the hour again with
# the output discarded (/dev/null: the engine and the host loop alone).
# Prints the times, the speed ratios (targets: at least 5 x faster than sox
# with the file written, 8 x with it discarded) and selvarin-render's peak
# memory (target: under 20 MB).
#
#   bench/render_vs_sox.sh [build-dir] [output-dir]
#
# The build directory defaults to build-bench; the output directory to a
# fresh temporary one, deleted at the end (each file is about 1.4 GB).
set -euo pipefail
cd "$(dirname "$0")/.."
. bench/render_common.sh
bench_setup "${1:-build-bench}" "${2:-}"

# Runs a command under GNU time; prints "wall-seconds cpu-seconds peak-kB".
measure() {
  /usr/bin/time -f "%e %U %S %M" -o "$stats" "$@" >/dev/null
  awk '{ print $1, $2 + $3, $4 }' "$stats"
}

# Each side runs twice, alternating, and keeps its faster run, so that
# neither pays alone for a cold page cache.
best_sel="" best_sox="" best_null="" cpu_sel="" cpu_sox="" cpu_null="" mem_sel=0 mem_sox=0
for round in 1 2; do
  read -r t c m < <(measure "$render" -o "$outdir/selvarin.wav" -d 3600 -r 48000 -b 32 --no-progress)
  echo "round $round: selvarin-render ${t} s (cpu ${c} s), ${m} kB peak"
  best_sel=$(bench_min "$t" "$best_sel"); cpu_sel=$(bench_min "$c" "$cpu_sel")
  [ "$m" -gt "$mem_sel" ] && mem_sel=$m
  read -r t c m < <(measure sox -n -r 48000 -b 32 -e floating-point -c 2 "$outdir/sox.wav" synth 3600 sine 200 sine 204)
  echo "round $round: sox             ${t} s (cpu ${c} s), ${m} kB peak"
  best_sox=$(bench_min "$t" "$best_sox"); cpu_sox=$(bench_min "$c" "$cpu_sox")
  [ "$m" -gt "$mem_sox" ] && mem_sox=$m
  read -r t c m < <(measure "$render" -o /dev/null -d 3600 -r 48000 -b 32 --no-progress)
  echo "round $round: selvarin-render to /dev/null ${t} s (cpu ${c} s)"
  best_null=$(bench_min "$t" "$best_null"); cpu_null=$(bench_min "$c" "$cpu_null")
done

size_sel=$(stat -c %s "$outdir/selvarin.wav")
size_sox=$(stat -c %s "$outdir/sox.wav")
echo
echo "files: selvarin-render ${size_sel} bytes, sox ${size_sox} bytes"
awk -v s="$best_sel" -v x="$best_sox" -v n="$best_null" -v cs="$cpu_sel" -v cx="$cpu_sox" -v cn="$cpu_null" \
    -v ms="$mem_sel" -v mx="$mem_sox" 'BEGIN {
  printf "selvarin-render: %.2f s, peak memory %.1f MB; discarded: %.2f s\n", s, ms / 1024, n
  printf "sox:             %.2f s, peak memory %.1f MB\n", x, mx / 1024
  printf "ratio with the file written (sox / selvarin-render): %.2f x (target >= 5 x): %s\n", x / s, (x / s >= 5 ? "met" : "NOT met")
  printf "ratio with the output discarded: %.2f x (target >= 8 x): %s\n", x / n, (x / n >= 8 ? "met" : "NOT met")
  printf "CPU time ratios: %.2f x written, %.2f x discarded\n", cx / cs, cx / cn
  printf "selvarin-render peak memory target < 20 MB: %s\n", (ms / 1024 < 20 ? "met" : "NOT met")
}'
