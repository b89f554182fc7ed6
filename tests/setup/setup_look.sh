#!/usr/bin/env bash
# Looks at the setup dialog on the desktop program: a private sound server plays a tone, the
# meter runs full size on a virtual screen, Ctrl+S opens the dialog over it, a screenshot is
# taken, then "Blend" is switched off in the dialog (the bars change colour behind it) and a
# second screenshot is taken.
# Usage: setup_look.sh PATH_TO_ROARMARK LANGUAGE_NUMBER SCALE OUT_PREFIX
set -u
roarmark=$1
language=$2
scale=$3
out=$4

. "$(dirname "$0")/../stage.sh"
stage_begin look
stop() { echo "$*"; exit 1; }

stage_sound_server || stop "$stage_why"
stage_roarmic >/dev/null || stop "$stage_why"
stage_screen 150 "$((1920 * scale))x$((1080 * scale))" || stop "$stage_why"

stage_data_folder
stage_settings "Language=$language" "Readout Position X=400" "Readout Position Y=120"
stage_picture 1920x1080 gradient:'rgb(40,60,90)-rgb(10,15,30)' || stop "$stage_why"

sox -n -t pulseaudio roar synth 60 sine 1000 gain -6 >"$work/sox.log" 2>&1 &
pids+=($!)
QT_SCALE_FACTOR=$scale "$roarmark" >"$work/roarmark.log" 2>&1 &
pids+=($!)
sleep 4
xdotool keydown ctrl key s keyup ctrl
sleep 2
import -window root "${out}-open.png"

# "Blend" sits in the meter panel at (288 + 190, 60 + 60) of the dialog's client area.
dialog=$(xdotool search --onlyvisible --name '^(Roarmark Setup)?$' 2>/dev/null | tail -1)
eval "$(xdotool getwindowgeometry --shell "$dialog")"
xdotool mousemove $((X + (288 + 190 + 8) * scale)) $((Y + (60 + 60 + 10) * scale)) click 1
sleep 2
import -window root "${out}-blend-off.png"
cat "$work/roarmark.log"
