#!/usr/bin/env bash
# roarmark.exe's remote under wine: the program hears a tone and serves its feed and commands on
# loopback (--remote); a WebSocket client (node's) reads the feed and sends commands.
# Usage: roarmark_wine_remote.sh PATH_TO_ROARMARK_EXE
set -u
exe=$1
here=$(cd "$(dirname "$0")" && pwd)
. "$here/wine_env.sh"
wine_ready
export WINEDEBUG=err+all,fixme-all

for tool in Xvfb pulseaudio pactl sox xdotool convert node; do
  command -v "$tool" >/dev/null 2>&1 || { echo "FAIL: $tool is not installed"; exit 1; }
done

wine_stage_begin wine-remote
fail() {
  echo "FAIL: $*"
  [ -f "$work/roarmark.log" ] && tail -20 "$work/roarmark.log"
  exit 1
}

stage_sound || fail "no sound server"
stage_screen 191 1280x1024 || fail "no virtual screen"

wine_data_folder
stage_settings FitScreen=0 cal=0
stage_picture 800x600 'xc:rgb(32,48,64)'

sox -n -t pulseaudio roar synth 120 sine 1000 gain -6 >"$work/sox.log" 2>&1 &
pids+=($!)
port=$((20000 + RANDOM % 20000))
"$WINE" "$exe" --remote "127.0.0.1:$port" >"$work/roarmark.log" 2>&1 &
app=$!
pids+=($app)
listening=
for _ in $(seq 600); do
  (exec 3<>"/dev/tcp/127.0.0.1/$port") 2>/dev/null && listening=1 && break
  kill -0 $app 2>/dev/null || fail "roarmark.exe ended"
  sleep 0.1
done
[ -n "$listening" ] || fail "roarmark.exe does not listen on $port"
sleep 3  # the capture starts and the meter settles on the tone
node --experimental-websocket --no-warnings "$here/remote_probe.mjs" "$port" || fail "the remote probe failed"
