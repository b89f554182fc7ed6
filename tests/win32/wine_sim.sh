#!/usr/bin/env bash
# roarmark-sim.exe under wine, as run_scenario.sh runs a scenario tool: the script as the one
# argument, exit status kept, Windows line ends turned back into line feeds.
. "$(dirname "$0")/wine_env.sh"
wine_ready
"$WINE" "${ROARMARK_SIM_EXE:?the roarmark-sim.exe to run}" "$@" >wine.out 2>wine.err
status=$?
tr -d '\r' <wine.out
tr -d '\r' <wine.err >&2
rm -f wine.out wine.err
exit $status
