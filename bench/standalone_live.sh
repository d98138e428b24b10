#!/usr/bin/env bash
# Live figures of the desktop application (build/tools/selvarin) under a
# JACK server with its dummy driver at 48 kHz, 256-frame periods, on a
# private Xvfb, playing the default sound ("Play Anyway" on):
#   - start to the first audio callback (as the application measures it
#     from the start of main, over 5 starts; and what starting the program
#     itself costs, from `selvarin --version`)
#   - CPU (share of one core: user + system time of the whole process over
#     wall time) with the editor visible and idle, then minimised (the
#     window unmapped, as a window manager does); beside it, a bare
#     PortAudio client playing a sine (bench/portaudio_baseline.cpp), the
#     floor that the machine and the audio server set
#   - drop-outs (the callbacks PortAudio flags as late: JACK's xruns) over
#     a long run
#
#   bench/standalone_live.sh [BUILD-DIR (build)] [SECONDS of the drop-out run (600)] [SECONDS per CPU figure (30)]
#
# Needs jackd2, Xvfb, x11-utils (xwininfo) and python3 (to unmap the window
# through libX11, as a window manager minimising it would).
set -euo pipefail
cd "$(dirname "$0")/.."
build=${1:-build}
long=${2:-600}
span=${3:-30}
cmake -S . -B "$build" -DCMAKE_BUILD_TYPE=Release >/dev/null
cmake --build "$build" --target selvarin selvarin_portaudio_baseline -j"$(nproc)" >/dev/null
app=$PWD/$build/tools/selvarin
baseline=$PWD/$build/bench/selvarin_portaudio_baseline

work=$(mktemp -d)
pids=()
cleanup() {
  for p in "${pids[@]}"; do kill "$p" 2>/dev/null || true; done
  for p in "${pids[@]}"; do wait "$p" 2>/dev/null || true; done
  rm -rf "$work"
}
trap cleanup EXIT

exec 9>"$work/display"
Xvfb -displayfd 9 -screen 0 1280x800x24 -nolisten tcp </dev/null >/dev/null 2>&1 &
pids+=($!)
exec 9>&-
for _ in $(seq 100); do [ -s "$work/display" ] && break; sleep 0.1; done
display=":$(head -n1 "$work/display")"

# Real-time scheduling for the server and its clients' audio threads, as
# an audio set-up has it, where the machine allows it; otherwise without
# (then the dummy driver misses deadlines whenever the machine is busy).
server=selvarin-bench-$$
export JACK_DEFAULT_SERVER=$server JACK_NO_START_SERVER=1
mode=realtime
if chrt -f 10 true 2>/dev/null; then
  jackd -n "$server" -R -P 70 -d dummy -r 48000 -p 256 </dev/null >/dev/null 2>&1 &
else
  mode="no real-time scheduling"
  jackd -n "$server" --no-realtime -d dummy -r 48000 -p 256 </dev/null >/dev/null 2>&1 &
fi
pids+=($!)
timeout 15 jack_wait -w >/dev/null
echo "JACK dummy driver, 48000 Hz, 256 frames, $mode"

run_app() {  # run_app STDERR-FILE ARGS... ; sets app_pid
  DISPLAY=$display XDG_CONFIG_HOME=$work/config "$app" -v --device system --rate 48000 --buffer 256 "${@:2}" \
    </dev/null >/dev/null 2>"$1" &
  app_pid=$!
  pids+=("$app_pid")
}
wait_for() {  # wait_for FILE TEXT
  for _ in $(seq 200); do grep -q "$2" "$1" && return 0; sleep 0.05; done
  echo "no '$2' in $1:" >&2; cat "$1" >&2; return 1
}
stop_app() { kill -TERM "$app_pid"; wait "$app_pid" 2>/dev/null || true; }
cpu_ticks() { awk '{ print $14 + $15 }' "/proc/$1/stat"; }
cpu_share() {  # cpu_share PID SECONDS: percent of one core
  local t0 c0 t1 c1
  t0=$(date +%s.%N); c0=$(cpu_ticks "$1")
  sleep "$2"
  t1=$(date +%s.%N); c1=$(cpu_ticks "$1")
  awk -v c="$((c1 - c0))" -v hz="$(getconf CLK_TCK)" -v t0="$t0" -v t1="$t1" 'BEGIN { printf "%.2f", 100 * c / hz / (t1 - t0) }'
}

echo "== start to first audio callback (5 starts)"
starts=()
for i in 1 2 3 4 5; do
  run_app "$work/start$i.err"
  wait_for "$work/start$i.err" "first audio callback"
  starts+=("$(sed -n 's/.*first audio callback \([0-9]*\) ms.*/\1/p' "$work/start$i.err")")
  stop_app
done
printf '   from main: %s ms (each start)\n' "${starts[*]}"
t0=$(date +%s%N); "$app" --version >/dev/null; t1=$(date +%s%N)
echo "   starting the program itself (selvarin --version): $(( (t1 - t0) / 1000000 )) ms"

echo "== CPU while playing the default sound, 48 kHz, 256 frames (${span} s each)"
run_app "$work/cpu.err" -p "Play Anyway=Yes"
wait_for "$work/cpu.err" "first audio callback"
sleep 3
echo "   editor visible and idle: $(cpu_share "$app_pid" "$span") % of one core"
window=$(DISPLAY=$display xwininfo -name Selvarin | awk '/Window id:/ { print $4 }')
python3 - "$display" "$window" <<'PY'
import ctypes, sys
x = ctypes.cdll.LoadLibrary("libX11.so.6")
x.XOpenDisplay.restype = ctypes.c_void_p
d = x.XOpenDisplay(sys.argv[1].encode())
x.XUnmapWindow(ctypes.c_void_p(d), ctypes.c_ulong(int(sys.argv[2], 16)))
x.XFlush(ctypes.c_void_p(d))
x.XCloseDisplay(ctypes.c_void_p(d))
PY
sleep 2
echo "   window minimised:        $(cpu_share "$app_pid" "$span") % of one core"
stop_app
"$baseline" $((span + 4)) system </dev/null >"$work/baseline.out" 2>/dev/null &
base_pid=$!
pids+=("$base_pid")
sleep 2
echo "   (a bare PortAudio client playing a sine on the same server: $(cpu_share "$base_pid" "$span") % of one core)"
wait "$base_pid" || true

echo "== drop-outs over ${long} s"
run_app "$work/long.err" -p "Play Anyway=Yes"
wait_for "$work/long.err" "first audio callback"
sleep "$long"
stop_app
sed -n 's/^selvarin: \([0-9]* audio callbacks, [0-9]* drop-outs\)$/   \1/p' "$work/long.err"
echo "   (expected callbacks: $(( long * 48000 / 256 )); machine: $(nproc) cores, load $(cut -d' ' -f1-3 /proc/loadavg))"
