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

. "$(dirname "$0")/../stage.sh"
stage_sound || { echo "no sound server"; exit 1; }
stage_screen 241 1920x1080 || { echo "no virtual screen"; exit 1; }

export XDG_DATA_HOME=$work/data
port=$((20000 + RANDOM % 20000))
"$roarmark" --remote 127.0.0.1:$port >"$work/roarmark.log" 2>&1 &
pids+=($!)
stage_wait_port "$port" || { cat "$work/roarmark.log"; echo "the program does not listen"; exit 1; }

# Run from the folder npm installed into, so the test finds playwright-core beside it.
node "$node_folder/browser_test.mjs" "http://127.0.0.1:$port" "$shots"
status=$?
[ $status = 0 ] || { echo "--- program log"; cat "$work/roarmark.log"; }
exit $status
