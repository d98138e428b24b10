#!/usr/bin/env bash
# selvarin-render.exe under Wine writes every format, from the default sound
# and from a session file written on Windows (byte-order mark, CR LF); the
# Linux libsndfile reads each back (audio_check) with its length, rate, pitch
# and tags. With SELVARIN_LINUX_RENDER naming the Linux renderer, both must
# give the same samples for the same settings.
#
#   render_formats_wine.sh RENDER_EXE BUNDLE AUDIO_CHECK EXAMPLES_DIR
set -uo pipefail
render_exe=$1 bundle=$2 check=$3 examples=$4
dir=$(mktemp -d)
trap 'rm -rf "$dir"' EXIT
failures=0

win_render() { wine "$render_exe" --plugin "$bundle" --no-progress "$@" </dev/null >"$dir/log" 2>&1; }

# render NAME ARGS... -- CHECKS...: renders into $dir/NAME, then checks it.
render() {
  local name=$1 args=()
  shift
  while [ "$1" != -- ]; do args+=("$1"); shift; done
  shift
  if ! win_render -o "$dir/$name" "${args[@]}"; then
    echo "FAILED: selvarin-render.exe -o $name ${args[*]}"; cat "$dir/log"
    failures=$((failures + 1))
    return
  fi
  if [ -n "$(ls "$dir" | grep '\.part-')" ]; then
    echo "FAILED: a temporary file is left: $(ls "$dir")"; failures=$((failures + 1))
  fi
  "$check" "$dir/$name" "$@" || { echo "FAILED: $name"; failures=$((failures + 1)); }
}

default=(--hz 200 204 --comment-has 'preset none (default values)')
render a.wav -d 3 -- --format wav --subtype pcm24 --rate 48000 --frames 144000 --title a "${default[@]}"
render b.wav -d 3 -b 32 -r 96000 -- --format wav --subtype float --rate 96000 --frames 288000 --title b "${default[@]}"
render c.flac -d 3 -b 16 -r 44100 --flac-level 8 -- --format flac --subtype pcm16 --rate 44100 --frames 132300 \
  --title c "${default[@]}"
render d.ogg -d 3 -q 3 -- --format ogg --subtype vorbis --rate 48000 --frames 144000 --title d "${default[@]}"
render e.opus -d 3 -r 24000 -- --format ogg --subtype opus --rate 24000 --frames 72000 --title e "${default[@]}"
render f.mp3 -d 3 -r 44100 -q 10 -- --format mpeg --subtype mp3 --rate 44100 --frames 132300 --title f "${default[@]}"
render g.bin -d 3 --format flac -b 24 -- --format flac --subtype pcm24 --frames 144000 --title g "${default[@]}"

# A session as Notepad saves it.
printf '\xEF\xBB\xBFtitle "Evening"\r\npreset 1\r\n0:00 Fade = 1\r\n0:00 Base Freq = 300\r\n0:00 Beats = Binaural\r\n0:00 Binaural = 6\r\nlength 2\r\n' \
  >"$dir/evening.session"
session=(--comment-has 'preset "Higher frequencies", session' --title Evening --hz 300 306)
render s.wav --session "$dir/evening.session" -- --format wav --frames 96000 "${session[@]}"
render s.opus --session "$dir/evening.session" -- --format ogg --subtype opus --frames 96000 "${session[@]}"
render s.mp3 --session "$dir/evening.session" -r 32000 -- --format mpeg --rate 32000 --frames 64000 "${session[@]}"

# The same engine on both systems: the same samples, bit for bit.
compare() {
  local name=$1
  shift
  if ! win_render -o "$dir/win-$name" "$@" || ! "$SELVARIN_LINUX_RENDER" --no-progress -o "$dir/linux-$name" "$@" >/dev/null ||
     ! "$check" "$dir/win-$name" --same-samples "$dir/linux-$name"; then
    echo "FAILED: the Windows and Linux renderers differ for $*"; failures=$((failures + 1))
  fi
}
if [ -n "${SELVARIN_LINUX_RENDER:-}" ]; then
  compare rich.wav -P 3 -d 20 -b 32
  compare precise.wav -P 77 -d 10 -b 32 --precision 64
  compare ramps.flac --session "$examples/sleep_descent.session" -d 40 -b 24
else
  echo "SELVARIN_LINUX_RENDER is not set: the samples are not compared with the Linux renderer's"
fi

[ "$failures" -eq 0 ] && echo "every format read back as rendered" || echo "$failures failures"
[ "$failures" -eq 0 ]
