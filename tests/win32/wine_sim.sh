#!/usr/bin/env bash
# roarmark-sim.exe under wine, as run_scenario.sh runs a scenario tool: the script as the one
# argument, exit status kept, Windows line ends turned back into line feeds.
#
# The data folder's paths are built with backslashes on Windows, and the expected output is the
# Linux one: in a path below the scenario's "work" folder every separator is turned into '/'
# (a quoted text prints it as an escaped "\\", anything else as a bare "\"); the folder a script
# names may go on below "work" with '/' ("work/Jörg"). Other backslashes,
# such as the escapes "\n" and "\r" of a quoted text, stay as they are.
. "$(dirname "$0")/wine_env.sh"
wine_ready
"$WINE" "${ROARMARK_SIM_EXE:?the roarmark-sim.exe to run}" "$@" >wine.out 2>wine.err
status=$?
slashes() {
  tr -d '\r' | perl -pe '
    s{("(?:[^"\\]|\\.)*")|([^"]+)}{
      my ($quoted, $bare) = ($1, $2);
      if (defined $quoted) { $quoted =~ s{(work(?:(?:\\\\|/)[^"\\]*)+)}{ (my $p = $1) =~ s{\\\\}{/}g; $p }ge; $quoted }
      else { $bare =~ s{(work(?:[\\/][^"\\]*)+)}{ (my $p = $1) =~ s{\\}{/}g; $p }ge; $bare }
    }ge'
}
slashes <wine.out
slashes <wine.err >&2
rm -f wine.out wine.err
exit $status
