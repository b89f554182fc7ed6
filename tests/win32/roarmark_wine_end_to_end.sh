#!/usr/bin/env bash
# roarmark.exe end to end under wine: a private sound server plays a tone into a virtual
# microphone that wine's wave input lists, the program runs on a virtual screen, the meter is
# read off a screenshot; Ctrl+X must end it and save the window position into "Roarmark.ini"
# in the common application data folder (C:\ProgramData\Quillmoor\Roarmark).
# A sleep of the machine (the program frozen between the system's suspend and resume notices,
# sent by POWER_BROADCAST_EXE) is no input loss.
# Usage: roarmark_wine_end_to_end.sh PATH_TO_ROARMARK_EXE [SCREENSHOT_FOLDER [POWER_BROADCAST_EXE]]
set -u
exe=$1
shots=${2:-}
broadcast=${3:-}
. "$(dirname "$0")/wine_env.sh"
wine_ready
# wine's own errors go to the log that a failure prints.
export WINEDEBUG=err+all,fixme-all

for tool in Xvfb pulseaudio pactl sox xdotool xwd convert; do
  if ! command -v "$tool" >/dev/null 2>&1; then
    skip_test "$tool is not installed"
  fi
done

wine_stage_begin wine-e2e

fail() {
  echo "FAIL: $*"
  [ -f "$work/roarmark.log" ] && tail -20 "$work/roarmark.log"
  exit 1
}

# ---- Sound: a null sink whose monitor is offered as the microphone "RoarMic"
stage_sound_server || { cat "$work/pulse.log"; skip_test "$stage_why"; }
plug_mic() {
  mic_module=$(stage_roarmic) || fail "$stage_why"
}
plug_mic
pactl set-default-source roarmic

# ---- Screen: a free display number, larger than the picture so that nothing is scaled
stage_screen 141 1280x1024 || skip_test "$stage_why"

# ---- Data folder in the prefix: the device by name and a plain picture, shown 1:1
wine_data_folder
stage_settings FitScreen=0 left=40 top=30
picture_colour='rgb(32,48,64)'
stage_picture 1000x800 "xc:$picture_colour"

screenshot() {  # NAME: the whole screen as PNG
  import -window root "$work/$1.png" || fail "no screenshot"
  if [ -n "$shots" ]; then mkdir -p "$shots" && cp "$work/$1.png" "$shots/"; fi
}

# Where the picture lies on the screen (its colour's bounding box) as X Y.
picture_origin() {
  convert "$work/$1.png" -fill white -opaque "$picture_colour" -fill black +opaque white \
    -format '%@' info: | sed 's/^[0-9]*x[0-9]*+\([0-9]*\)+\([0-9]*\)$/\1 \2/'
}

# Share of the default vertical meter box (picture pixels 188..315 x 114..763) that is lit:
# neither the unlit bar background RGB(0,38,38) nor the picture.
lit_share() {
  local x y
  read -r x y <<<"$(picture_origin "$1")"
  [ -n "$y" ] || fail "the picture is not on the screen"
  convert "$work/$1.png" -crop "128x650+$((x + 188))+$((y + 114))" +repage \
    -fill black -opaque 'rgb(0,38,38)' -opaque "$picture_colour" \
    -fill white +opaque black -colorspace Gray -format '%[fx:mean]' info:
}

sox -n -t pulseaudio roar synth 120 sine 1000 gain -6 >"$work/sox.log" 2>&1 &
pids+=($!)

"$WINE" "$exe" >"$work/roarmark.log" 2>&1 &
app=$!
pids+=($app)

# The window appears (wine's first start on a new screen can take a while on a busy machine);
# the meter runs a few seconds.
started=$SECONDS
for _ in $(seq 600); do
  xdotool search --onlyvisible --name '^Roarmark$' >/dev/null 2>&1 && break
  kill -0 $app 2>/dev/null || break
  sleep 0.1
done
if ! xdotool search --onlyvisible --name '^Roarmark$' >/dev/null 2>&1; then
  screenshot none
  kill -0 $app 2>/dev/null || echo "roarmark.exe has ended"
  for id in $(xdotool search --onlyvisible --name '.' 2>/dev/null); do
    echo "visible window: \"$(xdotool getwindowname "$id" 2>/dev/null)\""
  done
  fail "no Roarmark window after $((SECONDS - started)) s"
fi
echo "the window appeared after $((SECONDS - started)) s"
sleep 4
kill -0 $app 2>/dev/null || fail "roarmark.exe ended early"
screenshot tone
loud=$(lit_share tone)
echo "lit share with the tone: $loud"
awk -v v="$loud" 'BEGIN { exit !(v > 0.5) }' || fail "the tone lit only $loud of the meter box"

# The microphone is unplugged: the meter waits for it and goes on when it is back, even though
# wine may still list the vanished device for a while.
pactl unload-module "$mic_module"
sleep 4
kill -0 $app 2>/dev/null || fail "roarmark.exe ended when the input was lost"
screenshot unplugged
plug_mic
pactl set-default-source roarmic
# The waiting window covers the picture's top left corner until the input is back.
read -r px py <<<"$(picture_origin tone)"
corner() {
  convert "$work/$1.png" -crop "1x1+$((px + 400))+$((py + 60))" +repage -format '%[pixel:p]' info:
}
[ "$(corner unplugged)" != "$(corner tone)" ] || fail "no waiting window while the input was lost"
back=
for _ in $(seq 20); do
  sleep 1
  kill -0 $app 2>/dev/null || fail "roarmark.exe ended when the input came back"
  screenshot replugged
  [ "$(corner replugged)" = "$(corner tone)" ] && back=$(lit_share replugged) && break
done
[ -n "$back" ] || fail "the waiting window stayed after the input came back"
sleep 1
# Nothing but the display is open: no box saying the device could not be opened.
for id in $(xdotool search --onlyvisible --name '.' 2>/dev/null); do
  name=$(xdotool getwindowname "$id" 2>/dev/null)
  [ "$name" = Roarmark ] || { screenshot replugged; fail "a window \"$name\" is open after the input came back"; }
done
kill -0 $app 2>/dev/null || fail "roarmark.exe ended after the input came back"
echo "lit share with the input back: $back"
awk -v v="$back" 'BEGIN { exit !(v > 0.5) }' || fail "the meter did not come back with the input"

# The machine sleeps for 4 s: the program frozen (as a sleeping machine stops it, its clock
# going on), the resume notice waiting for it when it wakes (the suspend notice is left out: the
# resume alone must do), and the input silent from before the sleep until a second after it, as
# a driver that takes a moment to start again. That is no input loss: the waiting window never
# comes up, not even for a moment (a second visible "Roarmark" window, looked for every 20 ms).
if [ -n "$broadcast" ]; then
  pactl suspend-source roarmic 1
  kill -STOP $app
  sleep 4
  "$WINE" "$broadcast" 18 || { kill -CONT $app; fail "the resume notice could not be sent"; }
  (
    most=1
    for _ in $(seq 200); do
      n=$(xdotool search --onlyvisible --name '^Roarmark$' 2>/dev/null | wc -l)
      [ "$n" -gt "$most" ] && most=$n
      sleep 0.02
    done
    echo "$most" >"$work/windows-after-sleep"
  ) &
  watcher=$!
  kill -CONT $app
  sleep 1
  pactl suspend-source roarmic 0
  wait $watcher
  kill -0 $app 2>/dev/null || fail "roarmark.exe ended after the sleep"
  [ "$(cat "$work/windows-after-sleep")" = 1 ] || fail "the waiting window came up after the sleep"
  screenshot resumed
  awake=$(lit_share resumed)
  echo "lit share after the sleep: $awake"
  awk -v v="$awake" 'BEGIN { exit !(v > 0.5) }' || fail "the meter did not go on after the sleep"
fi

# Escape on the running meter asks whether to exit: the question box must be painted (mostly
# the light dialog face, with dark text on it) while the buffers keep coming; Escape answers
# Cancel and the meter goes on.
xdotool mousemove $((px + 600)) $((py + 600)) click 1
sleep 0.5
xdotool key Escape
box=
for _ in $(seq 50); do
  box=$(xdotool search --onlyvisible --name '^ Roarmark $' 2>/dev/null | head -1)
  [ -n "$box" ] && break
  sleep 0.1
done
[ -n "$box" ] || { screenshot escape; fail "Escape showed no visible question box"; }
sleep 1
screenshot escape
eval "$(xdotool getwindowgeometry --shell "$box")"
crop="${WIDTH}x${HEIGHT}+${X}+${Y}"
# The face: the box's most common colour, light; the text: dark pixels on it.
read -r face_count face <<<"$(convert "$work/escape.png" -crop "$crop" +repage -format %c \
  histogram:info: | sort -rn | head -1 | sed 's/^ *\([0-9]*\):.*\(#[0-9A-Fa-f]\{6\}\).*/\1 \2/')"
face_share=$(awk -v c="$face_count" -v n=$((WIDTH * HEIGHT)) 'BEGIN { print c / n }')
face_light=$(convert -size 1x1 "xc:$face" -colorspace Gray -format '%[fx:mean]' info:)
dark=$(convert "$work/escape.png" -crop "$crop" +repage -colorspace Gray -threshold 25% -negate \
  -format '%[fx:mean]' info:)
echo "question box $crop: face $face $face_share (lightness $face_light), dark $dark"
awk -v f="$face_share" -v l="$face_light" -v d="$dark" \
  'BEGIN { exit !(f > 0.4 && l > 0.7 && d > 0.005 && d < 0.3) }' ||
  fail "the question box is not painted (face $face $face_share, lightness $face_light, dark $dark)"
xdotool key Escape
for _ in $(seq 50); do
  xdotool search --onlyvisible --name '^ Roarmark $' >/dev/null 2>&1 || break
  sleep 0.1
done
xdotool search --onlyvisible --name '^ Roarmark $' >/dev/null 2>&1 && fail "Escape did not answer the question box"
kill -0 $app 2>/dev/null || fail "roarmark.exe ended on Cancel"
# The release of the Escape that cancelled the box is no new Escape on the display.
sleep 1
xdotool search --onlyvisible --name '^ Roarmark $' >/dev/null 2>&1 &&
  { screenshot escape-again; fail "the release of Escape asked again"; }

# Ctrl+X (X released while Ctrl is held) on the display closes it and saves the position.
xdotool mousemove $((px + 600)) $((py + 600)) click 1
sleep 0.5
xdotool keydown ctrl
xdotool keydown x
xdotool keyup x
xdotool keyup ctrl
for _ in $(seq 100); do kill -0 $app 2>/dev/null || break; sleep 0.1; done
kill -0 $app 2>/dev/null && { screenshot after-ctrl-x; fail "Ctrl+X did not end roarmark.exe"; }
ini=$(tr -d '\r' <"$folder/Roarmark.ini")
echo "$ini" | grep -q '^left=-\?[0-9][0-9]*$' || fail "no left= in Roarmark.ini: $ini"
echo "$ini" | grep -q '^top=-\?[0-9][0-9]*$' || fail "no top= in Roarmark.ini: $ini"
echo "saved: $(echo "$ini" | grep -E '^(left|top)=' | tr '\n' ' ')"
exit 0
