#!/usr/bin/env bash
# Makes the wine prefix the Windows tests share (about 15 s, once per build folder). Never fails:
# a prefix wine cannot make turns the tests that need it into skips that say why.
export ROARMARK_WINEPREFIX=$1
. "$(dirname "$0")/wine_env.sh"
if [ -f "$WINEPREFIX/system.reg" ]; then exit 0; fi
[ -x "$WINE" ] || exit 0
mkdir -p "$(dirname "$WINEPREFIX")"
xvfb-run -a "$WINE" wineboot -i >"$WINEPREFIX.log" 2>&1 || echo "wineboot failed, see $WINEPREFIX.log"
# wineboot returns before the registry is written out.
"$WINESERVER" -w 2>/dev/null || true
exit 0
