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

work=$(mktemp -d /tmp/roarmark-look.XXXXXX)
pids=()
cleanup() {
  for pid in "${pids[@]}"; do kill "$pid" 2>/dev/null; done
  for pid in "${pids[@]}"; do wait "$pid" 2>/dev/null; done
  rm -rf "$work"
}
trap cleanup EXIT

export XDG_RUNTIME_DIR=$work/run
mkdir -m 700 "$XDG_RUNTIME_DIR"
export PULSE_SERVER=unix:$XDG_RUNTIME_DIR/native
pulseaudio -n --daemonize=no --exit-idle-time=-1 --disallow-exit --use-pid-file=no \
  -L "module-native-protocol-unix socket=$XDG_RUNTIME_DIR/native auth-anonymous=1" \
  -L "module-null-sink sink_name=roar" >"$work/pulse.log" 2>&1 &
pids+=($!)
for _ in $(seq 50); do pactl info >/dev/null 2>&1 && break; sleep 0.1; done
pactl load-module module-remap-source master=roar.monitor source_name=roarmic \
  source_properties=device.description=RoarMic >/dev/null

display=
for n in $(seq 150 190); do
  if [ ! -e /tmp/.X11-unix/X$n ] && [ ! -e /tmp/.X$n-lock ]; then display=$n; break; fi
done
width=$((1920 * scale))
height=$((1080 * scale))
Xvfb :$display -screen 0 ${width}x${height}x24 -nolisten tcp >"$work/xvfb.log" 2>&1 &
pids+=($!)
export DISPLAY=:$display
for _ in $(seq 50); do xdotool getdisplaygeometry >/dev/null 2>&1 && break; sleep 0.1; done

export XDG_DATA_HOME=$work/data
folder=$XDG_DATA_HOME/Quillmoor/Roarmark
mkdir -p "$folder/Files" "$folder/Help"
printf '[Input]\r\nDevice Name=RoarMic\r\n[Form]\r\nLanguage=%s\r\nReadout Position X=400\r\nReadout Position Y=120\r\n' "$language" >"$folder/Roarmark.ini"
convert -size 1920x1080 gradient:'rgb(40,60,90)-rgb(10,15,30)' -type TrueColor \
  "BMP3:$folder/Files/Graphic.bmp"

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
