#!/usr/bin/env bash
# The cost of loudness to a target: one hour of Selvarin's default preset at
# 48 kHz, measured without writing (the measuring pass of --loudness, as
# --dry-run --report runs it: the engine and the meter), and rendered whole
# with --loudness -16 to a 32-bit float WAV (the measuring pass, then the
# writing pass with its gain, measured again). sox makes the same hour of
# two sines (200 Hz left, 204 Hz right) into a 32-bit float WAV.
# Prints the times and the ratios (targets: the measuring pass at least
# 8 x faster than sox, the whole two-pass render at least 3 x).
#
#   bench/loudness_vs_sox.sh [build-dir] [output-dir]
#
# The build directory defaults to build-bench; the output directory to a
# fresh temporary one, deleted at the end (each file is about 1.4 GB).
set -euo pipefail
cd "$(dirname "$0")/.."
. bench/render_common.sh
bench_setup "${1:-build-bench}" "${2:-}"

# Runs a command under GNU time; prints its wall and CPU (user + system)
# seconds. On a machine shared with other work the CPU times compare more
# fairly; on an idle one the wall times count (the meter and the writer run
# beside the engine).
seconds() {
  /usr/bin/time -f "%e %U %S" -o "$stats" "$@" >/dev/null 2>&1
  awk '{ print $1, $2 + $3 }' "$stats"
}

# Each side runs twice, alternating, and keeps its faster run, so that
# neither pays alone for a cold page cache.
best_sox="" best_measure="" best_two="" cpu_sox="" cpu_measure="" cpu_two=""
for round in 1 2; do
  read -r t c < <(seconds sox -n -r 48000 -b 32 -e floating-point -c 2 "$outdir/sox.wav" synth 3600 sine 200 sine 204)
  echo "round $round: sox                          ${t} s (cpu ${c} s)"
  best_sox=$(bench_min "$t" "$best_sox"); cpu_sox=$(bench_min "$c" "$cpu_sox")
  rm -f "$outdir/sox.wav"
  read -r t c < <(seconds "$render" --dry-run --report -d 3600 -r 48000 -b 32 --no-progress)
  echo "round $round: measuring pass               ${t} s (cpu ${c} s)"
  best_measure=$(bench_min "$t" "$best_measure"); cpu_measure=$(bench_min "$c" "$cpu_measure")
  read -r t c < <(seconds "$render" --loudness -16 -o "$outdir/selvarin.wav" -d 3600 -r 48000 -b 32 --no-progress)
  echo "round $round: --loudness -16, both passes  ${t} s (cpu ${c} s)"
  best_two=$(bench_min "$t" "$best_two"); cpu_two=$(bench_min "$c" "$cpu_two")
  rm -f "$outdir/selvarin.wav"
done

echo
awk -v x="$best_sox" -v m="$best_measure" -v w="$best_two" -v cx="$cpu_sox" -v cm="$cpu_measure" -v cw="$cpu_two" 'BEGIN {
  printf "sox: %.2f s; measuring pass: %.2f s; --loudness render: %.2f s\n", x, m, w
  printf "measuring pass (sox time / its time): %.2f x (target >= 8 x): %s\n", x / m, (x / m >= 8 ? "met" : "NOT met")
  printf "whole two-pass render: %.2f x (target >= 3 x): %s\n", x / w, (x / w >= 3 ? "met" : "NOT met")
  printf "CPU time ratios: %.2f x measuring, %.2f x two-pass\n", cx / cm, cx / cw
}'
