#!/usr/bin/env bash
# The Windows installer under wine: installed silently (/S) into Program Files with everything
# the zip holds, a Start-menu entry and an uninstaller; the installed replay plays a scenario
# with nothing but what the installer put beside it; the uninstaller (/S) takes away all it put.
# Run as: windows_installer.sh INSTALLER ZIP WINE_RUN SCENARIOS_DIR
set -u
installer=$1
zip=$2
wine_run=$3
scenarios=$4
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
fail() {
  echo "FAIL (windows_installer): $*"
  exit 1
}

prefix=${CW_WINEPREFIX:-$(cd "$(dirname "$wine_run")/.." && pwd)/build-windows/wine}
drive=$prefix/drive_c
dir="$drive/Program Files/Crateworks"
menu="$drive/ProgramData/Microsoft/Windows/Start Menu/Programs/Crateworks"
key='HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall\Crateworks'
# What the prefix holds outside its system folders and its users' temporary files.
snapshot() {
  (cd "$drive" && find . -path ./windows -prune -o -path './users/*/Temp' -prune -o -print |
    sort)
}
registered() { "$wine_run" reg query "$key" >/dev/null 2>&1; }

[[ -e $dir ]] && fail "Crateworks is installed already in $dir"
snapshot >"$work/before"
"$wine_run" "$installer" /S || fail "the installer ended with status $?"

# Every file of the zip, the same bytes, and the uninstaller.
unzip -q "$zip" -d "$work/zip" || fail "cannot unpack $zip"
top=$(echo "$work"/zip/*)
while IFS= read -r file; do
  cmp -s "$top/$file" "$dir/$file" || fail "installed $file differs from the zip's, or is missing"
done < <(cd "$top" && find . -type f | sed 's|^\./||')
[[ -f $dir/Uninstall.exe ]] || fail "no uninstaller"
[[ -f $menu/Crateworks.lnk ]] || fail "no Start-menu entry"
grep -aq 'crateworks\.exe' "$menu/Crateworks.lnk" || fail "the Start-menu entry starts something else"
"$wine_run" reg query "$key" /v DisplayName | grep -q 'Crateworks' ||
  fail "not among the installed programs"

# The installed replay, without the build's libraries on its path (a clean WINEPATH).
scn=$scenarios/keyremap_dialog.scn
(cd "$work" && WINEPATH= "$wine_run" 'C:\Program Files\Crateworks\crateworks-replay.exe' "$scn" \
  >"$work/out" 2>"$work/err") || fail "the installed replay: $(cat "$work/err")"
diff -u "${scn%.scn}.out" "$work/out" || fail "the installed replay printed otherwise"

# The uninstaller runs from a copy of itself in the temporary folder and returns at once.
"$wine_run" 'C:\Program Files\Crateworks\Uninstall.exe' /S || fail "the uninstaller: status $?"
for _ in $(seq 100); do
  [[ -e $dir || -e $menu ]] || registered || break
  sleep 0.2
done
[[ -e $dir ]] && fail "left behind: $(cd "$dir" && find . | head -5 | tr '\n' ' ')"
[[ -e $menu ]] && fail "the Start-menu entry is left"
registered && fail "still among the installed programs"
snapshot >"$work/after"
diff -u "$work/before" "$work/after" || fail "the uninstaller left the prefix changed"
echo "ok (windows_installer)"
