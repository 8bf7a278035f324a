#!/usr/bin/env bash
# The device at other sizes, as a player gets it on a 1920 x 1080 screen: the desktop's scaling
# choosing the size; --scale 3 fitted to the screen; --scale 2 reading the same segments as at 1x after the same input, the
# mouse on the casing's buttons at their new places; a wheel step and the screens view, both
# remembered for the next start; fullscreen on the bare server and under a window manager, and
# F11 back.
# Run as: scale_session.sh GAME SEG_CHECK SHOTS_DIR
e2e_name=scale_session
source "$(dirname "$0")/lib.sh"
for tool in xrdb openbox; do
  command -v $tool >/dev/null || { echo "skipped: $tool is not installed"; exit 77; }
done
start_x 1920x1080
conf=$work/config/crateworks/crateworks.conf

# A desktop scaled to 200 % (Xft.dpi 192): the device starts twice its size, centred.
echo "Xft.dpi: 192" | xrdb -nocpp -merge
start_game
[[ $(geometry) == 1604x896+158+92 ]] || fail "at Xft.dpi 192 the window is $(geometry)"
check_args=(--scale 2)
expect_within power-on-2x 3 power-on
quit
xrdb -nocpp -load /dev/null

# --scale 3 has no room on this screen: the largest scale that fits is taken, and said, rather
# than a window cut on every side.
game_args=(--scale 3)
start_game
[[ $(geometry) == 1604x896+158+92 ]] || fail "with --scale 3 the window is $(geometry)"
quit
grep -qx 'crateworks: scale 3 does not fit the screen: 2 taken' "$work/err" ||
  fail "no line says which scale was taken: $(cat "$work/err")"

# --scale 2 on an unscaled desktop: as game_session plays at 1x, the same segments read.
game_args=(--scale 2)
start_game
[[ $(geometry) == 1604x896+158+92 ]] || fail "with --scale 2 the window is $(geometry)"
expect_within power-on 3 power-on
read -r bx by < <(at_window $((2 * (515 + 13))) $((2 * (298 + 19))))
expect_ahead game-a 3 IMGameA=lit IMGameB=dark Nando:1=lit Bepo:3=lit Unita=0 Decina=blank
xdotool windowfocus --sync "$wid" key F1
expect_done
xdotool key q mousemove "$bx" "$by" mousedown 1 key l
expect_within q-and-game-b-pressed 2 Nando:3=lit Nando:1=dark Bepo:1=lit Bepo:3=dark \
  ButtonB=lit IMGameB=dark IMGameA=lit
xdotool mouseup 1 key a
expect_within nando-down 2 Nando:1=lit Nando:3=dark

# A step of the wheel down: 1.5x, about the same centre, remembered.
read -r cx cy < <(at_window 40 40)
xdotool mousemove "$cx" "$cy" click 5
check_args=(--scale 1.5)
expect_within wheel-1.5x 3 Nando:1=lit Bepo:1=lit IMGameA=lit IMGameB=dark
[[ $(geometry) == 1203x672+358+204 ]] || fail "after a wheel step the window is $(geometry)"
grep -qx 'scale = 1.5' "$conf" || fail "the scale is not remembered: $(cat "$conf")"

# The middle button off the casing's buttons: the two screens alone, as wide as before.
read -r cx cy < <(at_window 30 30)
xdotool mousemove "$cx" "$cy" click 2
check_args=(--scale 1.5 --view screens)
expect_within screens 3 Nando:1=lit Bepo:1=lit IMGameA=lit IMGameB=dark Nando:3=dark
[[ $(geometry) == 1203x435+358+322 ]] || fail "the screens view's window is $(geometry)"
grep -qx 'view = screens' "$conf" || fail "the view is not remembered: $(cat "$conf")"
quit

# Started again: the screens at 1.5x, as left.
game_args=()
start_game
expect_within remembered 3 power-on
[[ $(geometry) == 1203x435+358+322 ]] || fail "started again, the window is $(geometry)"
quit

# Fullscreen on the bare server (the game covers the screen itself): the casing as large as
# the screen allows, centred; the mouse on its buttons where they are drawn; F11 back to the
# window at the remembered 1.5x.
game_args=(--fullscreen --view casing)
start_game
within 5 window_is 1920x1080+0+0 || fail "fullscreen, the window is $(geometry)"
check_args=(--scale 1.5 --size 1920x1080)
expect_within fullscreen 3 power-on
# 1920 / 802 a logical pixel: GAME A's middle at 488,317 is at 1168,759 (the picture, 1073 high,
# starts 3 pixels down).
xdotool mousemove 1168 762 mousedown 1
expect_within fullscreen-game-a 3 ButtonA=dark IMGameA=lit IMGameB=dark
xdotool mouseup 1 key F11
check_args=(--scale 1.5)
within 5 window_is 1203x672 || fail "after F11 the window is $(geometry)"
expect_within windowed-again 3 IMGameA=lit Nando:1=lit
quit

# Under a window manager, which gives fullscreen when asked; the remembered screens view.
wm=openbox
start_wm
game_args=(--fullscreen)
start_game
within 5 window_is 1920x1080+0+0 || fail "fullscreen under openbox: $(geometry)"
check_args=(--scale 1.5 --view screens --size 1920x1080)
expect_within fullscreen-wm 3 power-on
xdotool key F11
check_args=(--scale 1.5 --view screens)
within 5 window_is 1203x435 || fail "after F11 the window is $(geometry)"
expect_within windowed-wm 3 power-on
quit
passed
