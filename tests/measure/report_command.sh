#!/usr/bin/env bash
# roarmark --report LOG.csv: the report of a show log beside it, exit 0 and its path printed; a
# log that cannot be read exits 1 with the reason, a missing argument 2.
set -u
roarmark=$1
dir=$(mktemp -d)
trap 'rm -rf "$dir"' EXIT
log="$dir/Show Log 0007.csv"
{
  echo "Time,LAeq 1s,LAFmax,LCpeak,Level,Readout,LAeq Limit Period,Limit,Limit Minutes,Input"
  for s in $(seq 0 119); do
    printf '0:%02d:%02d,95.0,97.0,101.0,60.0,"95,0 dB(A)",95.0,100.0,15,ok\n' $((s / 60)) $((s % 60))
  done
  echo "0:02:00,,,,,,,100.0,15,lost"
} >"$log"
fail=0
out=$("$roarmark" --report "$log" 2>&1)
status=$?
[ $status -eq 0 ] || { echo "exit $status: $out"; fail=1; }
[ "$out" = "$dir/Show Log 0007.png" ] || { echo "printed: $out"; fail=1; }
kind=$(file -b "$dir/Show Log 0007.png")
case $kind in
  "PNG image data, 1280 x 720,"*) ;;
  *) echo "written: $kind"; fail=1 ;;
esac
out=$("$roarmark" --report "$dir/none.csv" 2>&1)
status=$?
[ $status -eq 1 ] && [[ $out == *"cannot read $dir/none.csv"* ]] || { echo "missing log: exit $status: $out"; fail=1; }
"$roarmark" --report >/dev/null 2>&1
status=$?
[ $status -eq 2 ] || { echo "no log named: exit $status"; fail=1; }
exit $fail
