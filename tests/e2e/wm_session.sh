#!/usr/bin/env bash
# What a player meets under a real window manager (openbox) that a bare X server never shows:
# the key dialog takes keys as soon as it opens, asks not to be minimised and comes back when it
# is all the same; the casing drags the window; a window destroyed by another program
# (XDestroyWindow) ends the game with status 0 and the key file untouched; the window manager's
# Alt+F4 closes the dialog without choosing Alt for a row; with nowhere to keep
# the key file the dialog says so in one line and writes nothing; and a program that cannot
# start says why in a message box as well as on stderr.
# Run as: wm_session.sh GAME SEG_CHECK SHOTS_DIR
e2e_name=wm_session
export E2E_WM=${E2E_WM:-openbox}
source "$(dirname "$0")/lib.sh"
start_x

# ---- No HOME and no XDG_CONFIG_HOME, from a working directory of its own.
mkdir "$work/cwd"
cd "$work/cwd" || fail "no working directory"
start_game env -u HOME -u XDG_CONFIG_HOME
expect_within idle 3 ButtonTime=lit IMGameB=lit

# The dialog has the keyboard at once: a key pressed with no click into it lands in row 1.
open_dialog
xdotool key k
await 3 "a key pressed as the dialog opened (it has no keyboard focus)" box_changed 1 key-at-once

# It asks to be a fixed-size dialog of the game window, neither minimised nor maximised.
[[ $(xprop -id "$did" WM_TRANSIENT_FOR) == *"# $(printf '0x%x' "$wid")" ]] ||
  fail "the dialog is not transient for the game window: $(xprop -id "$did" WM_TRANSIENT_FOR)"
read -r -a hints <<<"$(xprop -id "$did" _MOTIF_WM_HINTS | sed -n 's/^[^=]*= //p' | tr -d ,)"
((${#hints[@]} >= 3 && (hints[0] & 1) && !(hints[1] & (1 | 8 | 16)))) ||
  fail "the dialog's hints allow minimising or maximising: ${hints[*]:-none}"

# openbox minimises it all the same; with the game window hidden nothing would be left on
# screen, so it must come back, with the keyboard.
xdotool windowminimize "$did"
dialog_back() { xwininfo -id "$did" | grep -q IsViewable && xprop -id "$did" WM_STATE | grep -q Normal; }
within 3 dialog_back || fail "the minimised dialog stays off the screen"
xdotool key m
await 3 "a key pressed after the dialog came back" box_changed 1 key-after-minimise

# Closing it with nowhere to keep the file: one plain line, and nothing written anywhere.
close_window "$did" || fail "could not ask the dialog to close"
within 3 find_window || fail "the game window is not shown again after the dialog"
said() { grep -q . "$work/err"; }
within 3 said || fail "nothing said about the key file that cannot be kept"
[[ $(cat "$work/err") == "crateworks: key file not saved: nowhere to keep it: neither"* &&
  $(wc -l <"$work/err") == 1 ]] || fail "not one plain line about the key file"
[[ -z $(ls -A "$work/cwd") ]] || fail "files left in the working directory: $(ls -A "$work/cwd")"

# The casing drags the window: the program hands the press to the window manager, which then
# follows the pointer. A hand takes its time; xdotool waits a little between the steps.
read -r x0 y0 < <(corner "$wid")
read -r px py < <(at_window 120 400)
xdotool mousemove "$px" "$py" mousedown 1 sleep 0.3 mousemove $((px + 40)) $((py + 20)) \
  sleep 0.3 mousemove $((px + 100)) $((py + 60)) sleep 0.3 mouseup 1
moved() {
  read -r x1 y1 < <(corner "$wid")
  ((x1 == x0 + 100 && y1 == y0 + 60))
}
within 3 moved || fail "a drag by 100,60 moved the window from $x0,$y0 to $x1,$y1"

# The game still has the keyboard; then another program destroys its window mid-game.
xdotool key F1
expect_within f1-after-drag 3 IMGameA=lit IMGameB=dark
xdotool key q
xdotool windowclose "$wid"
await_exit 5
((status == 0)) || fail "the destroyed game window: exit status $status"
(($(wc -l <"$work/err") == 1)) || fail "the destroyed game window: more said on stderr"
[[ -z $(ls -A "$work/cwd") ]] || fail "files left in the working directory: $(ls -A "$work/cwd")"
cd "$work" || fail "no folder"

# ---- The dialog destroyed by another program while it holds a new key: nothing saved.
key_file=$work/config/crateworks/crateworks.key
mkdir -p "$(dirname "$key_file")"
printf '81\r\n65\r\n80\r\n76\r\n' >"$key_file"
start_game
expect_within idle-again 3 ButtonTime=lit IMGameB=lit

# The window manager's Alt+F4 closes the dialog: its Alt, pressed first, is no key chosen.
open_dialog
xdotool key alt+F4
within 3 find_window || fail "Alt+F4 did not close the dialog"
dialog_gone() { ! xwininfo -id "$did" 2>/dev/null | grep -q IsViewable; }
within 3 dialog_gone || fail "the dialog is still shown after Alt+F4"
[[ $(od -An -c "$key_file" | tr -d ' \n') == '81\r\n65\r\n80\r\n76\r\n' ]] ||
  fail "Alt+F4 changed the keys: $(od -An -c "$key_file" | tr -d ' \n')"

open_dialog
xdotool key k
await 3 "K in the dialog before it is destroyed" box_changed 1 key-before-destroy
xdotool windowclose "$did"
await_exit 5
((status == 0)) || fail "the destroyed dialog: exit status $status"
[[ -s $work/err ]] && fail "the destroyed dialog: said something on stderr"
[[ $(od -An -c "$key_file" | tr -d ' \n') == '81\r\n65\r\n80\r\n76\r\n' ]] ||
  fail "the destroyed dialog changed the key file"

# ---- A recording that cannot be written (a full disk): a box says so at once, and the game,
# paused while it is up, goes on; its end says the recording is incomplete (status 1).
game_args=(--force --record /dev/full)
start_game
game_args=()
rec_box() {
  box=$(xdotool search --name '^Crateworks$' 2>/dev/null | grep -vx "$wid" | head -1)
  [[ -n $box ]] && xwininfo -id "$box" 2>/dev/null | grep -q IsViewable
}
within 5 rec_box || fail "no message box for the recording that cannot be written"
shot_count=$((shot_count + 1))
import -window "$box" "$shots/$(printf %02d $shot_count)-recording-box.png"
xdotool key Return
box_gone() { ! xwininfo -id "$box" 2>/dev/null | grep -q IsViewable; }
within 3 box_gone || fail "the recording's box does not go"
xdotool windowfocus --sync "$wid" key F1
expect_within f1-after-the-box 3 IMGameA=lit IMGameB=dark
xdotool key Escape
await_exit 5
((status == 1)) || fail "a recording that could not be written: exit status $status, not 1"
grep -q "cannot write the recording /dev/full: No space left on device" "$work/err" ||
  fail "the recording's failure is not said: $(cat "$work/err")"

# ---- A picture missing: the reason in a message box as well, until the player dismisses it.
mkdir "$work/broken"
cp "$game" "$work/broken/crateworks"
cp -r "$assets" "$work/broken/assets"
rm "$work/broken/assets/omino.png"
"$work/broken/crateworks" 2>"$work/err" &
pid=$!
box_shown() {
  box=$(xdotool search --name '^Crateworks$' 2>/dev/null | head -1)
  [[ -n $box ]] && xwininfo -id "$box" 2>/dev/null | grep -q IsViewable
}
within 10 box_shown || fail "no message box for the missing picture"
shot_count=$((shot_count + 1))
import -window "$box" "$shots/$(printf %02d $shot_count)-message-box.png"
ended && fail "the program ended without waiting for the box to be dismissed"
xdotool key Return
await_exit 5
((status == 1)) || fail "the missing picture: exit status $status, not 1"
[[ $(wc -l <"$work/err") == 1 ]] && grep -q "omino.png" "$work/err" ||
  fail "the missing picture: stderr is not one line naming omino.png"
passed
