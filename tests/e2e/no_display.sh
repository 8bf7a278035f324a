#!/usr/bin/env bash
# With no display named at all, the game ends at once with status 1 and says why in one line.
# Run as: no_display.sh GAME
set -u
game=$1
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
# XDG_RUNTIME_DIR keeps the Wayland library from complaining on stderr as it finds no server.
env -u DISPLAY -u WAYLAND_DISPLAY -u SDL_VIDEODRIVER -u SDL_RENDER_DRIVER SDL_AUDIODRIVER=dummy \
  XDG_RUNTIME_DIR="$work" XDG_CONFIG_HOME="$work/config" timeout 20 "$game" 2>"$work/err"
status=$?
if [[ $status -ne 1 ]] || [[ $(wc -l <"$work/err") -ne 1 ]] ||
  ! grep -q '^crateworks: cannot open a window: .' "$work/err"; then
  echo "FAIL (no_display): status $status (not 1), stderr (not one line naming the window):"
  cat "$work/err"
  exit 1
fi
echo "ok (no_display): $(cat "$work/err")"
