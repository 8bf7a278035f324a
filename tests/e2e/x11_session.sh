#!/usr/bin/env bash
# The key dialog as a player uses it, on a bare X server: opened with a click on the TIME
# button, a row chosen with a click and its key pressed, closed with its close box; the key
# file written, the game window and its keyboard back, and ACL ending the program.
# Run as: x11_session.sh GAME SEG_CHECK SHOTS_DIR WM_CLOSE
e2e_name=x11_session
source "$(dirname "$0")/lib.sh"
wm_close=$4
start_x
start_game
key_file=$XDG_CONFIG_HOME/crateworks/crateworks.key

# Drawn and idle: the TIME button raised, the GAME B mark lit as at power-on.
expect_within idle 3 ButtonTime=lit IMGameB=lit IMGameA=lit
read -r tx ty < <(at_window $((555 + 13)) $((298 + 19)))
xdotool mousemove "$tx" "$ty" click 1

dialog_shown() {
  did=$(xdotool search --class crateworks 2>/dev/null | grep -vx "$wid" | head -1)
  [[ -n $did ]] && xwininfo -id "$did" 2>/dev/null | grep -q IsViewable
}
within 3 dialog_shown || fail "a click on TIME opened no dialog"
eval "$(xdotool getwindowgeometry --shell "$did")"
[[ $WIDTH == 161 && $HEIGHT == 118 ]] || fail "the dialog is ${WIDTH}x$HEIGHT, not 161x118"
dx=$X dy=$Y
xwininfo -id "$wid" | grep -q IsUnMapped || fail "the game window is still shown with the dialog"

# The dialog's pixels: a key box shows the key just captured, which tells that the key press
# has been handled.
dialog_shot() {
  shot_count=$((shot_count + 1))
  last_shot=$shots/$(printf %02d $shot_count)-dialog-$1.png
  import -window "$did" "$last_shot" 2>"$work/verdict"
}
box_crop() {  # ROW IMAGE OUT: the inside of the key box of ROW
  convert "$2" -crop "13x15+138+$((18 + 24 * ($1 - 1)))" +repage "$3"
}
box_changed() {  # ROW NAME
  dialog_shot "$2" || return 1
  box_crop "$1" "$last_shot" "$work/box.png"
  local differ
  differ=$(compare -metric AE "$work/box.png" "$work/box$1-before.png" null: 2>&1)
  ((differ > 0)) || { echo "key box $1 unchanged" >"$work/verdict"; return 1; }
}
# Drawn once both boxes show a letter (the defaults Q and P), not a blank face.
dialog_drawn() {
  dialog_shot opened || return 1
  local row
  for row in 1 3; do
    box_crop $row "$last_shot" "$work/box$row-before.png"
    (($(convert "$work/box$row-before.png" -format %k info:) > 1)) ||
      { echo "key box $row is blank" >"$work/verdict"; return 1; }
  done
}
await 3 "the dialog drawn" dialog_drawn

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
"$wm_close" "$did" || fail "could not ask the dialog to close"
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
