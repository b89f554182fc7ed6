#!/usr/bin/env bash
# roarmark.exe under wine, started twice on one data folder: the second start ends at once with
# success, the first stays the only Roarmark window, and "Roarmark.log" in the data folder records
# the start, the input taken and the second start.
# Usage: roarmark_wine_single_instance.sh PATH_TO_ROARMARK_EXE
set -u
exe=$1
. "$(dirname "$0")/wine_env.sh"
if [ "${ROARMARK_CI:-}" = 1 ] && [ ! -x "$WINE" ]; then echo "FAIL: no wine"; exit 1; fi
wine_ready
for tool in Xvfb pulseaudio pactl xdotool convert; do
  if ! command -v "$tool" >/dev/null 2>&1; then
    [ "${ROARMARK_CI:-}" = 1 ] && { echo "FAIL: $tool is not installed"; exit 1; }
    echo "SKIP: $tool is not installed"
    exit 77
  fi
done
wine_stage_begin wine-once
fail() {
  echo "FAIL: $*"
  [ -f "$work/roarmark.log" ] && tail -20 "$work/roarmark.log"
  [ -f "$folder/Roarmark.log" ] && sed 's/^/  Roarmark.log: /' "$folder/Roarmark.log"
  exit 1
}

stage_sound || fail "$stage_why"
stage_screen 141 1280x1024 || fail "$stage_why"

wine_data_folder
stage_settings FitScreen=0
stage_picture 640x480 'xc:rgb(32,48,64)' || fail "no picture"

"$WINE" "$exe" >"$work/roarmark.log" 2>&1 &
app=$!
pids+=($app)
for _ in $(seq 600); do
  [ "$(window_count)" -ge 1 ] && break
  kill -0 $app 2>/dev/null || fail "roarmark.exe ended"
  sleep 0.1
done
[ "$(window_count)" = 1 ] || fail "no Roarmark window"

start=$SECONDS
timeout 60 "$WINE" "$exe" >"$work/second.log" 2>&1
code=$?
took=$((SECONDS - start))
echo "the second start ended with $code after $took s"
[ $code = 0 ] || fail "the second start ended with $code"
[ $took -le 20 ] || fail "the second start took $took s"
sleep 1
[ "$(window_count)" = 1 ] || fail "$(window_count) Roarmark windows after a second start"
kill -0 $app 2>/dev/null || fail "the first roarmark.exe ended"
for line in ' start$' ' input: RoarMic' ' a second start brought the running program to the front$'; do
  tr -d '\r' <"$folder/Roarmark.log" | grep -Eq "^[0-9-]{10} [0-9:]{8}$line" ||
    fail "no line \"$line\" in Roarmark.log"
done
echo PASS
