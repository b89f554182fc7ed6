#!/usr/bin/env bash
# Runs one scenario in a fresh working folder and compares its output (and exit status, when a
# NAME.status file gives one, and standard error, when a NAME.err file gives it) with the
# expected files. A NAME.prep script runs first in that folder with SCENARIO set to the script's
# path: it puts recordings in place and may work out the expected output itself
# (expected.out), which then takes the place of NAME.out.
set -u
tool=$1
script=$2
expected=${script%.sim}.out
status_file=${script%.sim}.status
err_file=${script%.sim}.err
prep=${script%.sim}.prep
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cd "$work" || exit 1
if [ -f "$prep" ]; then
  if ! SCENARIO=$script bash -euo pipefail "$prep" >prep.log 2>&1; then
    echo "setting up the scenario failed:"
    cat prep.log
    exit 1
  fi
  [ -f expected.out ] && expected=$work/expected.out
fi
"$tool" "$script" >actual.out 2>actual.err
status=$?
want_status=0
[ -f "$status_file" ] && want_status=$(cat "$status_file")
fail=0
if ! diff -u "$expected" actual.out; then fail=1; fi
if [ "$status" != "$want_status" ]; then
  echo "exit status $status, expected $want_status"
  fail=1
fi
if [ -f "$err_file" ] && ! diff -u "$err_file" actual.err; then fail=1; fi
if [ $fail = 1 ] || [ -s actual.err ]; then
  echo "--- standard error:"
  cat actual.err
fi
exit $fail
