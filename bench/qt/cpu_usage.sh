#!/usr/bin/env bash
# CPU time of the desktop program showing the meter full screen at 1920x1080 over a 1920x1080
# picture while a crowd roars: a private sound server and virtual screen, then the program's own
# user+system time (from /proc) as a share of one core, for each of four layouts: vertical bars
# 120x900, horizontal bars 1700x150 and the analogue meter 1200x600, each with a 48 pt readout
# elsewhere on the picture, and a 240 pt readout alone. Target: at most 1 %.
# Usage: cpu_usage.sh [PATH_TO_ROARMARK] [SECONDS] [OTHER_ROARMARK ...]
# Further programs (an older build, say) are measured in the same run, layout by layout, so their
# figures compare. ROUNDS=N measures each N times, the programs taking turns, and also prints
# the median of each: on a virtual machine one run can be off by a few tenths.
# SIGNAL=crowd (the default) is pink noise swelling and falling about the middle of the scale,
# so the bars, the needle and the readout all keep moving as they do at a show; SIGNAL=tone is a
# 1 kHz tone that pins the meter near the top. LAYOUTS="3 4" measures only those layouts (by
# number, 1 to 4). SHOTS=FOLDER keeps a screenshot of each measurement, taken at its end.
# SYSCALLS=1 also counts the program's system calls during each measurement (strace, all its
# threads) and prints them per capture buffer (40.09 a second); the CPU share is then not the
# program's alone.
set -u
rounds=${ROUNDS:-1}
signal=${SIGNAL:-crowd}
case $signal in
  crowd | tone) ;;
  *)
    echo "SIGNAL is crowd or tone, not $signal"
    exit 2
    ;;
esac
roarmark=${1:-$(dirname "$0")/../../build/src/platform/qt/roarmark}
seconds=${2:-60}
programs=("$roarmark" "${@:3}")

tools=(Xvfb pulseaudio pactl sox xdotool convert)
[ -n "${SYSCALLS:-}" ] && tools+=(strace)
[ -n "${SHOTS:-}" ] && tools+=(import)
for tool in "${tools[@]}"; do
  command -v "$tool" >/dev/null 2>&1 || { echo "$tool is not installed"; exit 2; }
done
for program in "${programs[@]}"; do
  [ -x "$program" ] || { echo "no program at $program"; exit 2; }
done

# name | Style | meter X Y W H | readout X Y | font size
layouts=(
  "vertical bars 120x900|1|200 1000 120 900|1500 100|48"
  "horizontal bars 1700x150|2|110 1050 1700 150|900 100|48"
  "analogue meter 1200x600|3|360 900 1200 600|100 80|48"
  "240 pt readout alone|1|0 0 0 0|600 300|240"
)
if [ -n "${LAYOUTS:-}" ]; then
  chosen=()
  for n in $LAYOUTS; do
    [[ $n =~ ^[1-4]$ ]] || { echo "LAYOUTS takes numbers 1 to 4, not $n"; exit 2; }
    chosen+=("${layouts[$((n - 1))]}")
  done
  layouts=("${chosen[@]}")
fi

. "$(dirname "$0")/../../tests/stage.sh"
stage_begin cpu
stop() { echo "$*"; exit 2; }

stage_sound_server || stop "$stage_why"
stage_roarmic >/dev/null || stop "$stage_why"
stage_screen 141 1920x1080 || stop "$stage_why"

stage_data_folder
stage_picture 1920x1080 gradient:navy-black || stop "$stage_why"

total=$(((seconds + 5) * ${#layouts[@]} * ${#programs[@]} * rounds + 30))
if [ "$signal" = tone ]; then
  # An amplitude-modulated tone near full scale.
  sox -n -t pulseaudio roar synth "$total" sine 1000 tremolo 0.7 90 >"$work/sox.log" 2>&1 &
else
  # A crowd: pink noise 14 dB down, swelling and falling over six seconds with a quicker flutter
  # on top, which keeps the meter about the middle of its scale and never still.
  sox -n -t pulseaudio roar synth "$total" pinknoise gain -14 tremolo 0.17 70 tremolo 2.3 35 \
    >"$work/sox.log" 2>&1 &
fi
pids+=($!)

hz=$(getconf CLK_TCK)
status=0
for layout in "${layouts[@]}"; do
  IFS='|' read -r name style meter readout font <<<"$layout"
  read -r mx my mw mh <<<"$meter"
  read -r rx ry <<<"$readout"
  declare -A shares=()
  for round in $(seq "$rounds"); do
  for index in "${!programs[@]}"; do
    program=${programs[$index]}
    stage_settings FullScreen=1 FitScreen=1 "Style=$style" "Meter Position X=$mx" \
      "Meter Position Y=$my" "Meter Width=$mw" "Meter Height=$mh" "Readout Position X=$rx" \
      "Readout Position Y=$ry" "FontSize=$font"
    "$program" >"$work/roarmark.log" 2>&1 &
    app=$!
    sleep 3  # start-up is not what is measured
    if ! kill -0 $app 2>/dev/null; then
      cat "$work/roarmark.log"
      echo "$program ended early"
      status=1
      continue
    fi
    tracer=
    if [ -n "${SYSCALLS:-}" ]; then
      threads=()
      for task in /proc/$app/task/*; do threads+=(-p "${task##*/}"); done
      strace -c -o "$work/strace.txt" "${threads[@]}" 2>/dev/null &
      tracer=$!
      sleep 0.5
    fi
    before=$(awk '{ print $14 + $15 }' "/proc/$app/stat")  # user + system clock ticks
    sleep "$seconds"
    if [ -n "$tracer" ]; then
      kill -INT $tracer 2>/dev/null
      wait $tracer 2>/dev/null
      # strace -c: % time, seconds, usecs/call, calls, [errors,] name.
      awk -v s="$seconds" 'NF >= 5 && $4 ~ /^[0-9]+$/ && $NF ~ /^[a-z_0-9]+$/ {
          if ($NF == "total") { printf "  system calls per buffer: %.1f\n", $4 / (s * 40.09); next }
          if ($4 / (s * 40.09) >= 0.1) printf "    %-20s %6.2f\n", $NF, $4 / (s * 40.09) | "sort -k2 -rn"
        }' "$work/strace.txt"
    fi
    after=$(awk '{ print $14 + $15 }' "/proc/$app/stat" 2>/dev/null)
    if [ -n "${SHOTS:-}" ]; then
      mkdir -p "$SHOTS"
      import -window root "$SHOTS/${name%% *}-$style-$round-$index.png" 2>/dev/null
    fi
    kill $app 2>/dev/null
    wait $app 2>/dev/null
    if [ -z "$after" ]; then
      cat "$work/roarmark.log"
      echo "$program ended early"
      status=1
      continue
    fi
    share=$(awk -v t=$((after - before)) -v hz="$hz" -v s="$seconds" \
      'BEGIN { printf "%.2f", 100 * t / hz / s }')
    shares[$index]="${shares[$index]:-} $share"
    printf '%-26s %6.2f %% of one core over %d s (target <= 1 %%)  %s\n' "$name" "$share" \
      "$seconds" "$program"
  done
  done
  if [ "$rounds" -gt 1 ]; then
    for index in "${!programs[@]}"; do
      median=$(tr ' ' '\n' <<<"${shares[$index]:-}" | grep . | sort -n |
        awk '{ v[NR] = $1 } END { if (NR) printf "%.2f", NR % 2 ? v[(NR + 1) / 2] : (v[NR / 2] + v[NR / 2 + 1]) / 2 }')
      printf '%-26s %6s %% median of %d rounds  %s\n' "$name" "$median" "$rounds" "${programs[$index]}"
    done
  fi
  unset shares
done
exit $status
