#!/usr/bin/env bash
# Renders one hour of the default sound at 48 kHz to a 32-bit float stereo
# WAV with the Windows selvarin-render.exe under Wine and with the Linux
# selvarin-render, then both again with the output discarded (NUL and
# /dev/null: the engine and the host loop alone). Prints the times and the
# ratios Wine / Linux; where the written ratio is far above the discarded
# one, Wine's file writing is what costs.
#
#   bench/render_wine_vs_linux.sh [linux-build-dir] [output-dir]
#
# The Linux build directory defaults to build-bench; the Windows renderer is
# build-win/build/tools/selvarin-render.exe (scripts/build-windows builds it
# when it is missing). The output directory defaults to a fresh temporary
# one, deleted at the end (two files of about 1.4 GB).
set -euo pipefail
cd "$(dirname "$0")/.."
ROOT=$PWD
WIN_OUT=${SELVARIN_WIN_BUILD:-$ROOT/build-win}
. bench/render_common.sh
bench_setup "${1:-build-bench}" "${2:-}"
exe=$WIN_OUT/build/tools/selvarin-render.exe
[ -f "$exe" ] || scripts/build-windows </dev/null >/dev/null

. scripts/lib/wine-session.sh
# The Wine server stays up between runs, as it does on a desktop: its start
# is not part of a render.
trap 'wine_stop; rm -f "$stats"; [ -n "$bench_cleanup" ] && rm -rf "$bench_cleanup"' EXIT
wine_start

# Prints "wall-seconds" of a command.
measure() {
  /usr/bin/time -f "%e" -o "$stats" "$@" </dev/null >/dev/null 2>&1
  cat "$stats"
}

args=(-d 3600 -r 48000 -b 32 --no-progress)
# The same name in two folders: the same title tag, so the same bytes.
mkdir -p "$outdir/wine" "$outdir/linux"
wine_file="" linux_file="" wine_null="" linux_null=""
# Alternating rounds, each side keeping its faster run, so that neither
# pays alone for a cold page cache.
for round in 1 2 3; do
  t=$(measure wine "$exe" -o "$outdir/wine/hour.wav" "${args[@]}")
  echo "round $round: Wine  to a file ${t} s"
  wine_file=$(bench_min "$t" "$wine_file")
  t=$(measure "$render" -o "$outdir/linux/hour.wav" "${args[@]}")
  echo "round $round: Linux to a file ${t} s"
  linux_file=$(bench_min "$t" "$linux_file")
  t=$(measure wine "$exe" -o NUL "${args[@]}")
  echo "round $round: Wine  to NUL ${t} s"
  wine_null=$(bench_min "$t" "$wine_null")
  t=$(measure "$render" -o /dev/null "${args[@]}")
  echo "round $round: Linux to /dev/null ${t} s"
  linux_null=$(bench_min "$t" "$linux_null")
done

cmp -s "$outdir/wine/hour.wav" "$outdir/linux/hour.wav" && same="the same bytes" || same="different bytes"
echo
echo "one hour, 32-bit float WAV: $(stat -c %s "$outdir/wine/hour.wav") bytes from Wine, $same as from Linux"
awk -v wf="$wine_file" -v lf="$linux_file" -v wn="$wine_null" -v ln="$linux_null" 'BEGIN {
  printf "written:   Wine %.2f s, Linux %.2f s: Wine / Linux %.2f\n", wf, lf, wf / lf
  printf "discarded: Wine %.2f s, Linux %.2f s: Wine / Linux %.2f\n", wn, ln, wn / ln
  printf "writing the file: Wine %.2f s, Linux %.2f s of the times above\n", wf - wn, lf - ln
}'
