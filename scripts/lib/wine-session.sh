# Sourced by the Windows scripts: a private Wine prefix under $WIN_OUT with a
# persistent wineserver, and on request an Xvfb display. wine_stop (run on
# exit) ends both, so nothing is left holding the caller's pipes.

wine_start() {
  export WINEPREFIX=$WIN_OUT/wine WINEARCH=win64 WINEDEBUG=-all
  # No Mono or Gecko installer prompts in a fresh prefix.
  export WINEDLLOVERRIDES="mscoree,mshtml="
  local fresh=0
  [ -f "$WINEPREFIX/system.reg" ] || fresh=1
  mkdir -p "$WINEPREFIX"
  # A persistent server keeps each test start quick; it must not inherit
  # our pipes, or ctest and callers wait for it forever. One already
  # serving this prefix (say, from a run by hand) serves us as well.
  wineserver -p </dev/null >/dev/null 2>&1 || true
  WINE_RUNNING=1
  wineboot </dev/null >/dev/null 2>&1 || true
  if [ "$fresh" = 1 ]; then
    # A crash fails its test at once instead of waiting on a dialog.
    wine reg add 'HKCU\Software\Wine\WineDbg' /v ShowCrashDialog /t REG_DWORD /d 0 /f </dev/null >/dev/null 2>&1
    # Verdana is not packaged; DejaVu Sans is its closest stand-in.
    wine reg add 'HKCU\Software\Wine\Fonts\Replacements' /v Verdana /t REG_SZ /d "DejaVu Sans" /f \
      </dev/null >/dev/null 2>&1
  fi
}

xvfb_start() {
  local n=99
  while [ -e "/tmp/.X11-unix/X$n" ] || [ -e "/tmp/.X$n-lock" ]; do n=$((n + 1)); done
  Xvfb ":$n" -screen 0 1280x800x24 -nolisten tcp </dev/null >/dev/null 2>&1 &
  XVFB_PID=$!
  local i
  for i in $(seq 50); do
    [ -e "/tmp/.X11-unix/X$n" ] && break
    sleep 0.1
  done
  export DISPLAY=":$n"
}

wine_stop() {
  if [ "${WINE_RUNNING:-0}" = 1 ]; then
    wineserver -k </dev/null >/dev/null 2>&1 || true
    WINE_RUNNING=0
  fi
  if [ -n "${XVFB_PID:-}" ]; then
    kill "$XVFB_PID" 2>/dev/null || true
    wait "$XVFB_PID" 2>/dev/null || true
    XVFB_PID=""
  fi
}
