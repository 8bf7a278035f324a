#!/usr/bin/env bash
# Runs one replay scenario in a fresh folder and compares what it prints with NAME.out.
# Beside NAME.scn: NAME.key (optional) becomes the key file before the run; NAME.status
# (optional) holds the expected exit status (default 0); NAME.err (optional) the expected stderr.
set -u
replay=$(realpath "$1")
scn=$(realpath "$2")
base=${scn%.scn}
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
[ -f "$base.key" ] && cp "$base.key" "$work/crateworks.key"
expected_status=0
[ -f "$base.status" ] && expected_status=$(cat "$base.status")
(cd "$work" && "$replay" "$scn" >"$work/out" 2>"$work/err")
status=$?
fail=0
if [ "$status" != "$expected_status" ]; then
  echo "exit status $status, expected $expected_status"; cat "$work/err"; fail=1
fi
if ! diff -u "$base.out" "$work/out"; then fail=1; fi
if [ -f "$base.err" ] && ! diff -u "$base.err" "$work/err"; then fail=1; fi
exit $fail
