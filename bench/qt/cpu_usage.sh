#!/usr/bin/env bash
# CPU time of the desktop program showing the meter full screen at 1920x1080 with a tone
# playing: a private sound server and virtual screen, 60 seconds of metering, then the
# program's own user+system time (from /proc) as a share of one core. Target: at most 5 %.
# Usage: cpu_usage.sh [PATH_TO_ROARMARK] [SECONDS]
set -u
roarmark=${1:-$(dirname "$0")/../../build/src/platform/qt/roarmark}
seconds=${2:-60}

for tool in Xvfb pulseaudio pactl sox xdotool convert; do
  command -v "$tool" >/dev/null 2>&1 || { echo "$tool is not installed"; exit 2; }
done
[ -x "$roarmark" ] || { echo "no program at $roarmark"; exit 2; }

work=$(mktemp -d /tmp/roarmark-cpu.XXXXXX)
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
  source_properties=device.description=RoarMic >/dev/null || { echo "no sound server"; exit 2; }

display=
for n in $(seq 141 190); do
  if [ ! -e /tmp/.X11-unix/X$n ] && [ ! -e /tmp/.X$n-lock ]; then display=$n; break; fi
done
Xvfb :$display -screen 0 1920x1080x24 -nolisten tcp >"$work/xvfb.log" 2>&1 &
pids+=($!)
export DISPLAY=:$display
for _ in $(seq 50); do xdotool getdisplaygeometry >/dev/null 2>&1 && break; sleep 0.1; done

# Full screen, picture stretched over the whole monitor: the heaviest everyday case.
export XDG_DATA_HOME=$work/data
folder=$XDG_DATA_HOME/Quillmoor/Roarmark
mkdir -p "$folder/Files" "$folder/Help"
printf '[Input]\r\nDevice Name=RoarMic\r\n[Form]\r\nFullScreen=1\r\nFitScreen=1\r\n' >"$folder/Roarmark.ini"
convert -size 1920x1080 gradient:navy-black -type TrueColor "BMP3:$folder/Files/Graphic.bmp"

# A tone that rises and falls, so the meter and the readout keep moving.
sox -n -t pulseaudio roar synth $((seconds + 10)) sine 1000 tremolo 0.5 90 gain -6 \
  >"$work/sox.log" 2>&1 &
pids+=($!)

"$roarmark" >"$work/roarmark.log" 2>&1 &
app=$!
pids+=($app)
sleep 3  # start-up is not what is measured

ticks() {  # utime + stime of the program, in clock ticks
  awk '{ print $14 + $15 }' "/proc/$app/stat"
}
kill -0 $app 2>/dev/null || { cat "$work/roarmark.log"; echo "roarmark ended early"; exit 1; }
before=$(ticks)
sleep "$seconds"
kill -0 $app 2>/dev/null || { cat "$work/roarmark.log"; echo "roarmark ended early"; exit 1; }
after=$(ticks)
hz=$(getconf CLK_TCK)
awk -v t=$((after - before)) -v hz="$hz" -v s="$seconds" \
  'BEGIN { printf "roarmark CPU over %d s full screen 1920x1080: %.2f %% of one core (target <= 5 %%)\n", s, 100 * t / hz / s }'
