#!/usr/bin/env bash
# The key dialog as a player uses it, on a bare X server or under a window manager: opened with
# a click on the TIME button, a row chosen with a click and its key pressed, closed with its
# close box; the key file written, the game window and its keyboard back, and ACL ending the
# program.
# Run as: x11_session.sh GAME SEG_CHECK SHOTS_DIR WM_CLOSE
e2e_name=x11_session
source "$(dirname "$0")/lib.sh"
wm_close=$4
start_x
start_game
key_file=$config_dir/crateworks.key

# Drawn and idle: the TIME button raised, the GAME B mark lit as at power-on.
expect_within idle 3 ButtonTime=lit IMGameB=lit IMGameA=lit
open_dialog
size=$(xwininfo -id "$did" | sed -n 's/^ *\(Width\|Height\): *//p' | tr '\n' x)
[[ $size == 161x146x ]] || fail "the dialog is ${size%x}, not 161x146"
read -r dx dy < <(corner "$did")
xwininfo -id "$wid" | grep -q IsUnMapped || fail "the game window is still shown with the dialog"

# Row 3 (Bepo's up key), then K; row 1 then takes Up (code 38).
xdotool mousemove $((dx + 20)) $((dy + 70)) click 1
xdotool key k
await 3 "K shown for Bepo's up key" box_changed 3 bepo-up-k
xdotool mousemove $((dx + 20)) $((dy + 22)) click 1
xdotool key Up
await 3 "Up shown for Nando's up key" box_changed 1 nando-up-up

# Off both windows, so that the keyboard does not simply follow the pointer back to the game:
# the program itself must give it back.
xdotool mousemove 5 5
close_window "$did" || fail "could not ask the dialog to close"
within 3 find_window || fail "the game window is not shown again after the dialog"
within 3 test -f "$key_file" || fail "no key file written"
expected='38\r\n65\r\n75\r\n76\r\n'
[[ $(od -An -c "$key_file" | tr -d ' \n') == "$expected" ]] ||
  fail "the key file holds $(od -An -c "$key_file")"
[[ $(sed -n '3s/\r$//p' "$key_file") == 75 ]] || fail "line 3 of the key file is not 75"

# The keyboard is back with the game window: F1 starts game A.
xdotool key F1
expect_within f1-after-dialog 3 IMGameA=lit IMGameB=dark

# ACL during the game ends the program at once, and leaves the key file as it was.
read -r ax ay < <(at_window $((252 + 6)) $((311 + 6)))
xdotool mousemove "$ax" "$ay" click 1
await_exit 5
((status == 0)) || fail "ACL: exit status $status"
[[ $(od -An -c "$key_file" | tr -d ' \n') == "$expected" ]] || fail "ACL changed the key file"
passed
