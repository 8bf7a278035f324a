#!/usr/bin/env bash
# The game refuses to start, with one line on stderr and status 1, when its data folder or a
# picture is missing, or no window can be opened.
set -u
bin=$1
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
fail=0

# A copy of the program beside its data, less one picture.
cp "$bin" "$work/crateworks"
cp -r "$(dirname "$bin")/assets" "$work/assets"
rm "$work/assets/omino.png"
SDL_VIDEODRIVER=dummy SDL_AUDIODRIVER=dummy XDG_CONFIG_HOME="$work/config" \
  timeout 20 "$work/crateworks" 2>"$work/err"
status=$?
if [[ $status -ne 1 ]]; then echo "missing picture: status $status, not 1"; fail=1; fi
if [[ $(wc -l <"$work/err") -ne 1 ]] || ! grep -q "omino.png" "$work/err"; then
  echo "missing picture: stderr should be one line naming omino.png:"; cat "$work/err"; fail=1
fi

# A copy of the program with no data beside it, in ../share/crateworks or in the working
# directory: the line names each place looked in.
mkdir -p "$work/alone/bin" "$work/cwd"
cp "$bin" "$work/alone/bin/crateworks"
(cd "$work/cwd" && SDL_VIDEODRIVER=dummy SDL_AUDIODRIVER=dummy XDG_CONFIG_HOME="$work/config" \
  timeout 20 "$work/alone/bin/crateworks" 2>"$work/err")
status=$?
want="crateworks: no data folder (with assets/ and audio/) in $work/alone/bin, \
$work/alone/bin/../share/crateworks, $work/cwd"
if [[ $status -ne 1 || $(cat "$work/err") != "$want" ]]; then
  echo "no data: status $status (not 1), stderr not the places looked in:"; cat "$work/err"; fail=1
fi

# No display at all.
# XDG_RUNTIME_DIR keeps the Wayland library from complaining on stderr as it finds no server.
env -u WAYLAND_DISPLAY -u SDL_VIDEODRIVER DISPLAY=:65000 XDG_RUNTIME_DIR="$work" SDL_AUDIODRIVER=dummy \
  XDG_CONFIG_HOME="$work/config" timeout 20 "$bin" 2>"$work/err"
status=$?
if [[ $status -ne 1 ]]; then echo "no display: status $status, not 1"; fail=1; fi
if [[ $(wc -l <"$work/err") -ne 1 ]] || ! grep -q "^crateworks: cannot open a window: " "$work/err"; then
  echo "no display: stderr should be one line:"; cat "$work/err"; fail=1
fi
exit $fail
