#!/usr/bin/env bash
# What an open editor costs while nothing changes (editor open, plug-in not
# processing, no input): CPU time over SECONDS (10) of the host's own loop.
#
#   bench/editor_idle.sh [SECONDS]            the X11 editor on a private Xvfb (build/)
#   bench/editor_idle.sh --windows [SECONDS]  the Win32 editor under Wine
#                                             (build-win/, after scripts/build-windows)
set -euo pipefail
cd "$(dirname "$0")/.."
ROOT=$PWD

if [ "${1:-}" != "--windows" ]; then
  cmake --build build -j2 --target selvarin_editor_idle >/dev/null
  exec build/bench/selvarin_editor_idle "${1:-10}"
fi
shift
WIN_OUT=${SELVARIN_WIN_BUILD:-$ROOT/build-win}
[ -f "$WIN_OUT/build/CMakeCache.txt" ] || { echo "run scripts/build-windows first" >&2; exit 1; }
# The Windows build has no Google Benchmark: only this program joins it.
cmake -DSELVARIN_BUILD_BENCH=ON "$WIN_OUT/build" >/dev/null
cmake --build "$WIN_OUT/build" -j2 --target selvarin_editor_idle >/dev/null
source scripts/lib/wine-session.sh
trap wine_stop EXIT
xvfb_start
wine_start
wine "$WIN_OUT/build/bench/selvarin_editor_idle.exe" "${1:-10}" </dev/null
