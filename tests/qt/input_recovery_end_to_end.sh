#!/usr/bin/env bash
# Input recovery of the desktop program against a sound server run with its own default set-up
# (PulseAudio's default.pa with suspend-on-idle, or PipeWire with WirePlumber's defaults), which
# suspends an input a few seconds after nobody records from it any more:
#  - the program starts before the sound server (a start at login) and still finds its input;
#  - the input "RoarMic" stops delivering for three seconds: the input-loss dialog, and the
#    meter back on RoarMic within two seconds of its return;
#  - the same around `pactl suspend-source`.
# Usage: input_recovery_end_to_end.sh PATH_TO_ROARMARK [pulseaudio|pipewire]
# The pipewire run needs a session bus: run it under dbus-run-session.
set -u
readonly SKIP=77
roarmark=$1
server_kind=${2:-pulseaudio}

tools=(Xvfb openbox pactl python3 xdotool xwininfo convert)
if [ "$server_kind" = pipewire ]; then
  tools+=(pipewire wireplumber pipewire-pulse)
else
  tools+=(pulseaudio)
fi
for tool in "${tools[@]}"; do
  if ! command -v "$tool" >/dev/null 2>&1; then
    if [ "${ROARMARK_CI:-}" = 1 ]; then
      echo "FAIL: $tool is not installed"
      exit 1
    fi
    echo "SKIP: $tool is not installed"
    exit $SKIP
  fi
done

. "$(dirname "$0")/../stage.sh"
stage_begin recovery
tone_pid=
stall_pid=
cleanup() {
  [ -n "$stall_pid" ] && kill -CONT "$stall_pid" 2>/dev/null
  [ -n "$tone_pid" ] && kill "$tone_pid" 2>/dev/null && wait "$tone_pid" 2>/dev/null
  stage_end
}
trap cleanup EXIT

fail() {
  echo "FAIL ($server_kind): $*"
  [ -f "$work/roarmark.log" ] && sed 's/^/  roarmark: /' "$work/roarmark.log"
  exit 1
}
skip() {
  if [ "${ROARMARK_CI:-}" = 1 ]; then echo "FAIL ($server_kind): $*"; exit 1; fi
  echo "SKIP: $*"
  exit $SKIP
}

# A private session: the server's state and cookie stay in the work folder.
stage_session

# ---- Screen: a free display number, with a window manager
mkdir "$work/fb"
stage_screen 141 1920x1080 -fbdir "$work/fb" || skip "$stage_why"
stage_openbox

# ---- Data folder: RoarMic by name, full screen over a plain picture of the screen's size
stage_data_folder
stage_settings FullScreen=1 FitScreen=1
picture_colour='rgb(32,48,64)'
stage_picture 1920x1080 "xc:$picture_colour"

# ---- Looking at the screen
now_ms() { echo $(($(date +%s%N) / 1000000)); }
wait_for() {  # SECONDS COMMAND...: true once COMMAND succeeds within SECONDS of wall time
  local deadline
  deadline=$(($(now_ms) + $(awk -v s="$1" 'BEGIN { printf "%d", s * 1000 }')))
  shift
  while :; do
    "$@" && return 0
    [ "$(now_ms)" -lt $deadline ] || return 1
    sleep 0.1
  done
}
loss_dialog_shown() { window_sized 542 142 >/dev/null; }
dialog_gone() { ! loss_dialog_shown; }
# Share of the default vertical meter box (columns 188..315, rows 114..763) that is lit.
lit_share() {
  convert "xwd:$work/fb/Xvfb_screen0" -crop 128x650+188+114 +repage \
    -fill black -opaque 'rgb(0,38,38)' -opaque "$picture_colour" \
    -fill white +opaque black -colorspace Gray -format '%[fx:mean]' info:
}
meter_lit() { awk -v v="$(lit_share)" 'BEGIN { exit !(v > 0.5) }'; }
# The meter is back within SECONDS of now: the dialog gone and RoarMic's tone lighting it (the
# other input is silent, so only RoarMic can light it).
expect_back_within() {  # SECONDS WHAT
  local start
  start=$(now_ms)
  wait_for "$1" dialog_gone || fail "$2: the input-loss dialog stays $1 s after RoarMic returned"
  wait_for "$1" meter_lit || fail "$2: the meter is not lit (lit share $(lit_share))"
  local took=$(($(now_ms) - start))
  echo "$2: the meter is back after $took ms"
  [ $took -le $(($1 * 1000)) ] || fail "$2: the meter came back after $took ms, not within $1 s"
}

# ---- Sound: RoarMic is a pipe fed with a 1 kHz tone at its real pace, so stopping the writer
# stops the input; OtherMic, the monitor of a silent output, remains while RoarMic is out.
start_server() {
  stage_default_sound_server "$server_kind" && stage_othermic &&
    pactl load-module module-pipe-source source_name=roarmic file="$work/roar.fifo" format=s16le \
      rate=44100 channels=2 source_properties=device.description=RoarMic >/dev/null
}
start_tone() {
  python3 -c '
import math, struct, sys, time
rate, n, step = 44100, 1102, 2 * math.pi * 1000 / 44100
block = b"".join(struct.pack("<hh", v, v) for v in
                 (int(16000 * math.sin(step * i)) for i in range(44100)))
out, due, at = sys.stdout.buffer, time.monotonic(), 0
while True:
    out.write(block[at * 4:(at + n) * 4]); out.flush()
    at = (at + n) % (44100 - n)
    due += n / rate
    time.sleep(max(0.0, due - time.monotonic()))
' >"$work/roar.fifo" 2>/dev/null &
  tone_pid=$!
}

# ---- A start at login: the program first, the sound server three seconds later
"$roarmark" >"$work/roarmark.log" 2>&1 &
app=$!
pids+=($app)
sleep 3
kill -0 $app 2>/dev/null || fail "roarmark ended before the sound server started"
start_server || { cat "$work/server.log"; skip "the $server_kind sound server did not start"; }
start_tone
wait_for 10 window_sized 1920 1080 >/dev/null || fail "no full-screen window once the server started"
wait_for 5 meter_lit || fail "a late sound server: the meter is not lit by RoarMic ($(lit_share))"
echo "late server: the meter runs on RoarMic"
sleep 2

# ---- RoarMic stops delivering for three seconds, then resumes
# PipeWire's pipe source plays silence while its writer pauses, so there the whole graph halts.
stall_pid=$tone_pid
[ "$server_kind" = pipewire ] && stall_pid=${server_pids[0]}
stalled=$(now_ms)
kill -STOP "$stall_pid"
wait_for 3 loss_dialog_shown || { kill -CONT "$stall_pid"; fail "no input-loss dialog while RoarMic delivers nothing"; }
sleep "$(awk -v left=$((stalled + 3000 - $(now_ms))) 'BEGIN { print (left > 0 ? left / 1000 : 0) }')"
kill -CONT "$stall_pid"
expect_back_within 2 "a three-second stall"
sleep 2

# ---- RoarMic suspended by the user for three seconds, then resumed
pactl suspend-source roarmic 1 || fail "RoarMic could not be suspended"
sleep 3
pactl suspend-source roarmic 0 || fail "RoarMic could not be resumed"
expect_back_within 2 "a three-second suspend"
sleep 1
kill -0 $app 2>/dev/null || fail "roarmark ended"
xdotool keydown ctrl key x keyup ctrl
wait_for 5 bash -c "! kill -0 $app 2>/dev/null" || fail "Ctrl+X did not close roarmark"
echo "PASS"
