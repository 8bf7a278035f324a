#!/usr/bin/env bash
# A short scripted session of the real game under valgrind, on a bare X server: the key dialog
# opened, a key chosen and the dialog closed (the key file written), a game of A with moves,
# then Esc. Valgrind must report no invalid access and no lost memory of ours; what the X, GL
# and SDL libraries keep for the life of the process is named in valgrind.supp beside this file.
# Run as: valgrind_session.sh GAME WM_CLOSE
set -u
game=$1
wm_close=$2
here=$(dirname "$(realpath "$0")")
for tool in xvfb-run xdotool valgrind; do
  command -v $tool >/dev/null || { echo "skipped: $tool is not installed"; exit 77; }
done
if [[ -z ${CW_IN_XVFB:-} ]]; then
  # No reset when the last client leaves: the game, slow to start under valgrind, finds no
  # display if it connects while the server resets after one of the polls below.
  CW_IN_XVFB=1 exec xvfb-run -a -s "-screen 0 1280x800x24 -noreset" bash "$(realpath "$0")" "$@"
fi

work=$(mktemp -d)
pid=
trap '[[ -n $pid ]] && kill -KILL $pid 2>/dev/null; rm -rf "$work"' EXIT
export XDG_CONFIG_HOME=$work/config SDL_AUDIODRIVER=dummy
unset SDL_VIDEODRIVER
# The software renderer, and no GL behind the window surface either: the same calls of ours as
# with OpenGL, without the GL driver's own allocations, which it never frees and which valgrind
# cannot even name once the driver is unloaded at exit.
export SDL_RENDER_DRIVER=software SDL_FRAMEBUFFER_ACCELERATION=0
fail() {
  echo "FAIL: $*"
  cat "$work/valgrind.log"
  exit 1
}
# Valgrind makes everything slow: give each step up to 30 s.
until_ok() {
  for _ in $(seq 300); do "$@" >/dev/null 2>&1 && return 0; sleep 0.1; done
  return 1
}

valgrind --quiet --leak-check=full --show-leak-kinds=definite,indirect,possible \
  --errors-for-leak-kinds=definite,indirect,possible --error-exitcode=99 --num-callers=40 \
  --suppressions="$here/valgrind.supp" --gen-suppressions=all --log-file="$work/valgrind.log" \
  "$game" 2>"$work/err" &
pid=$!
until_ok xdotool search --name "^Crateworks Sim$" || fail "no window"
wid=$(xdotool search --name "^Crateworks Sim$" | head -1)
until_ok bash -c "xwininfo -id $wid | grep -q IsViewable" || fail "window not shown"
eval "$(xdotool getwindowgeometry --shell "$wid")"
gx=$X gy=$Y
sleep 2

xdotool mousemove $((gx + 568)) $((gy + 318)) click 1
until_ok bash -c "xdotool search --class crateworks | grep -vx $wid" || fail "no dialog"
did=$(xdotool search --class crateworks | grep -vx "$wid" | head -1)
eval "$(xdotool getwindowgeometry --shell "$did")"
sleep 1
xdotool mousemove $((X + 20)) $((Y + 70)) click 1
xdotool key k
sleep 1
xdotool mousemove 5 5
"$wm_close" "$did" || fail "could not ask the dialog to close"
until_ok test -f "$XDG_CONFIG_HOME/crateworks/crateworks.key" || fail "no key file written"
until_ok bash -c "xwininfo -id $wid | grep -q IsViewable" || fail "game window not back"
sleep 1

xdotool key --window "$wid" F1
sleep 2
xdotool key --window "$wid" --delay 300 k l k l q a q a
sleep 3
xdotool key --window "$wid" Escape
for _ in $(seq 600); do kill -0 "$pid" 2>/dev/null || break; sleep 0.1; done
kill -0 "$pid" 2>/dev/null && fail "still running 60 s after Esc"
wait "$pid"
status=$?
pid=
[[ $status -eq 0 ]] || fail "exit status $status (99: valgrind found errors)"
[[ -s $work/valgrind.log ]] && fail "valgrind reported something"
echo "valgrind: no errors, nothing lost"
