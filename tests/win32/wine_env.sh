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
