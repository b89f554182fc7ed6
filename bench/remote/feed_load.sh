#!/usr/bin/env bash
# The feed under load: the desktop program full screen with a moving tone and its remote on
# loopback, measured in pairs of runs of SECONDS each, first without clients and then with 50
# WebSocket clients plus one that never reads. Every reading client must get at least 39
# messages a second; the program's resident memory must stay flat through the loaded run; and
# its CPU time (user + system, from /proc) may rise by at most 2 % of one core over the run
# without clients. The pairs run back to back in one program, so other work on the machine
# falls on both halves alike; ROUNDS=N takes N pairs and prints the median rise.
# Usage: feed_load.sh [PATH_TO_ROARMARK] [SECONDS] [PATH_TO_LOAD_CLIENT]
set -u
rounds=${ROUNDS:-1}
here=$(cd "$(dirname "$0")" && pwd)
roarmark=${1:-$here/../../build/src/platform/qt/roarmark}
seconds=${2:-60}
client=${3:-$(dirname "$roarmark")/../../../bench/remote/roarmark_feed_load}

for tool in Xvfb pulseaudio pactl sox xdotool convert; do
  command -v "$tool" >/dev/null 2>&1 || { echo "$tool is not installed"; exit 2; }
done
[ -x "$roarmark" ] || { echo "no program at $roarmark"; exit 2; }
[ -x "$client" ] || { echo "no load client at $client"; exit 2; }

work=$(mktemp -d /tmp/roarmark-feed-load.XXXXXX)
pids=()
cleanup() {
  for pid in "${pids[@]}"; do kill "$pid" 2>/dev/null; done
  for pid in "${pids[@]}"; do wait "$pid" 2>/dev/null; done
  rm -rf "$work"
}
trap cleanup EXIT

. "$here/../../tests/remote/stage.sh"
stage_sound || { echo "no sound server"; exit 2; }
stage_screen 191 1920x1080 || { echo "no virtual screen"; exit 2; }

export XDG_DATA_HOME=$work/data
folder=$XDG_DATA_HOME/Quillmoor/Roarmark
mkdir -p "$folder/Files" "$folder/Help"
convert -size 1920x1080 gradient:navy-black -type TrueColor "BMP3:$folder/Files/Graphic.bmp"
printf '[Input]\r\nDevice Name=RoarMic\r\n[Form]\r\nFullScreen=1\r\nFitScreen=1\r\nStyle=1\r\nMeter Position X=200\r\nMeter Position Y=1000\r\nMeter Width=120\r\nMeter Height=900\r\nReadout Position X=1500\r\nReadout Position Y=100\r\nFontSize=48\r\n' \
  >"$folder/Roarmark.ini"

sox -n -t pulseaudio roar synth $(((2 * seconds + 10) * rounds + 30)) sine 1000 tremolo 0.7 90 \
  >"$work/sox.log" 2>&1 &
pids+=($!)

port=$((20000 + RANDOM % 20000))
"$roarmark" --remote 127.0.0.1:$port >"$work/roarmark.log" 2>&1 &
app=$!
pids+=($app)
stage_wait_port "$port" || { cat "$work/roarmark.log"; echo "the program does not listen"; exit 1; }
sleep 2  # the capture starts

hz=$(getconf CLK_TCK)
ticks() { awk '{ print $14 + $15 }' "/proc/$app/stat"; }
rss_kb() { awk '/^VmRSS/ { print $2 }' "/proc/$app/status"; }
share() { awk -v t="$1" -v hz="$hz" -v s="$seconds" 'BEGIN { printf "%.2f", 100 * t / hz / s }'; }

status=0
rises=()
for round in $(seq "$rounds"); do
  t0=$(ticks)
  sleep "$seconds"
  t1=$(ticks)
  quiet=$(share $((t1 - t0)))

  "$client" "$port" 50 "$seconds" 39 >"$work/client.log" 2>&1 &
  load=$!
  sleep 1.5  # the clients connect and settle before the counted run
  t2=$(ticks)
  rss_first=$(rss_kb)
  rss_max=$rss_first
  for _ in $(seq "$seconds"); do
    sleep 1
    rss=$(rss_kb)
    [ "$rss" -gt "$rss_max" ] && rss_max=$rss
  done
  t3=$(ticks)
  rss_last=$(rss_kb)
  loaded=$(share $((t3 - t2)))
  wait $load
  client_status=$?
  tail -n 1 "$work/client.log"
  [ $client_status = 0 ] || { echo "round $round: a client got too few messages"; status=1; }
  rise=$(awk -v a="$loaded" -v b="$quiet" 'BEGIN { printf "%.2f", a - b }')
  rises+=("$rise")
  growth=$((rss_last - rss_first))
  printf 'round %d: CPU %s %% of one core without clients, %s %% with them: rise %s %% (target <= 2)\n' \
    "$round" "$quiet" "$loaded" "$rise"
  printf 'round %d: resident memory %d kB at the start of the loaded run, %d kB at its end, %d kB at most\n' \
    "$round" "$rss_first" "$rss_last" "$rss_max"
  # Flat: no more than 2 MB above where the loaded run started (threads' stacks are in already).
  [ "$growth" -le 2048 ] || { echo "round $round: memory grew by $growth kB"; status=1; }
  kill -0 $app 2>/dev/null || { cat "$work/roarmark.log"; echo "the program ended"; exit 1; }
done
median=$(printf '%s\n' "${rises[@]}" | sort -n |
  awk '{ v[NR] = $1 } END { printf "%.2f", NR % 2 ? v[(NR + 1) / 2] : (v[NR / 2] + v[NR / 2 + 1]) / 2 }')
echo "median CPU rise over $rounds pair(s): $median % of one core (target <= 2)"
awk -v m="$median" 'BEGIN { exit !(m <= 2) }' || status=1
exit $status
