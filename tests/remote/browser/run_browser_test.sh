#!/usr/bin/env bash
# The browser test's stage: a private sound server whose default microphone hears what the test
# plays, a virtual screen, and the desktop program started fresh (a first start, so the starter
# presets are there) with its remote on loopback; then browser_test.mjs in Debian's chromium.
# Usage: run_browser_test.sh ROARMARK NODE_FOLDER SHOTS (NODE_FOLDER holds browser_test.mjs and
# its node_modules)
set -u
roarmark=$1
node_folder=$2
shots=$3
for tool in Xvfb xdotool pulseaudio pactl sox import compare node; do
  command -v "$tool" >/dev/null 2>&1 || { echo "$tool is not installed"; exit 1; }
done
[ -x /usr/bin/chromium ] || { echo "chromium is not installed"; exit 1; }
[ -d "$node_folder/node_modules/playwright-core" ] || { echo "playwright-core is not installed"; exit 1; }
mkdir -p "$shots"

work=$(mktemp -d /tmp/roarmark-browser.XXXXXX)
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
  source_properties=device.description=RoarMic >/dev/null || { echo "no sound server"; exit 1; }
pactl set-default-source roarmic

display=
for n in $(seq 241 290); do
  if [ ! -e /tmp/.X11-unix/X$n ] && [ ! -e /tmp/.X$n-lock ]; then display=$n; break; fi
done
Xvfb :$display -screen 0 1920x1080x24 -nolisten tcp >"$work/xvfb.log" 2>&1 &
pids+=($!)
export DISPLAY=:$display
for _ in $(seq 50); do xdotool getdisplaygeometry >/dev/null 2>&1 && break; sleep 0.1; done

export XDG_DATA_HOME=$work/data
port=$((20000 + RANDOM % 20000))
"$roarmark" --remote 127.0.0.1:$port >"$work/roarmark.log" 2>&1 &
pids+=($!)
for _ in $(seq 100); do
  (exec 3<>"/dev/tcp/127.0.0.1/$port") 2>/dev/null && break
  sleep 0.1
done

# Run from the folder npm installed into, so the test finds playwright-core beside it.
node "$node_folder/browser_test.mjs" "http://127.0.0.1:$port" "$shots"
status=$?
[ $status = 0 ] || { echo "--- program log"; cat "$work/roarmark.log"; }
exit $status
