#!/usr/bin/env bash
# SIGTERM and SIGINT end the real game promptly and cleanly in every state: idle with the clock,
# during a game with moves (and their sound holds) under way, with the key dialog open, right
# after launch, and with no audio device. Clean: exit status 0 within two seconds, nothing on
# stderr (with no audio device, only the one line that says the game runs silent), and the key
# file as it was (a dialog that is not closed writes nothing). Only in the first milliseconds,
# before the window system is up, may the signal's own default end the program instead; it
# must still end at once.
# Run as: signals.sh GAME
set -u
game=$1
for tool in xvfb-run xdotool; do
  command -v $tool >/dev/null || { echo "skipped: $tool is not installed"; exit 77; }
done
if [[ -z ${CW_IN_XVFB:-} ]]; then
  # -noreset: the server would otherwise reset as the last game leaves, and refuse the next one
  # started during the reset ("no display found").
  CW_IN_XVFB=1 exec xvfb-run -a -s "-screen 0 1280x800x24 -noreset" bash "$(realpath "$0")" "$@"
fi
# Job control, so that a game started in the background keeps SIGINT's default disposition.
set -m

work=$(mktemp -d)
pid=
trap '[[ -n $pid ]] && kill -KILL $pid 2>/dev/null; rm -rf "$work"' EXIT
export XDG_CONFIG_HOME=$work/config SDL_AUDIODRIVER=dummy
unset SDL_VIDEODRIVER SDL_RENDER_DRIVER
key_file=$XDG_CONFIG_HOME/crateworks/crateworks.key
mkdir -p "$(dirname "$key_file")"
printf '81\r\n65\r\n80\r\n76\r\n' >"$key_file"
failures=0
fail() {
  echo "FAIL: $*"
  [[ -s $work/err ]] && cat "$work/err"
  failures=$((failures + 1))
}
until_ok() {
  for _ in $(seq 100); do "$@" >/dev/null 2>&1 && return 0; sleep 0.05; done
  return 1
}

launch() {
  "$game" 2>"$work/err" &
  pid=$!
  until_ok xdotool search --name "^Crateworks Sim$" || { fail "no window"; return 1; }
  wid=$(xdotool search --name "^Crateworks Sim$" | head -1)
  until_ok bash -c "xwininfo -id $wid | grep -q IsViewable"
  eval "$(xdotool getwindowgeometry --shell "$wid")"
  gx=$X gy=$Y
}

# Sends SIGNAL and checks that the game ends cleanly at once; stderr may hold only the lines
# that match the pattern ALLOWED, when given.
stop_with() {
  local signal=$1 state=$2 allowed=${3:-} start status elapsed
  start=$(date +%s%N)
  kill -s "$signal" "$pid"
  for _ in $(seq 200); do kill -0 "$pid" 2>/dev/null || break; sleep 0.01; done
  elapsed=$((($(date +%s%N) - start) / 1000000))
  if kill -0 "$pid" 2>/dev/null; then
    fail "$state: still running 2 s after $signal"
    kill -KILL "$pid"
  fi
  wait "$pid"
  status=$?
  pid=
  [[ $status -eq 0 ]] || fail "$state: exit status $status after $signal"
  if [[ -n $allowed ]]; then
    grep -qv -- "$allowed" "$work/err" && fail "$state: wrote to stderr"
  else
    [[ -s $work/err ]] && fail "$state: wrote to stderr"
  fi
  [[ $(od -An -c "$key_file" | tr -d ' \n') == '81\r\n65\r\n80\r\n76\r\n' ]] ||
    fail "$state: the key file changed"
  echo "$state: $signal ended the game in $elapsed ms"
}

for signal in TERM INT; do
  launch && sleep 0.3 && stop_with $signal "idle, the clock shown"

  # A game with moves under way: each move holds the window for its sound.
  launch && {
    xdotool key --window "$wid" F1
    sleep 0.3
    xdotool key --window "$wid" --delay 20 p l p l q a q a p l
    stop_with $signal "a game with moves under way"
  }

  # The key dialog open, a row chosen, the game window hidden.
  launch && {
    xdotool mousemove $((gx + 568)) $((gy + 318)) click 1
    until_ok bash -c "xdotool search --class crateworks | grep -vx $wid" || fail "no dialog"
    did=$(xdotool search --class crateworks | grep -vx "$wid" | head -1)
    eval "$(xdotool getwindowgeometry --shell "$did")"
    xdotool mousemove $((X + 20)) $((Y + 70)) click 1
    xdotool key k
    stop_with $signal "the key dialog open"
  }

  # Right after launch: at once, however far start-up has come.
  "$game" 2>"$work/err" &
  pid=$!
  sleep 0.02
  kill -s $signal "$pid"
  for _ in $(seq 200); do kill -0 "$pid" 2>/dev/null || break; sleep 0.01; done
  if kill -0 "$pid" 2>/dev/null; then
    fail "start-up: still running 2 s after $signal"
    kill -KILL "$pid"
  fi
  wait "$pid"
  status=$?
  pid=
  case $status in
    0 | 130 | 143) echo "start-up: $signal ended the game (status $status)" ;;
    *) fail "start-up: exit status $status after $signal" ;;
  esac
done

# No audio device at all: the game runs silently, and still ends cleanly.
SDL_AUDIODRIVER=no-such-driver launch && {
  xdotool key --window "$wid" F1
  sleep 0.3
  xdotool key --window "$wid" --delay 20 p l q a
  kill -0 "$pid" 2>/dev/null || fail "no audio device: the game did not run"
  stop_with TERM "no audio device, a game under way" \
    "^crateworks: no sound device (.*); the game runs silent$"
  [[ $(wc -l <"$work/err") -eq 1 ]] || fail "no audio device: not one line saying so"
}

if [[ $failures -ne 0 ]]; then
  echo "$failures failures"
  exit 1
fi
