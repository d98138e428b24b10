#!/usr/bin/env bash
# How long selvarin-render takes to read and resolve a long session
# (--dry-run, the resolved timeline printed to /dev/null) of 30 k, 100 k,
# 259 k (a day at 3 lines per second) and 1 M lines spread over 24 hours:
# steps of five parameters (one with named values), a linear and an
# exponential ramp every ten lines, a preset change every 5000 lines.
# Prints the wall time of each (best of two runs); a run that takes longer
# than the limit (default 120 s) is stopped and shown as "> LIMIT".
# Target: a million lines in a few seconds.
#
#   bench/session_resolve.sh [build-dir] [limit-seconds]
#
# SELVARIN_RENDER=path/to/selvarin-render measures another build instead
# (it finds its bundle as usual, next to it in ../vst3).
set -euo pipefail
cd "$(dirname "$0")/.."
. bench/render_common.sh
bench_setup "${1:-build-bench}" ""
limit=${2:-120}
render=${SELVARIN_RENDER:-$render}

# n lines of session over 86000 s (ramps end before 24 hours).
make_session() {
  awk -v n="$1" 'BEGIN {
    print "title \"Resolution benchmark\""
    step = 86000 / n
    for (i = 0; i < n; i++) {
      t = i * step
      k = i % 10
      if (i % 5000 == 0) printf "%.4f preset %d\n", t, 1 + int(i / 5000) % 139
      else if (k == 1) printf "%.4f Binaural = %d\n", t, 1 + i % 20
      else if (k == 2) printf "%.4f-%.4f Volume -> %d\n", t, t + 8 * step, 40 + i % 50
      else if (k == 3) printf "%.4f Wave = %s\n", t, (i % 3 == 0 ? "Saw" : "Sine")
      else if (k == 4) printf "%.4f-%.4f Base Freq ->~ %d\n", t, t + 8 * step, 100 + i % 300
      else if (k == 5) printf "%.4f LFO1 Depth = %d\n", t, i % 100
      else if (k == 6) printf "%.4f Binaural Pan = %d\n", t, i % 100
      else if (k == 7) printf "%.4f Fade = %d\n", t, 1 + i % 500
      else printf "%.4f Binaural = %.2f\n", t, (i % 997) / 100
    }
    print "length 24:00:00"
  }'
}

printf "%-10s %10s\n" "lines" "wall s"
for n in 30000 100000 259200 1000000; do
  session="$outdir/bench-$n.session"
  make_session "$n" >"$session"
  best=""
  for round in 1 2; do
    code=0
    /usr/bin/time -f "%e" -o "$stats" timeout "$limit" "$render" --session "$session" --dry-run >/dev/null || code=$?
    if [ "$code" -eq 124 ]; then best="> $limit"; break; fi
    if [ "$code" -ne 0 ]; then echo "selvarin-render failed on $session (exit $code)"; exit 1; fi
    best=$(bench_min "$(tail -n 1 "$stats")" "$best")
  done
  printf "%-10s %10s\n" "$n" "$best"
  rm -f "$session"
done
