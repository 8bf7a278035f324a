#!/usr/bin/env bash
# The Windows game under wine, where Windows does things its own way: the window placed on the
# desktop wine reports, the wheel and the middle button on the draggable casing (Windows asks
# the hit test for every button), the size and view remembered in %APPDATA%\Crateworks,
# fullscreen and back, and a game that cannot start saying why in a message box.
# Run as: windows_session.sh GAME SEG_CHECK SHOTS_DIR WINE_RUN, GAME starting crateworks.exe
# beside its data through WINE_RUN (tools/wine-run), E2E_CONFIG_DIR the Unix path of its
# %APPDATA%\Crateworks.
e2e_name=windows_session
source "$(dirname "$0")/lib.sh"
wine_run=$4
[[ -n ${E2E_CONFIG_DIR:-} ]] || fail "E2E_CONFIG_DIR must name the game's settings folder"
conf=$config_dir/crateworks.conf
rm -rf "$config_dir"
start_x
# Wine on a bare X server gives the keys to the window under the pointer: keep it there.
hover() {
  read -r cx cy < <(at_window 40 40)
  xdotool mousemove "$cx" "$cy"
}

# Centred on the screen at 1x, as at power-on.
start_game
[[ $(geometry) == 802x448+239+176 ]] || fail "the window is $(geometry)"
expect_within power-on 3 power-on

# The wheel over the casing: 1.5x about the same centre, remembered.
hover
xdotool click 4
within 5 window_is 1203x672+39+64 || fail "after a wheel step the window is $(geometry)"
check_args=(--scale 1.5)
expect_within wheel-1.5x 3 power-on
grep -qx 'scale = 1.5' "$conf" || fail "the scale is not remembered: $(cat "$conf" 2>&1)"

# The right button on the casing is no menu of the system's, and the middle one changes the view.
read -r cx cy < <(at_window 30 30)
xdotool mousemove "$cx" "$cy" click 3 click 2
within 5 window_is 1203x435 || fail "the screens view's window is $(geometry)"
check_args=(--scale 1.5 --view screens)
expect_within screens 3 power-on
grep -qx 'view = screens' "$conf" || fail "the view is not remembered: $(cat "$conf")"

# F11: the whole screen, and back.
hover
xdotool key F11
within 5 window_is 1280x800+0+0 || fail "fullscreen, the window is $(geometry)"
check_args=(--scale 1.5 --view screens --size 1280x800)
expect_within fullscreen 3 power-on
xdotool key F11
within 5 window_is 1203x435 || fail "after F11 the window is $(geometry)"
hover
quit

# Started again: the screens at 1.5x, as left.
start_game
within 5 window_is 1203x435 || fail "started again, the window is $(geometry)"
check_args=(--scale 1.5 --view screens)
expect_within remembered 3 power-on
hover
quit

# No data beside the program nor in the working directory: the reason on stderr and in a box,
# which waits to be dismissed; then status 1.
mkdir "$work/bare"
cp "$(dirname "$game")"/*.dll "$(dirname "$game")/crateworks.exe" "$work/bare/"
(cd "$work/bare" && exec "$wine_run" ./crateworks.exe) 2>"$work/err" &
pid=$!
box_shown() {
  box=$(xdotool search --onlyvisible --name '^Crateworks$' 2>/dev/null | head -1)
  [[ -n $box ]]
}
within 15 box_shown || fail "no message box for the missing data"
grep -q 'no data folder' "$work/err" || fail "stderr says: $(cat "$work/err")"
shot_count=$((shot_count + 1))
import -window "$box" "$shots/$(printf %02d $shot_count)-message-box.png"
ended && fail "the program ended without waiting for the box to be dismissed"
read -r bx by < <(corner "$box")
xdotool mousemove $((bx + 20)) $((by + 20)) key Return
await_exit 5
((status == 1)) || fail "cannot start: exit status $status"
passed
