#!/usr/bin/env bash
# The files installed for the desktop pass Debian's validators: the desktop entry
# (desktop-file-validate), the AppStream metadata (appstreamcli), and both manual pages (man
# --warnings); and each manual page lists every option that its program's --help lists, so that
# an option added to a program's table cannot be left out of its page.
# Run as: install_files.sh PACKAGING_SOURCE_DIR PACKAGING_BUILD_DIR GAME REPLAY
set -u
src=$1 out=$2 game=$3 replay=$4
for tool in desktop-file-validate appstreamcli man; do
  command -v $tool >/dev/null || { echo "skipped: $tool is not installed"; exit 77; }
done
fail=0

desktop-file-validate "$src"/*.desktop || { echo "FAIL: desktop-file-validate"; fail=1; }
appstreamcli validate --no-net "$out"/*.metainfo.xml >"$out/appstream.log" 2>&1 ||
  { echo "FAIL: appstreamcli validate:"; cat "$out/appstream.log"; fail=1; }

for prog in "$game" "$replay"; do
  page=$out/$(basename "$prog").6
  warnings=$(LC_ALL=C.UTF-8 MANWIDTH=80 man --warnings=w -l "$page" 2>&1 >/dev/null)
  [[ -z $warnings ]] || { echo "FAIL: man --warnings=w $page:"; echo "$warnings"; fail=1; }
  text=$(LC_ALL=C.UTF-8 MANWIDTH=200 man -l "$page" 2>/dev/null)
  options=$("$prog" --help | grep -oE '^ +(-[a-zA-Z], )?--[a-z][a-z-]*' | grep -oE -- '--[a-z-]+')
  [[ -n $options ]] || { echo "FAIL: $prog --help lists no option"; fail=1; }
  for o in $options; do
    grep -qE -- "(^|[ ,])$o([ =,]|$)" <<<"$text" || {
      echo "FAIL: $page does not list $o"; fail=1; }
  done
done
((fail == 0)) && echo "ok (install files)"
exit $fail
