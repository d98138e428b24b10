#!/usr/bin/env bash
# Renders one hour of Selvarin's default preset at 48 kHz to a 32-bit float
# stereo WAV with selvarin-render, and makes the same file with sox's sine
# synthesiser (200 Hz left, 204 Hz right). Prints both wall times, the
# speed ratio (target: selvarin-render at least 2.5 x faster than sox) and
# selvarin-render's peak memory (target: under 20 MB).
#
#   bench/render_vs_sox.sh [build-dir] [output-dir]
#
# The build directory defaults to build-bench; the output directory to a
# fresh temporary one, deleted at the end (each file is about 1.4 GB).
set -euo pipefail
cd "$(dirname "$0")/.."
build=${1:-build-bench}
outdir=${2:-}

need=()
command -v sox >/dev/null || need+=(sox)
[ -x /usr/bin/time ] || need+=(time)
if [ ${#need[@]} -gt 0 ]; then
  SUDO=""
  [ "$(id -u)" -ne 0 ] && SUDO="sudo"
  export DEBIAN_FRONTEND=noninteractive
  $SUDO apt-get update -qq
  $SUDO apt-get install -y -qq --no-install-recommends "${need[@]}"
fi

cmake -S . -B "$build" -DCMAKE_BUILD_TYPE=Release >/dev/null
cmake --build "$build" --target selvarin-render -j"$(nproc)" >/dev/null

cleanup=""
if [ -z "$outdir" ]; then
  outdir=$(mktemp -d)
  cleanup=$outdir
fi
mkdir -p "$outdir"
stats=$(mktemp)
trap 'rm -f "$stats"; [ -n "$cleanup" ] && rm -rf "$cleanup"' EXIT

# Runs a command under GNU time; prints "seconds peak-kB".
measure() {
  /usr/bin/time -f "%e %M" -o "$stats" "$@" >/dev/null
  cat "$stats"
}

# Each side runs twice, alternating, and keeps its faster run, so that
# neither pays alone for a cold page cache.
best_sel="" best_sox="" mem_sel=0 mem_sox=0
for round in 1 2; do
  read -r t m < <(measure "$build/tools/selvarin-render" -o "$outdir/selvarin.wav" -d 3600 -r 48000 -b 32 --no-progress)
  echo "round $round: selvarin-render ${t} s, ${m} kB peak"
  if [ -z "$best_sel" ] || awk -v a="$t" -v b="$best_sel" 'BEGIN{exit !(a<b)}'; then best_sel=$t; fi
  [ "$m" -gt "$mem_sel" ] && mem_sel=$m
  read -r t m < <(measure sox -n -r 48000 -b 32 -e floating-point -c 2 "$outdir/sox.wav" synth 3600 sine 200 sine 204)
  echo "round $round: sox            ${t} s, ${m} kB peak"
  if [ -z "$best_sox" ] || awk -v a="$t" -v b="$best_sox" 'BEGIN{exit !(a<b)}'; then best_sox=$t; fi
  [ "$m" -gt "$mem_sox" ] && mem_sox=$m
done

size_sel=$(stat -c %s "$outdir/selvarin.wav")
size_sox=$(stat -c %s "$outdir/sox.wav")
echo
echo "files: selvarin-render ${size_sel} bytes, sox ${size_sox} bytes"
awk -v s="$best_sel" -v x="$best_sox" -v ms="$mem_sel" -v mx="$mem_sox" 'BEGIN {
  printf "selvarin-render: %.2f s, peak memory %.1f MB\n", s, ms / 1024
  printf "sox:             %.2f s, peak memory %.1f MB\n", x, mx / 1024
  printf "ratio (sox time / selvarin-render time): %.2f x (target >= 2.5 x)\n", x / s
  printf "selvarin-render peak memory target < 20 MB: %s\n", (ms / 1024 < 20 ? "met" : "NOT met")
  printf "speed target: %s\n", (x / s >= 2.5 ? "met" : "NOT met")
}'
