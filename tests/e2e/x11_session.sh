#!/usr/bin/env bash
# The game on a real X server (Xvfb, no window manager), driven with xdotool: the window, keys
# reaching it, the key dialog opened with a click and closed with its close box, the key file,
# the keyboard back with the game window, and Esc. Run as: x11_session.sh GAME WM_CLOSE
set -u
game=$1
wm_close=$2
for tool in xvfb-run xdotool import compare; do
  command -v $tool >/dev/null || { echo "skipped: $tool is not installed"; exit 77; }
done
if [[ -z ${CW_IN_XVFB:-} ]]; then
  CW_IN_XVFB=1 exec xvfb-run -a -s "-screen 0 1280x800x24" bash "$(realpath "$0")" "$@"
fi

work=$(mktemp -d)
pid=
trap '[[ -n $pid ]] && kill $pid 2>/dev/null; rm -rf "$work"' EXIT
export XDG_CONFIG_HOME=$work/config SDL_AUDIODRIVER=dummy
unset SDL_VIDEODRIVER SDL_RENDER_DRIVER
assets=$(dirname "$game")/assets
fail() {
  echo "FAIL: $*"
  cat "$work/err"
  exit 1
}

# Waits up to 5 s for a command to succeed.
until_ok() {
  for _ in $(seq 50); do "$@" >/dev/null 2>&1 && return 0; sleep 0.1; done
  return 1
}
viewable() { xwininfo -id "$1" | grep -q IsViewable; }
# Differing pixels between the window's region X,Y,W,H and the casing picture there.
differs_from_casing() {
  import -window "$wid" "$work/shot.png" 2>/dev/null || { echo -1; return; }
  convert "$work/shot.png" -crop "$3x$4+$1+$2" +repage "$work/a.png"
  convert "$assets/casing.png" -crop "$3x$4+$1+$2" +repage "$work/b.png"
  compare -metric AE "$work/a.png" "$work/b.png" null: 2>&1
}

"$game" 2>"$work/err" &
pid=$!
until_ok xdotool search --name "^Crateworks Sim$" || fail "no window titled Crateworks Sim"
wid=$(xdotool search --name "^Crateworks Sim$" | head -1)
until_ok viewable "$wid" || fail "the window is not shown"
eval "$(xdotool getwindowgeometry --shell "$wid")"
[[ $WIDTH == 802 && $HEIGHT == 448 ]] || fail "window is ${WIDTH}x$HEIGHT"
gx=$X gy=$Y
# Centred on the 1280 x 800 screen.
(( gx == (1280 - 802) / 2 && gy == (800 - 448) / 2 )) || fail "window at $gx,$gy, not centred"

# Power-on: the GAME B mark is lit; a bare corner of the casing is the casing.
sleep 0.3
[[ $(differs_from_casing 473 227 45 11) -gt 20 ]] || fail "GAME B mark not lit at start"
[[ $(differs_from_casing 10 400 40 40) -eq 0 ]] || fail "the casing is not drawn"

# The time button opens the dialog and hides the game window.
xdotool mousemove $((gx + 568)) $((gy + 318)) click 1
until_ok bash -c "xdotool search --class crateworks | grep -vx $wid" || fail "no dialog"
did=$(xdotool search --class crateworks | grep -vx "$wid" | head -1)
eval "$(xdotool getwindowgeometry --shell "$did")"
[[ $WIDTH == 161 && $HEIGHT == 118 ]] || fail "dialog is ${WIDTH}x$HEIGHT"
xwininfo -id "$wid" | grep -q IsUnMapped || fail "game window still shown with the dialog open"

# Row 3 (Bepo's up key), then K; row 1 takes Up (code 38).
xdotool mousemove $((X + 20)) $((Y + 70)) click 1
xdotool key k
xdotool mousemove $((X + 20)) $((Y + 22)) click 1
xdotool key Up
sleep 0.3
# Off both windows, so that focus does not simply follow the pointer back to the game.
xdotool mousemove 5 5
"$wm_close" "$did" || fail "could not ask the dialog to close"
until_ok viewable "$wid" || fail "game window not shown again"
key_file=$XDG_CONFIG_HOME/crateworks/crateworks.key
until_ok test -f "$key_file" || fail "no key file written"
[[ $(od -An -c "$key_file" | tr -d ' \n') == '38\r\n65\r\n75\r\n76\r\n' ]] ||
  fail "key file holds $(od -An -c "$key_file")"

# The keyboard is back with the game window: F1 starts game A, which clears the GAME B mark.
sleep 0.3
xdotool key F1
started=
for _ in $(seq 50); do
  [[ $(differs_from_casing 473 227 45 11) -eq 0 ]] && { started=1; break; }
  sleep 0.1
done
[[ -n $started ]] || fail "F1 after the dialog did not start a game"

xdotool key Escape
for _ in $(seq 50); do kill -0 $pid 2>/dev/null || break; sleep 0.1; done
kill -0 $pid 2>/dev/null && fail "Esc did not end the program"
wait $pid
status=$?
pid=
[[ $status -eq 0 ]] || fail "exit status $status"
echo "ok"
