#!/usr/bin/env bash
# The desktop program end to end: a private sound server plays a tone into a virtual
# microphone, roarmark runs on a virtual screen, the meter is read off screenshots; unplugging
# the microphone (unloading its source) must bring up the input-loss dialog and plugging it back
# must resume the meter; Ctrl+X must save the window position; losing the sound server ends the
# program with the no-device message.
# Usage: roarmark_end_to_end.sh PATH_TO_ROARMARK [SCREENSHOT_FOLDER]
set -u
readonly SKIP=77
roarmark=$1
shots=${2:-}

for tool in Xvfb pulseaudio pactl sox xdotool xwininfo xwd convert; do
  if ! command -v "$tool" >/dev/null 2>&1; then
    echo "SKIP: $tool is not installed"
    exit $SKIP
  fi
done

work=$(mktemp -d /tmp/roarmark-e2e.XXXXXX)
pids=()
cleanup() {
  for pid in "${pids[@]}"; do kill "$pid" 2>/dev/null; done
  for pid in "${pids[@]}"; do wait "$pid" 2>/dev/null; done
  rm -rf "$work"
}
trap cleanup EXIT

fail() {
  echo "FAIL: $*"
  exit 1
}

# ---- Sound: a null sink whose monitor is offered as the microphone "RoarMic", and a second
# input "OtherMic", so that some input remains while RoarMic is unplugged
export XDG_RUNTIME_DIR=$work/run
mkdir -m 700 "$XDG_RUNTIME_DIR"
export PULSE_SERVER=unix:$XDG_RUNTIME_DIR/native
pulseaudio -n --daemonize=no --exit-idle-time=-1 --disallow-exit --use-pid-file=no \
  -L "module-native-protocol-unix socket=$XDG_RUNTIME_DIR/native auth-anonymous=1" \
  -L "module-null-sink sink_name=roar" -L "module-null-sink sink_name=other" \
  >"$work/pulse.log" 2>&1 &
pids+=($!)
for _ in $(seq 50); do pactl info >/dev/null 2>&1 && break; sleep 0.1; done
pactl info >/dev/null 2>&1 || { cat "$work/pulse.log"; echo "SKIP: the sound server did not start"; exit $SKIP; }
plug_roarmic() {  # prints the module number
  pactl load-module module-remap-source master=roar.monitor source_name=roarmic \
    source_properties=device.description=RoarMic
}
roarmic_module=$(plug_roarmic) || fail "no RoarMic source"
pactl load-module module-remap-source master=other.monitor source_name=othermic \
  source_properties=device.description=OtherMic >/dev/null || fail "no OtherMic source"

# ---- Screen: a free display number
display=
for n in $(seq 90 140); do
  if [ ! -e /tmp/.X11-unix/X$n ] && [ ! -e /tmp/.X$n-lock ]; then display=$n; break; fi
done
[ -n "$display" ] || { echo "SKIP: no free display"; exit $SKIP; }
Xvfb :$display -screen 0 1920x1080x24 -nolisten tcp >"$work/xvfb.log" 2>&1 &
pids+=($!)
export DISPLAY=:$display
for _ in $(seq 50); do xdotool getdisplaygeometry >/dev/null 2>&1 && break; sleep 0.1; done
xdotool getdisplaygeometry >/dev/null 2>&1 || { echo "SKIP: Xvfb did not start"; exit $SKIP; }

# ---- Data folder: the device by name and a plain picture of the screen's size
export XDG_DATA_HOME=$work/data
folder=$XDG_DATA_HOME/Quillmoor/Roarmark
mkdir -p "$folder/Files" "$folder/Help"
printf '[Input]\r\nDevice Name=RoarMic\r\n' >"$folder/Roarmark.ini"
picture_colour='rgb(32,48,64)'
convert -size 1920x1080 "xc:$picture_colour" -type TrueColor "BMP3:$folder/Files/Graphic.bmp"

screenshot() {  # NAME: the whole screen as PNG
  xwd -root -silent | convert xwd:- "$work/$1.png" || fail "no screenshot"
  if [ -n "$shots" ]; then mkdir -p "$shots" && cp "$work/$1.png" "$shots/"; fi
}

# Share of the default vertical meter box (columns 188..315, rows 114..763) that is lit: neither
# the unlit bar background RGB(0,38,38) nor the picture.
lit_share() {
  convert "$work/$1.png" -crop 128x650+188+114 +repage \
    -fill black -opaque 'rgb(0,38,38)' -opaque "$picture_colour" \
    -fill white +opaque black -colorspace Gray -format '%[fx:mean]' info:
}

sox -n -t pulseaudio roar synth 10 sine 1000 gain -6 >"$work/sox.log" 2>&1 &
tone=$!
pids+=($tone)

"$roarmark" >"$work/roarmark.log" 2>&1 &
app=$!
pids+=($app)

sleep 4
kill -0 $app 2>/dev/null || { cat "$work/roarmark.log"; fail "roarmark ended early"; }
screenshot tone
loud=$(lit_share tone)
echo "lit share with the tone: $loud"

kill $tone 2>/dev/null
sleep 5
screenshot silence
quiet=$(lit_share silence)
echo "lit share after silence: $quiet"

awk -v v="$loud" 'BEGIN { exit !(v > 0.5) }' || fail "the tone lit only $loud of the meter box"
awk -v v="$quiet" 'BEGIN { exit !(v < 0.05) }' || fail "after silence $quiet of the meter box is still lit"

# ---- Unplugging RoarMic, while the meter is dark: the input-loss dialog (caption "Roarmark",
# client area 542 x 142) appears; plugging it back hides the dialog, and a tone played only
# afterwards lights the meter, so it is measuring again (a frozen meter would stay dark).
loss_dialog_shown() {
  local id
  for id in $(xdotool search --onlyvisible --name '^Roarmark$' 2>/dev/null); do
    xwininfo -id "$id" | grep -q 'Width: 542$' && xwininfo -id "$id" | grep -q 'Height: 142$' &&
      return 0
  done
  return 1
}
dialog_gone() { ! loss_dialog_shown; }
wait_for() {  # SECONDS COMMAND...: true once COMMAND succeeds within SECONDS
  local tenths=$(($1 * 10))
  shift
  for _ in $(seq "$tenths"); do "$@" && return 0; sleep 0.1; done
  return 1
}

loss_dialog_shown && fail "the input-loss dialog is shown before anything was unplugged"
pactl unload-module "$roarmic_module" || fail "RoarMic could not be unplugged"
wait_for 5 loss_dialog_shown || { screenshot not-lost; fail "no input-loss dialog after unplugging RoarMic"; }
sleep 1
screenshot lost
kill -0 $app 2>/dev/null || { cat "$work/roarmark.log"; fail "roarmark ended after unplugging"; }

roarmic_module=$(plug_roarmic) || fail "RoarMic could not be plugged back"
wait_for 5 dialog_gone || { screenshot still-lost; fail "the input-loss dialog stays after plugging RoarMic back"; }
sox -n -t pulseaudio roar synth 10 sine 1000 gain -6 >"$work/sox2.log" 2>&1 &
tone=$!
pids+=($tone)
sleep 4
screenshot back
back=$(lit_share back)
echo "lit share with a tone after plugging back: $back"
awk -v v="$back" 'BEGIN { exit !(v > 0.5) }' || fail "after plugging back the tone lit only $back of the meter box"
kill $tone 2>/dev/null

# The display takes the keys once clicked; Ctrl+X (X released while Ctrl is held) closes it
# and saves the window position.
xdotool mousemove 960 900 click 1
sleep 0.5
xdotool keydown ctrl key x keyup ctrl
for _ in $(seq 50); do kill -0 $app 2>/dev/null || break; sleep 0.1; done
kill -0 $app 2>/dev/null && fail "Ctrl+X did not close roarmark"
wait $app
code=$?
[ $code -eq 0 ] || fail "roarmark ended with exit code $code"
grep -qi '^left=' "$folder/Roarmark.ini" || fail "no left= in Roarmark.ini"
grep -qi '^top=' "$folder/Roarmark.ini" || fail "no top= in Roarmark.ini"

# ---- A second run loses the sound server itself: no input remains, so the program says so
# and ends with exit code 1 once the message is confirmed.
"$roarmark" >"$work/roarmark2.log" 2>&1 &
app=$!
pids+=($app)
sleep 3
kill -0 $app 2>/dev/null || { cat "$work/roarmark2.log"; fail "the second run ended early"; }
kill "${pids[0]}"
error_box_shown() { xdotool search --onlyvisible --name '^Roarmark Error$' >/dev/null 2>&1; }
wait_for 5 error_box_shown || { screenshot server-gone; fail "no error box after the sound server went away"; }
screenshot server-gone
xdotool key Return
for _ in $(seq 50); do kill -0 $app 2>/dev/null || break; sleep 0.1; done
kill -0 $app 2>/dev/null && fail "roarmark did not end after the no-device message"
wait $app
code=$?
[ $code -eq 1 ] || fail "without a sound server roarmark ended with exit code $code, not 1"
echo "PASS"
