#!/usr/bin/env bash
# Runs one scenario in a fresh working folder and compares its output (and exit status, when a
# NAME.status file gives one) with the expected files.
set -u
tool=$1
script=$2
expected=${script%.sim}.out
status_file=${script%.sim}.status
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cd "$work" || exit 1
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
if [ $fail = 1 ] || [ -s actual.err ]; then
  echo "--- standard error:"
  cat actual.err
fi
exit $fail
