#!/usr/bin/env bash
# roarmark.exe's remote under wine: the program hears a tone and serves its feed and commands on
# loopback (--remote); a WebSocket client (node's) reads the feed and sends commands, over HTTP and
# OSC, and the level comes as OSC to a listener (liblo's oscdump) standing in for a lighting desk.
# Then, started again on "[::]" with a PIN, it answers on IPv6 and IPv4 loopback alike.
# Usage: roarmark_wine_remote.sh PATH_TO_ROARMARK_EXE
set -u
exe=$1
here=$(cd "$(dirname "$0")" && pwd)
. "$here/wine_env.sh"
wine_ready
export WINEDEBUG=err+all,fixme-all

for tool in Xvfb pulseaudio pactl sox xdotool convert node oscsend oscdump curl; do
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
osc_port=$((40000 + RANDOM % 10000))
desk_port=$((50000 + RANDOM % 10000))
stage_settings FitScreen=0 cal=0 '[Remote]' "OSC Port=$osc_port" "OSC Target=127.0.0.1:$desk_port"
stage_picture 800x600 'xc:rgb(32,48,64)'

oscdump -L "$desk_port" >"$work/desk.log" 2>&1 &
pids+=($!)
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
node --experimental-websocket --no-warnings "$here/remote_probe.mjs" "$port" "$osc_port" ||
  fail "the remote probe failed"
# The desk heard the level with every buffer: the tone's, well above the middle. oscdump prints
# each message as "TIMETAG PATH TYPES VALUES".
levels=$(awk '$2 == "/roarmark/level" && $3 == "f"' "$work/desk.log" | wc -l)
loud=$(awk '$2 == "/roarmark/level" && $3 == "f" && $4 > 50' "$work/desk.log" | wc -l)
echo "OSC desk: $levels levels, $loud above 50"
[ "$levels" -ge 100 ] && [ "$loud" -ge 50 ] || { tail -5 "$work/desk.log"; fail "no OSC level feed"; }

kill $app
wait $app 2>/dev/null
"$WINESERVER" -w 2>/dev/null
stage_settings FitScreen=0 cal=0 '[Remote]' PIN=1357
port=$((20000 + RANDOM % 20000))
"$WINE" "$exe" --remote "[::]:$port" >"$work/roarmark.log" 2>&1 &
app=$!
pids+=($app)
for host in 127.0.0.1 '[::1]'; do
  status=
  for _ in $(seq 300); do
    status=$(curl -g -s -o /dev/null -w '%{http_code}' -H 'X-Roarmark-Pin: 1357' \
      "http://$host:$port/api/state")
    [ "$status" = 200 ] && break
    kill -0 $app 2>/dev/null || fail "roarmark.exe ended"
    sleep 0.1
  done
  echo "on [::]:$port, $host answers $status"
  [ "$status" = 200 ] || fail "no answer on $host from the remote on [::]"
done
echo "remote under wine passed"
