#!/usr/bin/env bash
# The setup dialog of the desktop program keeps what is typed on OK: under a real window manager
# (openbox), Ctrl+S opens the dialog, -12 and 5 are typed into the 0 dB reference and decay
# fields and OK is clicked. "Roarmark.ini" then holds them, and the reopened dialog shows them
# (its two fields look as they did after typing, not as they did at first), and a second OK
# keeps them. Where another window or the reopened dialog covered the display, the display shows
# again as it was (the meter is still in the silence).
# With "without-shared-memory" the X server offers no MIT-SHM, as a server on another machine
# cannot: the program must then paint through Qt, and every check holds the same.
# Usage: setup_ok_end_to_end.sh PATH_TO_ROARMARK [SCREENSHOT_FOLDER] [without-shared-memory]
set -u
. "$(dirname "$0")/../skip_test.sh"
roarmark=$1
shots=${2:-}
server_options=()
[ "${3:-}" = without-shared-memory ] && server_options=(-extension MIT-SHM)

for tool in Xvfb openbox pulseaudio pactl xdotool xwininfo xdpyinfo xlogo convert compare; do
  if ! command -v "$tool" >/dev/null 2>&1; then
    skip_test "$tool is not installed"
  fi
done

. "$(dirname "$0")/../stage.sh"
stage_begin setup-ok

fail() {
  echo "FAIL: $*"
  [ -f "$work/roarmark.log" ] && sed 's/^/  roarmark: /' "$work/roarmark.log"
  [ -f "$ini" ] && sed 's/^/  Roarmark.ini: /' "$ini"
  exit 1
}

stage_sound_server || skip_test "$stage_why"
stage_roarmic >/dev/null || fail "$stage_why"
mkdir "$work/fb"
stage_screen 210 1920x1080 -fbdir "$work/fb" "${server_options[@]}" || skip_test "$stage_why"
if [ ${#server_options[@]} -gt 0 ] && xdpyinfo -queryExtensions 2>/dev/null | grep -q MIT-SHM; then
  fail "the X server still offers MIT-SHM"
fi
stage_openbox

stage_data_folder
ini=$folder/Roarmark.ini
stage_settings cal=-6 decay=2 FullScreen=0 FitScreen=0
stage_picture 800x600 'xc:rgb(32,48,64)'

screenshot() {  # NAME, with the pointer out of the way
  xdotool mousemove 5 1075
  sleep 0.3
  convert "xwd:$work/fb/Xvfb_screen0" "$work/$1.png" || fail "no screenshot"
  if [ -n "$shots" ]; then mkdir -p "$shots" && cp "$work/$1.png" "$shots/setup-ok-$1.png"; fi
}
dialog_id() { xdotool search --onlyvisible --name '^Roarmark Setup$' 2>/dev/null | head -1; }
dialog_shown() { [ -n "$(dialog_id)" ]; }
dialog_gone() { ! dialog_shown; }
key() {  # KEY [MODIFIER]
  if [ -n "${2:-}" ]; then
    xdotool keydown "$2" keydown "$1" keyup "$1" keyup "$2"
  else
    xdotool keydown "$1" keyup "$1"
  fi
}
open_dialog() {
  key s ctrl
  wait_for 10 dialog_shown || fail "Ctrl+S opened no setup dialog"
  sleep 1
  # The client area's place on the screen (xdotool's geometry counts the frame twice).
  local info
  info=$(xwininfo -id "$(dialog_id)")
  dialog_x=$(awk '/Absolute upper-left X/ { print $4 }' <<<"$info")
  dialog_y=$(awk '/Absolute upper-left Y/ { print $4 }' <<<"$info")
}
click() {  # X Y in the dialog's client area
  xdotool mousemove $((dialog_x + $1)) $((dialog_y + $2)) click 1
  sleep 0.2
}
type_into() {  # X Y TEXT: replaces the field's text
  click "$1" "$2"
  key a ctrl
  key BackSpace
  xdotool type --delay 50 -- "$3"
  sleep 0.2
}
# The reference and decay fields, 60 x 22 each, in the dialog's client area.
fields() {  # NAME: the two fields cut from screenshot NAME
  convert "$work/$1.png" -crop "60x22+$((dialog_x + 168))+$((dialog_y + 129))" +repage \
    "$work/$1-edit1.png"
  convert "$work/$1.png" -crop "60x22+$((dialog_x + 168))+$((dialog_y + 207))" +repage \
    "$work/$1-edit2.png"
}
differing() {  # A B: the number of pixels that differ
  compare -metric AE "$1" "$2" null: 2>&1 | cut -d' ' -f1
}
stored() { tr -d '\r' <"$ini" | grep -qx "$1"; }
press_ok() {
  click 732 498
  wait_for 10 dialog_gone || fail "OK did not close the setup dialog"
  sleep 1
}

"$roarmark" >"$work/roarmark.log" 2>&1 &
app=$!
pids+=($app)
wait_for 15 bash -c "xdotool search --onlyvisible --name '^Roarmark$' >/dev/null 2>&1" ||
  fail "no Roarmark window"
sleep 2
main_info=$(xwininfo -id "$(xdotool search --onlyvisible --name '^Roarmark$' | head -1)")
main_client=$(awk '/^ *Width:/ { w = $2 } /^ *Height:/ { h = $2 }
  /Absolute upper-left X/ { x = $4 } /Absolute upper-left Y/ { y = $4 }
  END { print w "x" h "+" x "+" y }' <<<"$main_info")
display() {  # NAME: the main window's client area cut from a new screenshot NAME
  screenshot "$1"
  convert "$work/$1.png" -crop "$main_client" +repage "$work/$1-display.png"
}

# Another program's window over the display, then gone.
display shown
read -r _ main_x main_y <<<"${main_client//+/ }"
xlogo -geometry "300x300+$((main_x + 100))+$((main_y + 100))" &
covering=$!
pids+=($covering)
wait_for 10 bash -c "xdotool search --onlyvisible --name '^xlogo$' >/dev/null 2>&1" ||
  fail "no window to cover the display with"
sleep 0.5
display covered
[ "$(differing "$work/shown-display.png" "$work/covered-display.png")" -gt 0 ] ||
  fail "the other window did not cover the display"
kill $covering
wait $covering 2>/dev/null
display uncovered
uncovered=$(differing "$work/shown-display.png" "$work/uncovered-display.png")
echo "display after a window over it went: $uncovered pixels differ"
[ "$uncovered" -eq 0 ] || fail "the display did not show again where a window covered it"

open_dialog
screenshot first
fields first
type_into 198 140 "-12"
type_into 198 218 "5"
key Tab  # out of the decay field, so neither field shows a cursor
sleep 0.5
screenshot typed
fields typed
[ "$(differing "$work/first-edit1.png" "$work/typed-edit1.png")" -gt 0 ] ||
  fail "typing -12 did not change the reference field"
press_ok
stored "cal=-12" || fail "OK did not store the typed reference -12"
display closed
stored "decay=5" || fail "OK did not store the typed decay 5"

open_dialog
screenshot reopened
fields reopened
for field in edit1 edit2; do
  same=$(differing "$work/typed-$field.png" "$work/reopened-$field.png")
  echo "reopened $field: $same pixels differ from the typed field"
  [ "$same" -eq 0 ] || fail "the reopened dialog does not show the typed $field"
done
press_ok
stored "cal=-12" && stored "decay=5" || fail "a second OK lost the reference or the decay"
display closed-again
uncovered=$(differing "$work/closed-display.png" "$work/closed-again-display.png")
echo "display after the dialog closed again: $uncovered pixels differ"
[ "$uncovered" -eq 0 ] || fail "the display did not show again where the dialog covered it"

key x ctrl
wait_for 5 bash -c "! kill -0 $app 2>/dev/null" || fail "Ctrl+X did not close roarmark"
echo "PASS"
