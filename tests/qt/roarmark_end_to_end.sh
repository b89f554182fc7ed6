#!/usr/bin/env bash
# The desktop program end to end, full screen under a real window manager (openbox): a private
# sound server plays a tone into a virtual microphone, the meter is read off screenshots.
# Unplugging the microphone, suspending it and restarting the whole sound server each bring up
# the painted input-loss dialog while the display window stays mapped; the meter resumes once
# the input is back and the display takes keys again without a click. Then the window sizes of
# the four window modes, and full screen at desktop scales 1.25 and 2.
# Usage: roarmark_end_to_end.sh PATH_TO_ROARMARK [SCREENSHOT_FOLDER] [pulseaudio|pipewire]
# The pipewire run needs a session bus: run it under dbus-run-session.
set -u
. "$(dirname "$0")/../skip_test.sh"
roarmark=$1
shots=${2:-}
server_kind=${3:-pulseaudio}

tools=(Xvfb openbox pactl sox xdotool xwininfo xprop convert)
if [ "$server_kind" = pipewire ]; then
  tools+=(pipewire wireplumber pipewire-pulse)
else
  tools+=(pulseaudio)
fi
for tool in "${tools[@]}"; do
  if ! command -v "$tool" >/dev/null 2>&1; then
    skip_test "$tool is not installed"
  fi
done

. "$(dirname "$0")/../stage.sh"
stage_begin e2e

fail() {
  echo "FAIL ($server_kind): $*"
  [ -f "$work/roarmark.log" ] && sed 's/^/  roarmark: /' "$work/roarmark.log"
  exit 1
}

# ---- Sound: a null sink whose monitor is offered as the microphone "RoarMic", and a second
# input "OtherMic", so that some input remains while RoarMic is unplugged
# The server runs with its default set-up (suspend-on-idle included); its state and cookie stay
# in the work folder.
stage_session
start_server() {
  server_pids=()
  stage_default_sound_server "$server_kind" &&
    pactl load-module module-null-sink sink_name=roar >/dev/null && stage_othermic
}
stop_server() {
  for pid in "${server_pids[@]}"; do kill -9 "$pid" 2>/dev/null; done
  for pid in "${server_pids[@]}"; do wait "$pid" 2>/dev/null; done
  server_pids=()
}
plug_roarmic() {  # prints the module number
  pactl load-module module-remap-source master=roar.monitor source_name=roarmic \
    source_properties=device.description=RoarMic
}
start_server || { cat "$work/server.log"; skip_test "the $server_kind sound server did not start"; }
roarmic_module=$(plug_roarmic) || fail "no RoarMic source"

# ---- Screen: a free display number, with a window manager
# Screenshots are read from the server's own framebuffer file: what the screen shows, whatever a
# client's grab of the root window makes of it.
mkdir "$work/fb"
stage_screen 90 1920x1080 -fbdir "$work/fb" || skip_test "$stage_why"
stage_openbox

# ---- Data folder: the device by name, full screen, and a plain picture of the screen's size
stage_data_folder
settings() {  # FULLSCREEN FITSCREEN
  stage_settings "FullScreen=$1" "FitScreen=$2"
}
settings 1 1
picture_colour='rgb(32,48,64)'
stage_picture 1920x1080 "xc:$picture_colour"

screenshot() {  # NAME: the whole screen as PNG
  convert "xwd:$work/fb/Xvfb_screen0" "$work/$1.png" || fail "no screenshot"
  if [ -n "$shots" ]; then mkdir -p "$shots" && cp "$work/$1.png" "$shots/$server_kind-$1.png"; fi
}

# Share of the default vertical meter box (columns 188..315, rows 114..763) that is lit: neither
# the unlit bar background RGB(0,38,38) nor the picture.
lit_share() {
  convert "$work/$1.png" -crop 128x650+188+114 +repage \
    -fill black -opaque 'rgb(0,38,38)' -opaque "$picture_colour" \
    -fill white +opaque black -colorspace Gray -format '%[fx:mean]' info:
}
above() { awk -v v="$1" -v t="$2" 'BEGIN { exit !(v > t) }'; }
below() { awk -v v="$1" -v t="$2" 'BEGIN { exit !(v < t) }'; }

loss_dialog_shown() { window_sized 542 142 >/dev/null; }
dialog_gone() { ! loss_dialog_shown; }

tone() {  # SECONDS: plays a tone into RoarMic in the background
  sox -n -t pulseaudio roar synth "$1" sine 1000 gain -6 >>"$work/sox.log" 2>&1 &
  pids+=($!)
}
expect_meter_lit() {  # NAME
  sleep 3
  screenshot "$1"
  local share
  share=$(lit_share "$1")
  echo "lit share ($1): $share"
  above "$share" 0.5 || fail "$1: the tone lit only $share of the meter box"
}

# The input-loss dialog is painted: mostly light, with dark text, and the button's caption.
expect_dialog_painted() {  # NAME
  local id geometry x y
  id=$(window_sized 542 142) || fail "$1: no input-loss dialog"
  x=$(xwininfo -id "$id" | awk '/Absolute upper-left X/ { print $4 }')
  y=$(xwininfo -id "$id" | awk '/Absolute upper-left Y/ { print $4 }')
  sleep 0.5
  screenshot "$1"
  geometry="542x142+$x+$y"
  local light dark button
  light=$(convert "$work/$1.png" -crop "$geometry" +repage -colorspace Gray -format '%[fx:mean]' info:)
  dark=$(convert "$work/$1.png" -crop "$geometry" +repage -colorspace Gray -threshold 40% \
    -negate -format '%[fx:mean]' info:)
  button=$(convert "$work/$1.png" -crop "97x33+$((x + 427))+$((y + 40))" +repage -colorspace Gray \
    -threshold 40% -negate -format '%[fx:mean]' info:)
  echo "dialog ($1): brightness $light, dark share $dark, button caption share $button"
  above "$light" 0.6 || fail "$1: the input-loss dialog is not painted (brightness $light)"
  above "$dark" 0.01 && below "$dark" 0.3 || fail "$1: no text in the input-loss dialog ($dark)"
  above "$button" 0.004 || fail "$1: no caption on CLOSE NOW ($button)"
}

# The display window stays mapped from now on (no hiding to switch stay-on-top).
watch_mapped() {  # WINDOW
  (while xwininfo -id "$1" >/dev/null 2>&1; do
    xwininfo -id "$1" 2>/dev/null | grep -q 'Map State: IsViewable' || echo unmapped >>"$work/unmapped"
    sleep 0.05
  done) &
  pids+=($!)
}

# ---- The show
"$roarmark" >"$work/roarmark.log" 2>&1 &
app=$!
pids+=($app)
wait_for 10 window_sized 1920 1080 >/dev/null || fail "no full-screen window"
main=$(window_sized 1920 1080)
watch_mapped "$main"
tone 4
expect_meter_lit tone
sleep 2
kill -0 $app 2>/dev/null || fail "roarmark ended early"

# Unplugging RoarMic: the dialog, which the window manager's close leaves in place.
loss_dialog_shown && fail "the input-loss dialog is shown before anything was unplugged"
pactl unload-module "$roarmic_module" || fail "RoarMic could not be unplugged"
wait_for 5 loss_dialog_shown || { screenshot not-lost; fail "no input-loss dialog after unplugging RoarMic"; }
expect_dialog_painted unplugged
timeout 5 xdotool windowactivate --sync "$(window_sized 542 142)" key alt+F4 2>/dev/null
sleep 0.5
loss_dialog_shown || fail "the input-loss dialog could be closed from the title bar"
roarmic_module=$(plug_roarmic) || fail "RoarMic could not be plugged back"
wait_for 5 dialog_gone || fail "the input-loss dialog stays after plugging RoarMic back"
tone 4
expect_meter_lit replugged

# A suspended source delivers nothing: lost after two seconds, back once resumed. PipeWire's
# PulseAudio service keeps a source that is recorded from running, so there is nothing to see.
if [ "$server_kind" = pipewire ]; then
  echo "part left out on pipewire: pactl suspend-source does not stop a recorded source there"
else
  pactl suspend-source roarmic 1
  wait_for 6 loss_dialog_shown || fail "no input-loss dialog while RoarMic is suspended"
  expect_dialog_painted suspended
  pactl suspend-source roarmic 0
  wait_for 10 dialog_gone || fail "the input-loss dialog stays after RoarMic resumed"
  tone 4
  expect_meter_lit resumed
fi

# The whole sound server restarts: the same wait, then the meter runs on.
stop_server
wait_for 5 loss_dialog_shown || fail "no input-loss dialog after the sound server went away"
kill -0 $app 2>/dev/null || fail "roarmark ended when the sound server went away"
expect_dialog_painted server-gone
start_server || fail "the sound server did not start again"
roarmic_module=$(plug_roarmic) || fail "no RoarMic after the restart"
wait_for 10 dialog_gone || fail "the input-loss dialog stays after the sound server came back"
tone 4
expect_meter_lit server-back
[ -e "$work/unmapped" ] && fail "the display window was unmapped during an input-loss wait"

# Keys reach the display without a click: Ctrl+X closes it and saves the window position.
xdotool keydown ctrl key x keyup ctrl
wait_for 5 bash -c "! kill -0 $app 2>/dev/null" || fail "Ctrl+X after the waits did not close roarmark"
wait $app
code=$?
[ $code -eq 0 ] || fail "roarmark ended with exit code $code"
grep -qi '^left=' "$folder/Roarmark.ini" || fail "no left= in Roarmark.ini"

[ "$server_kind" = pipewire ] && { echo "PASS"; exit 0; }

# ---- Window modes, framed by the window manager: full screen covers the monitor, fit to
# screen fills the work area (here the whole screen, no panel), 1:1 has the picture's client size.
convert -size 800x600 "xc:$picture_colour" -type TrueColor "BMP3:$folder/Files/Graphic.bmp"
frame_size() {  # WINDOW: outer width and height, client plus the frame the manager drew
  local w h extents l r t b
  w=$(xwininfo -id "$1" | awk '/  Width:/ { print $2 }')
  h=$(xwininfo -id "$1" | awk '/  Height:/ { print $2 }')
  extents=$(xprop -id "$1" _NET_FRAME_EXTENTS | sed -n 's/.*= //p' | tr -d ' ')
  IFS=, read -r l r t b <<<"${extents:-0,0,0,0}"
  echo "$((w + l + r))x$((h + t + b)) client ${w}x${h}"
}
for mode in "1 1 1920x1080 client 1920x1080" "1 0 1920x1080 client 1920x1080" \
  "0 1 1920x1080" "0 0 client 800x600"; do
  read -r full fit expected <<<"$mode"
  settings "$full" "$fit"
  "$roarmark" >"$work/roarmark.log" 2>&1 &
  app=$!
  pids+=($app)
  sleep 3
  id=$(xdotool search --onlyvisible --name '^Roarmark$' | while read -r w; do
    xwininfo -id "$w" | grep -q 'Width: 1$' || echo "$w"; done | head -1)
  [ -n "$id" ] || fail "mode FullScreen=$full FitScreen=$fit: no window"
  size=$(frame_size "$id")
  echo "mode FullScreen=$full FitScreen=$fit: $size"
  case "$size" in *"$expected"*) ;; *) fail "mode FullScreen=$full FitScreen=$fit: $size, not $expected" ;; esac
  screenshot "mode-$full$fit"
  xdotool keydown ctrl key x keyup ctrl
  wait_for 5 bash -c "! kill -0 $app 2>/dev/null" || fail "Ctrl+X did not close roarmark"
done

# ---- Desktop scale: full screen still covers the monitor and a 1:1 picture is one screen
# pixel per picture pixel, so the meter lights the same screen pixels as unscaled.
convert -size 1920x1080 "xc:$picture_colour" -type TrueColor "BMP3:$folder/Files/Graphic.bmp"
settings 1 0
for factor in 1.25 2; do
  QT_SCALE_FACTOR=$factor "$roarmark" >"$work/roarmark.log" 2>&1 &
  app=$!
  pids+=($app)
  wait_for 10 window_sized 1920 1080 >/dev/null || fail "scale $factor: no window covering the screen"
  tone 4
  expect_meter_lit "scale-$factor"
  xdotool keydown ctrl key x keyup ctrl
  wait_for 5 bash -c "! kill -0 $app 2>/dev/null" || fail "scale $factor: Ctrl+X did not close roarmark"
done
echo "PASS"
