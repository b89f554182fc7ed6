#!/usr/bin/env bash
# The desktop program follows the monitors while it shows full screen on monitor 2: a new
# resolution, monitor 1 pushing monitor 2 aside, monitor 2 unplugged (the window goes to
# monitor 1) and plugged back (the window returns), the other monitor made primary (monitor 1
# is the primary one), both growing, and one monitor made of both outputs (as a video wall is)
# whose right output shrinks. Each time the window covers its monitor exactly. The
# monitors change through RandR on a real X server (Xorg with the dummy video driver): the
# virtual framebuffer server can neither add monitors nor grow its screen.
# Usage: monitor_change_end_to_end.sh PATH_TO_ROARMARK [SCREENSHOT_FOLDER]
set -u
. "$(dirname "$0")/../skip_test.sh"
roarmark=$1
shots=${2:-}

for tool in Xorg xrandr openbox pactl pulseaudio xdotool xwininfo convert import; do
  command -v "$tool" >/dev/null 2>&1 || skip_test "$tool is not installed"
done
[ -e /usr/lib/xorg/modules/drivers/dummy_drv.so ] || skip_test "the dummy video driver is not installed"

. "$(dirname "$0")/../stage.sh"
stage_begin monitors
fail() {
  echo "FAIL: $*"
  xrandr 2>&1 | head -20 | sed 's/^/  xrandr: /'
  [ -f "$work/roarmark.log" ] && sed 's/^/  roarmark: /' "$work/roarmark.log"
  [ -f "$folder/Roarmark.log" ] && sed 's/^/  Roarmark.log: /' "$folder/Roarmark.log"
  exit 1
}

# ---- Sound: one input, "RoarMic"
stage_sound_server || skip_test "$stage_why"
stage_roarmic >/dev/null || fail "no RoarMic"

# ---- Screen: Xorg on a free display number, outputs DUMMY0 and DUMMY1 free to switch
display=$(stage_free_display 90) || skip_test "no free display"
cat >"$work/xorg.conf" <<'EOF'
Section "ServerFlags"
  Option "AutoAddDevices" "false"
  Option "AutoAddGPU" "false"
EndSection
Section "Device"
  Identifier "dummy"
  Driver "dummy"
  VideoRam 65536
EndSection
EOF
mkdir "$work/xorg.conf.d"
Xorg :$display -config "$work/xorg.conf" -configdir "$work/xorg.conf.d" -logfile "$work/xorg.log" \
  -noreset -nolisten tcp -novtswitch >/dev/null 2>&1 &
pids+=($!)
export DISPLAY=:$display
wait_for 10 xrandr --query >/dev/null 2>&1 || skip_test "Xorg did not start (it needs a console)"
for mode in "1920x1080 173.00 1920 2048 2248 2576 1080 1083 1088 1120" \
  "1280x720 74.50 1280 1344 1472 1664 720 723 728 748" \
  "1024x768 63.50 1024 1072 1176 1328 768 771 775 798"; do
  read -r name timing <<<"$mode"
  # shellcheck disable=SC2086
  xrandr --newmode m$name $timing -hsync +vsync || fail "no mode $name"
  { xrandr --addmode DUMMY0 "m$name" && xrandr --addmode DUMMY1 "m$name"; } || fail "no mode $name"
done
xrandr --output DUMMY0 --primary --mode m1920x1080 --pos 0x0 \
  --output DUMMY1 --mode m1280x720 --right-of DUMMY0 || fail "no second monitor"
# The driver counts an output as plugged in from its first mode on, and the server asks it only
# when the outputs are probed: probed now, DUMMY1 is a plugged-in monitor as on real hardware
# (Qt does not report a new size of a monitor it thinks unplugged).
xrandr >/dev/null
stage_openbox

# ---- Data folder: full screen, picture stretched, on monitor 2
stage_data_folder
stage_settings FullScreen=1 FitScreen=1 Monitor=2
stage_picture 1920x1080 gradient:'rgb(32,48,64)-rgb(200,120,40)' || fail "no picture"


"$roarmark" >"$work/roarmark.log" 2>&1 &
app=$!
pids+=($app)
wait_for 15 window_at 1920 0 1280 720 ||
  fail "start: not full screen on monitor 2 (at $(window_geometry))"

# Each change (the xrandr arguments) and where the window must be then: the chosen monitor's
# bounds while it is there, monitor 1's otherwise. Monitor 1 is the primary one.
while IFS='|' read -r what arguments expected; do
  # shellcheck disable=SC2086
  xrandr $arguments || fail "$what: xrandr refused"
  wait_for 10 window_at $expected ||
    fail "$what: the window is at $(window_geometry), not $expected"
  echo "$what: window at $expected"
done <<'EOF'
monitor 2 at 1024x768       |--output DUMMY1 --mode m1024x768                                     |1920 0 1024 768
monitor 1 at 1280x720       |--output DUMMY0 --mode m1280x720 --output DUMMY1 --right-of DUMMY0   |1280 0 1024 768
monitor 2 unplugged         |--output DUMMY1 --off                                                |0 0 1280 720
monitor 2 plugged back      |--output DUMMY1 --mode m1280x720 --right-of DUMMY0                   |1280 0 1280 720
the right one made primary  |--output DUMMY1 --primary                                            |0 0 1280 720
both grown to 1920x1080     |--output DUMMY0 --mode m1920x1080 --output DUMMY1 --mode m1920x1080 --right-of DUMMY0|0 0 1920 1080
one monitor over both       |--setmonitor WALL auto DUMMY0,DUMMY1                                  |0 0 3840 1080
its right output at 1280x720|--output DUMMY1 --mode m1280x720                                     |0 0 3200 1080
taken apart, grown again    |--delmonitor WALL --output DUMMY1 --mode m1920x1080                  |0 0 1920 1080
EOF
kill -0 $app 2>/dev/null || fail "the program ended"
grep -q 'monitors changed: 1, the display on monitor 1$' "$folder/Roarmark.log" ||
  fail "the event log does not tell of the display going to monitor 1"

# Both monitors side by side (3840 x 1080): the display paints the left one, the right one
# shows the bare black root window.
sleep 1
import -window root "$work/monitors.png" || fail "no screenshot"
[ -n "$shots" ] && mkdir -p "$shots" && cp "$work/monitors.png" "$shots/monitor-change.png"
size=$(convert "$work/monitors.png" -format '%wx%h' info:)
[ "$size" = 3840x1080 ] || fail "the screen is $size, not 3840x1080"
brightness() { convert "$work/monitors.png" -crop "$1" +repage -colorspace Gray -format '%[fx:mean]' info:; }
left=$(brightness 1920x1080+0+0)
right=$(brightness 1920x1080+1920+0)
echo "brightness: left monitor $left, right monitor $right"
awk -v l="$left" -v r="$right" 'BEGIN { exit !(l > 0.2 && r < 0.02) }' ||
  fail "the display is not on the left monitor alone (brightness $left and $right)"
echo "PASS"
