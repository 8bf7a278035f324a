#!/usr/bin/env bash
# With no display named at all, or only a Wayland one that cannot be reached, the game ends at
# once with status 1 and says why in one line: ours alone, even without XDG_RUNTIME_DIR (where
# the Wayland library would add its own complaint, were it asked).
# Run as: no_display.sh GAME
set -u
game=$1
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
for wayland in "" wayland-cw-none; do
  env -u DISPLAY -u WAYLAND_DISPLAY -u SDL_VIDEODRIVER -u SDL_RENDER_DRIVER -u XDG_RUNTIME_DIR \
    ${wayland:+WAYLAND_DISPLAY=$wayland} SDL_AUDIODRIVER=dummy XDG_CONFIG_HOME="$work/config" \
    timeout 20 "$game" 2>"$work/err"
  status=$?
  if [[ $status -ne 1 ]] || [[ $(wc -l <"$work/err") -ne 1 ]] ||
    ! grep -q '^crateworks: cannot open a window: .' "$work/err"; then
    echo "FAIL (no_display${wayland:+, WAYLAND_DISPLAY=$wayland}): status $status (not 1)," \
      "stderr (not one line naming the window):"
    cat "$work/err"
    exit 1
  fi
done
echo "ok (no_display): $(cat "$work/err")"
