# Shared by the wine tests: the prefix made once per build (by wine_prefix.sh) and how to run a
# Windows program in it. Sourced; sets WINEPREFIX and defines wine_ready and run_wine.
. "$(dirname "${BASH_SOURCE[0]}")/../skip_test.sh"
export WINEPREFIX=${ROARMARK_WINEPREFIX:?the prefix folder}
export WINEDLLOVERRIDES="mscoree,mshtml="
export WINEDEBUG=${WINEDEBUG:--all}
# wine64's own paths: the wrappers on PATH come with the "wine" package, which may be missing.
WINE=/usr/lib/wine/wine64
WINESERVER=/usr/lib/wine/wineserver64

# Skips (fails under CI) with the reason when wine or the prefix is not there.
wine_ready() {
  if [ ! -x "$WINE" ]; then
    skip_test "$WINE is not installed (apt-get install wine64)"
  fi
  if [ ! -f "$WINEPREFIX/system.reg" ]; then
    skip_test "wine could not make its prefix $WINEPREFIX (see wine_prefix.log beside it)"
  fi
}

# The desktop checks' stage, with a wine server of their own: one left by an earlier test keeps
# its desktop, made without a screen, and the program's windows would go there. None is left
# holding this test's screen either.
. "$(dirname "${BASH_SOURCE[0]}")/../stage.sh"
wine_server_stop() {
  "$WINESERVER" -k 2>/dev/null
  "$WINESERVER" -w 2>/dev/null
}
wine_stage_begin() {  # NAME
  wine_server_stop
  stage_begin "$1"
  trap 'stage_end; wine_server_stop' EXIT
}

# The data folder in the prefix (the common application data folder), made afresh.
wine_data_folder() {
  rm -rf "$WINEPREFIX/drive_c/ProgramData/Quillmoor"
  stage_data_folder "$WINEPREFIX/drive_c/ProgramData/Quillmoor/Roarmark"
}
