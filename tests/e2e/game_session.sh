#!/usr/bin/env bash
# A game as a player gets it, on a bare X server or under a window manager: the window, the whole LCD lit at power-on, the
# clock, F1 starting game A, a worker moved, a press on GAME B that must do nothing while the
# game runs, a crate coming along the line, and Esc.
# Run as: game_session.sh GAME SEG_CHECK SHOTS_DIR
e2e_name=game_session
source "$(dirname "$0")/lib.sh"
start_x
# A window manager makes the atom of the frame hints known; without it SDL marks a borderless
# window as transient for the root window instead, which a window manager would still frame.
[[ -z $wm ]] && xprop -root -f _MOTIF_WM_HINTS 32c -set _MOTIF_WM_HINTS 0
start_game

# The first picture: every segment that can be seen shows, but the colon (the clock lights it).
expect_within power-on 3 power-on

# The readout for the time HHMM: the hour without a leading zero, the minutes with one.
clock_expectations() {
  local h=$((10#${1:0:2})) m=${1:2:2}
  if ((h < 10)); then echo Ora=blank Centinaia=$h; else echo Ora=$((h / 10)) Centinaia=$((h % 10)); fi
  echo Decina=${m:0:1} Unita=${m:1:1} duepunti=lit
}
# Within a second of the window showing. The minute may turn between the look and the reading
# of the time on either side of it.
before=$(date +%H%M)
if ! look clock "$(left_until $((mapped_at + 1000000)))" $(clock_expectations "$before"); then
  after=$(date +%H%M)
  [[ $after != "$before" ]] && look clock-after 0 $(clock_expectations "$after") ||
    fail "the clock within a second of the window showing: $(tr '\n' ';' <"$work/verdict")"
fi

# The window: its own size with no frame around it (it asks for no decoration), its title,
# centred on the 1280 x 800 screen.
info=$(xwininfo -id "$wid")
field() { sed -n "s/^ *$1: *//p" <<<"$info"; }
[[ $(field Width)x$(field Height) == 802x448 ]] || fail "the window is $(field Width)x$(field Height)"
[[ $(field 'Border width') == 0 ]] || fail "the window has a border of $(field 'Border width')"
[[ $(field 'Override Redirect State') == no ]] || fail "the window bypasses the window manager"
if [[ -z $wm ]]; then
  xwininfo -id "$wid" -tree | grep -q '^ *Parent window id: .*(the root window)' ||
    fail "the window is not a top-level window of its own"
else
  # The window manager's frame adds no title bar or border to the casing.
  extents=$(xprop -id "$wid" _NET_FRAME_EXTENTS | sed -n 's/^[^=]*= //p')
  [[ $extents == "0, 0, 0, 0" ]] || fail "the window manager frames the window: ${extents:-no extents}"
fi
x=$(field 'Absolute upper-left X') y=$(field 'Absolute upper-left Y')
((x == (1280 - 802) / 2 && y == (800 - 448) / 2)) || fail "the window is at $x,$y, not centred"
for prop in WM_NAME _NET_WM_NAME; do
  title=$(xprop -id "$wid" $prop | sed -n 's/^[^=]*= "\(.*\)"$/\1/p')
  [[ $title == "Crateworks Sim" ]] || fail "$prop is '$title'"
done
# Flags, functions, decorations, ...: the decorations flag set and no decoration asked for.
read -r -a hints <<<"$(xprop -id "$wid" _MOTIF_WM_HINTS | sed -n 's/^[^=]*= //p' | tr -d ,)"
((${#hints[@]} >= 3 && (hints[0] & 2) && hints[2] == 0)) ||
  fail "the window asks for decorations: _MOTIF_WM_HINTS ${hints[*]:-missing}"

# Cut to the casing's shape: the screen shows around the shell's rounded corners and in its
# hinge gap, not the casing's dark backdrop (36,33,30), and not through the shell.
import -window root "$work/screen.png" || fail "no screenshot of the screen"
at_screen() { pixel "$work/screen.png" "$1" "$2"; }
bare=$(at_screen 5 5)
for at in "0 0" "801 0" "0 447" "801 447" "402 10"; do
  read -r cx cy <<<"$at"
  c=$(at_screen $((x + cx)) $((y + cy)))
  [[ $c == "$bare" && $c != 36,33,30 ]] || fail "the window at $cx,$cy is $c, not the screen's $bare"
done
[[ $(at_screen $((x + 10)) $((y + 224))) != "$bare" ]] || fail "the screen shows through the shell"

# The GAME B button on the screen, found before the game starts: from F1 on, time counts.
read -r bx by < <(at_window $((515 + 13)) $((298 + 19)))
poses() {
  local who=$1 keep=$2 m
  for m in $(seq 10); do ((m == keep)) || echo "$who:$m=dark"; done
  echo "$who:$keep=lit"
}
expect_ahead game-a 3 IMGameA=lit IMGameB=dark $(poses Nando 1) $(poses Bepo 3) \
  Ora=blank Centinaia=blank duepunti=dark Decina=blank Unita=0
# No window manager gives the new window the keyboard; one that runs must let the game take it.
[[ -z $wm ]] && xdotool windowfocus --sync "$wid"
xdotool key F1
expect_done

# Q moves Nando up from the bottom level. A press on GAME B while the game runs must leave the
# button raised and not start game B; L (Bepo down) pressed after it shows when the press has
# been handled. Bepo then stands where the first crate is handed over, so the line keeps
# running: all this must happen before that crate reaches him (1.5 s after F1 at the earliest),
# or a scolding would halt the line and the keys; hence the look at the start ahead of F1, and
# one xdotool for all of it.
xdotool key q mousemove "$bx" "$by" mousedown 1 key l
expect_within q-and-game-b-pressed 2 Nando:3=lit Nando:1=dark Bepo:1=lit Bepo:3=dark \
  ButtonB=lit IMGameB=dark IMGameA=lit
# The press went to the button (not lost off the window), or this would prove nothing.
eval "$(xdotool getmouselocation --shell)"
read -r wx wy < <(at_window 0 0)
# Under a window manager the pointer's top-level window is the frame around the game window.
[[ -n $wm ]] && wid_or_frame=$(xwininfo -id "$wid" -tree | sed -n 's/^ *Parent window id: *\(0x[0-9a-f]*\).*/\1/p')
((WINDOW == wid || WINDOW == ${wid_or_frame:-wid})) || fail "the pointer is in window $WINDOW"
((X - wx >= 515 && X - wx < 515 + 27 && Y - wy >= 298 && Y - wy < 298 + 39)) ||
  fail "the pointer is at $X,$Y in window $WINDOW, not on GAME B"
xdotool mouseup 1

# A takes Nando back down to the bottom level, where the crates are handed to him: with both
# workers at the lower hand-over steps, the line runs on until a crate reaches Bepo's middle
# one, ten seconds up the line.
xdotool key a
expect_within nando-down 2 Nando:1=lit Nando:3=dark

# A crate comes along the line (each beat of the engine launches one with odds 2 in 3), then
# one shows further along than any before: crates only move on one step at a time, so it has
# moved. The lower belts have no hand-over where the workers are not in place.
expect_within crate-on-line 8 Blocco:1-16=some --lit Blocco
furthest=0
for m in $(tail -1 "$work/verdict"); do ((m <= 49 && m > furthest)) && furthest=$m; done
((furthest <= 16)) || fail "crate-on-line: the first crate seen is already at step $furthest"
expect_within crate-moves 3 "Blocco:$((furthest + 1))-$((furthest + 4))=some"

xdotool key Escape
await_exit 5
((status == 0)) || fail "Esc: exit status $status"
passed
