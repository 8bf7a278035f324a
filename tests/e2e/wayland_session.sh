#!/usr/bin/env bash
# The game as a native Wayland client under weston, nested on an X server as on a player's
# desktop: chosen over X11 when both are offered, cut to the casing's shape (the desktop shows
# around the rounded corners and in the hinge gap), the key dialog opened with a click on TIME,
# drawn as on X11 and closed with its close box; then a game B played and recorded to its game
# over, replayed with --check to the same end, the window's last picture showing the replay's.
# A compositor with no input seat (weston's headless one) ends the program with one line, or
# gives way to X11 where it is offered. On an output at scale 2 the game starts at 2x, crisp.
# Run as: wayland_session.sh GAME SEG_CHECK SHOTS_DIR REPLAY
e2e_name=wayland_session
e2e_tools="weston weston-screenshooter"
source "$(dirname "$0")/lib.sh"
replay=$4
start_x 1920x1080
export XDG_CONFIG_HOME=$work/config

# No input seat: SDL 2.26 would crash in SDL_Init. One line and status 1, or X11.
start_weston 640x480 headless
env -u DISPLAY "$game" 2>"$work/err"
status=$?
[[ $status == 1 && $(wc -l <"$work/err") == 1 ]] &&
  grep -q '^crateworks: cannot open a window: .*no input seat' "$work/err" ||
  fail "with a seatless compositor: status $status (not 1), stderr (not one line naming the seat)"
start_game
[[ -s $work/err ]] && fail "falling back to X11 said: $(cat "$work/err")"
xdotool windowfocus --sync "$wid"
xdotool key Escape
await_exit 5
((status == 0)) || fail "Esc on X11 after the seatless compositor: exit status $status"
stop_weston

# Both offered: the game takes Wayland (no X window of its own), and shows the casing alone.
start_weston
recording=$work/game.scn
"$game" --record "$recording" 2>"$work/err" &
pid=$!
await 10 "the game window shown on weston" wl_game_shot shown
xdotool search --name '^Crateworks Sim$' >/dev/null 2>&1 && fail "the game opened an X11 window"
wl_expect_within idle 3 ButtonTime=lit IMGameB=lit IMGameA=lit
read -r _ _ wx wy <<<"$wl_box"
# The desktop around the shell's corners and in its hinge gap; the shell opaque beside them.
for at in "0 0" "801 0" "0 447" "801 447" "402 10"; do
  read -r x y <<<"$at"
  [[ $(wl_pixel $((wx + x)) $((wy + y))) == "$wl_rgb" ]] ||
    fail "the window at $x,$y is $(wl_pixel $((wx + x)) $((wy + y))), not the desktop"
done
[[ $(wl_pixel $((wx + 10)) $((wy + 224))) != "$wl_rgb" ]] || fail "the shell is see-through"

# The key dialog: the game window gives way to it; its face and labels as on X11 (the face
# 212,208,200, every label in near-black ink); its close box, at the right of the title bar
# above it, gives the game window back.
wl_click $((wx + 555 + 13)) $((wy + 298 + 19))
dialog_up() {
  wl_screenshot && wl_colour_box 212,208,200
  read -r dw dh dx dy <<<"$wl_box"
  ((dw == 161 && dh == 146))
}
within 5 dialog_up || { cp "$work/wl-shot.png" "$shots/dialog-missing.png"; fail "a click on TIME showed no dialog (its face: $wl_box)"; }
shot_count=$((shot_count + 1))
cp "$work/wl-shot.png" "$shots/$(printf %02d $shot_count)-dialog.png"
for row in 1 2 3 4; do
  ink=$(convert "$work/wl-shot.png" -crop "90x12+$((dx + 8))+$((dy + 14 + 24 * (row - 1)))" \
    +repage -colorspace gray -threshold 30% -format '%[fx:int(w*h*(1-mean))]' info:)
  ((ink >= 20)) || fail "label $row has $ink dark pixels: faint or missing"
done
wl_click $((dx + dw - 12)) $((dy - 12))
await 5 "the game window back after the dialog" wl_game_shot back
read -r _ _ wx wy <<<"$wl_box"

# Game B to its game over, recorded, and replayed to the same end.
xdotool key F2
wl_expect_within game-b 3 IMGameB=lit IMGameA=dark
play_game_b wl_expect_within wl_look
[[ -s $work/err ]] && fail "the game said: $(cat "$work/err")"
replay_game_b "$recording"
shows_replay_end "$final" "$work/replayed" || fail "the last picture: $(tr '\n' ';' <"$work/verdict")"
stop_weston

# An output at scale 2: by default the game takes the output's scale, its window drawn in the
# output's own pixels from the 2x pictures (1604 x 896 of them), crisp.
start_weston 900x520 x11 2
export XDG_CONFIG_HOME=$work/config-2
"$game" 2>"$work/err" &
pid=$!
wl_size=1604x896 wl_margin=1
check_args=(--scale 2)
await 20 "the game window at twice the size" wl_game_shot shown-at-2x
wl_expect_within idle-at-2x 3 ButtonTime=lit IMGameB=lit IMGameA=lit
xdotool key Escape
await_exit 5
((status == 0)) || fail "Esc at scale 2: exit status $status"
[[ -s $work/err ]] && fail "the game at scale 2 said: $(cat "$work/err")"
passed
