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
"$WINESERVER" -k 2>/dev/null
"$WINESERVER" -w 2>/dev/null

work=$(mktemp -d /tmp/roarmark-wine-once.XXXXXX)
pids=()
cleanup() {
  for pid in "${pids[@]}"; do kill "$pid" 2>/dev/null; done
  for pid in "${pids[@]}"; do wait "$pid" 2>/dev/null; done
  "$WINESERVER" -k 2>/dev/null
  "$WINESERVER" -w 2>/dev/null
  rm -rf "$work"
}
trap cleanup EXIT
fail() {
  echo "FAIL: $*"
  [ -f "$work/roarmark.log" ] && tail -20 "$work/roarmark.log"
  [ -f "$folder/Roarmark.log" ] && sed 's/^/  Roarmark.log: /' "$folder/Roarmark.log"
  exit 1
}
windows() { xdotool search --onlyvisible --name '^Roarmark$' 2>/dev/null | wc -l; }

export XDG_RUNTIME_DIR=$work/run
mkdir -m 700 "$XDG_RUNTIME_DIR"
export PULSE_SERVER=unix:$XDG_RUNTIME_DIR/native
pulseaudio -n --daemonize=no --exit-idle-time=-1 --disallow-exit --use-pid-file=no \
  -L "module-native-protocol-unix socket=$XDG_RUNTIME_DIR/native auth-anonymous=1" \
  -L "module-null-sink sink_name=roar" >"$work/pulse.log" 2>&1 &
pids+=($!)
for _ in $(seq 50); do pactl info >/dev/null 2>&1 && break; sleep 0.1; done
pactl load-module module-remap-source master=roar.monitor source_name=roarmic \
  source_properties=device.description=RoarMic >/dev/null || fail "no RoarMic source"
pactl set-default-source roarmic

display=
for n in $(seq 141 190); do
  if [ ! -e /tmp/.X11-unix/X$n ] && [ ! -e /tmp/.X$n-lock ]; then display=$n; break; fi
done
[ -n "$display" ] || fail "no free display"
Xvfb :$display -screen 0 1280x1024x24 -nolisten tcp >"$work/xvfb.log" 2>&1 &
pids+=($!)
export DISPLAY=:$display
for _ in $(seq 50); do xdotool getdisplaygeometry >/dev/null 2>&1 && break; sleep 0.1; done

folder="$WINEPREFIX/drive_c/ProgramData/Quillmoor/Roarmark"
rm -rf "$WINEPREFIX/drive_c/ProgramData/Quillmoor"
mkdir -p "$folder/Files"
printf '[Input]\r\nDevice Name=RoarMic\r\n[Form]\r\nFitScreen=0\r\n' >"$folder/Roarmark.ini"
convert -size 640x480 'xc:rgb(32,48,64)' -type TrueColor "BMP3:$folder/Files/Graphic.bmp" ||
  fail "no picture"

"$WINE" "$exe" >"$work/roarmark.log" 2>&1 &
app=$!
pids+=($app)
for _ in $(seq 600); do
  [ "$(windows)" -ge 1 ] && break
  kill -0 $app 2>/dev/null || fail "roarmark.exe ended"
  sleep 0.1
done
[ "$(windows)" = 1 ] || fail "no Roarmark window"

start=$SECONDS
timeout 60 "$WINE" "$exe" >"$work/second.log" 2>&1
code=$?
took=$((SECONDS - start))
echo "the second start ended with $code after $took s"
[ $code = 0 ] || fail "the second start ended with $code"
[ $took -le 20 ] || fail "the second start took $took s"
sleep 1
[ "$(windows)" = 1 ] || fail "$(windows) Roarmark windows after a second start"
kill -0 $app 2>/dev/null || fail "the first roarmark.exe ended"
for line in ' start$' ' input: RoarMic' ' a second start brought the running program to the front$'; do
  tr -d '\r' <"$folder/Roarmark.log" | grep -Eq "^[0-9-]{10} [0-9:]{8}$line" ||
    fail "no line \"$line\" in Roarmark.log"
done
echo PASS
