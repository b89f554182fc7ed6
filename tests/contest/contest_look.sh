#!/usr/bin/env bash
# Looks at a contest on the desktop program, for a person to check the screenshots: a private
# sound server plays tones into a virtual microphone, the display runs full screen on a virtual
# screen under openbox.
#   five:   a new user's contest of five, as the README walks through it: Ctrl+S, "Contest...",
#           five names typed and added, OK; five 10 s rounds with a countdown, each at another
#           loudness; the ranking board; the results file printed.
#   twenty: twenty names from a contest file, 3 s rounds without countdown for six of them, and
#           the board in two columns.
# Screenshots: OUT/window.png (contest window), round.png, score.png, board.png.
# Usage: contest_look.sh PATH_TO_ROARMARK WIDTH HEIGHT five|twenty OUT
set -u
roarmark=$1
width=$2
height=$3
kind=$4
out=$5
mkdir -p "$out"

. "$(dirname "$0")/../stage.sh"
stage_begin contest-look
stop() { echo "$*"; exit 1; }

stage_sound_server || stop "$stage_why"
stage_roarmic >/dev/null || stop "$stage_why"
stage_screen 191 "${width}x${height}" || stop "$stage_why"
stage_openbox

stage_data_folder
stage_settings FullScreen=1 FitScreen=1 cal=-10
stage_picture "${width}x${height}" gradient:'rgb(40,60,90)-rgb(10,15,30)' || stop "$stage_why"
if [ "$kind" = twenty ]; then
  {
    printf '[Contest]\nRound Seconds=3\nCountdown Seconds=0\nScore=average\n[Contestants]\n'
    for n in $(seq 20); do printf '%s=Section %s\n' "$n" "$n"; done
  } >"$folder/Files/Contest.txt"
fi

key() {  # KEY [MODIFIER]: a press and release on the focused window
  if [ $# -gt 1 ]; then xdotool keydown "$2"; fi
  xdotool keydown "$1" keyup "$1"
  if [ $# -gt 1 ]; then xdotool keyup "$2"; fi
}
click_in() {  # WINDOW X Y: a click at client coordinates of a window
  local x y
  x=$(xwininfo -id "$1" | awk '/Absolute upper-left X/ { print $4 }')
  y=$(xwininfo -id "$1" | awk '/Absolute upper-left Y/ { print $4 }')
  xdotool mousemove $((x + $2)) $((y + $3)) click 1
  sleep 0.3
}
tone() {  # SECONDS GAIN_DB
  sox -n -t pulseaudio roar synth "$1" sine 1000 gain "$2" >>"$work/sox.log" 2>&1 &
  pids+=($!)
}

"$roarmark" >"$work/roarmark.log" 2>&1 &
pids+=($!)
sleep 4

if [ "$kind" = five ]; then
  key s ctrl
  sleep 2
  setup=$(xdotool search --onlyvisible --name '^Roarmark Setup$' | tail -1)
  click_in "$setup" $((636 + 96)) $((272 + 15))  # "Contest..."
  sleep 1
  window=$(xdotool search --onlyvisible --name '^Contest$' | tail -1)
  for name in Anna Ben Cleo Dan Eve; do
    click_in "$window" $((336 + 140)) $((50 + 11))  # the name field
    xdotool key ctrl+a
    xdotool type --delay 30 "$name"
    click_in "$window" $((336 + 66)) $((80 + 13))  # Add
  done
  import -window root "$out/window.png"
  click_in "$window" $((336 + 68)) $((404 + 15))  # OK
  sleep 0.5
  click_in "$setup" $((636 + 96)) $((478 + 20))  # OK of the setup dialog
  sleep 1
  for gain in -30 -18 -24 -14 -27; do
    tone 14 "$gain"
    sleep 0.3
    key F5
    sleep 9
    [ "$gain" = -30 ] && import -window root "$out/round.png"
    sleep 4.5
    [ "$gain" = -30 ] && import -window root "$out/score.png"
    sleep 1
  done
else
  for gain in -30 -18 -24 -14 -27 -21; do
    tone 4 "$gain"
    sleep 0.3
    key F5
    sleep 1.5
    [ "$gain" = -30 ] && import -window root "$out/round.png"
    sleep 2
    [ "$gain" = -30 ] && import -window root "$out/score.png"
    sleep 0.5
  done
fi
key F6
sleep 1.5
import -window root "$out/board.png"
for f in "$folder"/Files/Contest\ Results*.csv; do
  echo "== $f"
  cat "$f"
done
cat "$work/roarmark.log"
