#!/usr/bin/env bash
# Renders a 30-minute session with three ramps (the beat, the carrier
# exponentially, the volume) at 48 kHz to a 32-bit float stereo WAV with
# selvarin-render, and the same length of two sines (200 Hz left, 204 Hz
# right) with sox. Prints both wall times and the ratio (target:
# selvarin-render at least 3 x faster than sox), then what MP3 encoding
# costs on top, and the render with its output discarded (/dev/null).
#
#   bench/session_vs_sox.sh [build-dir] [output-dir]
#
# The build directory defaults to build-bench; the output directory to a
# fresh temporary one, deleted at the end (each WAV is about 690 MB).
set -euo pipefail
cd "$(dirname "$0")/.."
. bench/render_common.sh
bench_setup "${1:-build-bench}" "${2:-}"

session="$outdir/bench.session"
cat >"$session" <<'SESSION'
0:00        Fade = 1
0:00-20:00  Binaural -> 2.5
5:00-25:00  Base Freq ->~ 120
25:00-30:00 Volume -> 60
length 30:00
SESSION

# Runs a command under GNU time; prints its wall and CPU (user + system)
# seconds. On a machine shared with other work the CPU times compare more
# fairly; on an idle one the wall times count (the writer thread overlaps).
seconds() {
  /usr/bin/time -f "%e %U %S" -o "$stats" "$@" >/dev/null
  awk '{ print $1, $2 + $3 }' "$stats"
}

# Each side runs twice, alternating, and keeps its faster run.
best_sel="" best_sox="" best_null="" cpu_sel="" cpu_sox="" cpu_null=""
for round in 1 2; do
  read -r t c < <(seconds "$render" --session "$session" -o "$outdir/selvarin.wav" -b 32 --no-progress)
  echo "round $round: selvarin-render session   ${t} s (cpu ${c} s)"
  best_sel=$(bench_min "$t" "$best_sel")
  cpu_sel=$(bench_min "$c" "$cpu_sel")
  read -r t c < <(seconds sox -n -r 48000 -b 32 -e floating-point -c 2 "$outdir/sox.wav" synth 1800 sine 200 sine 204)
  echo "round $round: sox two sines             ${t} s (cpu ${c} s)"
  best_sox=$(bench_min "$t" "$best_sox")
  cpu_sox=$(bench_min "$c" "$cpu_sox")
  read -r t c < <(seconds "$render" --session "$session" -o /dev/null -b 32 --no-progress)
  echo "round $round: selvarin-render /dev/null ${t} s (cpu ${c} s)"
  best_null=$(bench_min "$t" "$best_null")
  cpu_null=$(bench_min "$c" "$cpu_null")
done
read -r t_mp3 c_mp3 < <(seconds "$render" --session "$session" -o "$outdir/selvarin.mp3" --no-progress)
echo "selvarin-render session to MP3: ${t_mp3} s (cpu ${c_mp3} s)"

echo
awk -v s="$best_sel" -v x="$best_sox" -v n="$best_null" -v m="$t_mp3" \
    -v cs="$cpu_sel" -v cx="$cpu_sox" -v cn="$cpu_null" -v cm="$c_mp3" 'BEGIN {
  printf "selvarin-render (WAV): %.2f s; sox: %.2f s; with the output discarded: %.2f s\n", s, x, n
  printf "ratio (sox time / selvarin-render time): %.2f x (target >= 3 x): %s\n", x / s, (x / s >= 3 ? "met" : "NOT met")
  printf "ratio with the output discarded: %.2f x\n", x / n
  printf "CPU time ratios: %.2f x with the WAV written, %.2f x discarded\n", cx / cs, cx / cn
  printf "MP3 encoding: %.2f s in all (cpu %.2f s), %.2f s more than the WAV render (cpu %.2f s more)\n", m, cm, m - s, cm - cs
}'
