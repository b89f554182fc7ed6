#!/usr/bin/env bash
# The backend's unit tests (a GoogleTest program) under wine on a virtual screen with a window
# manager, for the forms they show (without one, wine waits two seconds for every window it
# hides); the program's exit status is the result. A wine server left by an earlier test has a
# desktop without a screen, so a fresh one is started (CTest runs this test alone), and none is
# left holding the screen.
. "$(dirname "$0")/wine_env.sh"
wine_ready
for tool in xvfb-run openbox; do
  if ! command -v "$tool" >/dev/null 2>&1; then
    skip_test "$tool is not installed"
  fi
done
"$WINESERVER" -k 2>/dev/null
"$WINESERVER" -w 2>/dev/null
export WINE
xvfb-run -a -s "-screen 0 1280x1024x24 -nolisten tcp" bash -c '
  openbox >/dev/null 2>&1 &
  wm=$!
  sleep 0.5
  "$WINE" "$@"
  status=$?
  kill $wm
  exit $status' wine_unit "$@"
status=$?
"$WINESERVER" -k 2>/dev/null
"$WINESERVER" -w 2>/dev/null
exit $status
