# Shared by the end-to-end sessions: a private X server, a private configuration folder, the
# game started and watched through its pixels, and waits that poll with a deadline.
# A session script sets e2e_name and sources this file with its first arguments:
#   GAME SEG_CHECK SHOTS_DIR
# Screenshots go to SHOTS_DIR; they are kept, and named, when the session fails.
set -u
game=$1
seg_check=$2
shots=$3
assets=$(dirname "$game")/assets
for tool in Xvfb xauth mcookie xdotool xwininfo xprop import compare; do
  command -v $tool >/dev/null || { echo "skipped: $tool is not installed"; exit 77; }
done

work=$(mktemp -d)
pid=
xvfb=
wm=
ahead=
shot_count=0
# How the game shows the device, for the checker: its --scale, --view or --size.
check_args=()
cleanup() {
  [[ -n $pid ]] && kill "$pid" 2>/dev/null
  [[ -n $ahead ]] && kill "$ahead" 2>/dev/null
  [[ -n $wm ]] && kill "$wm" 2>/dev/null
  [[ -n $xvfb ]] && kill "$xvfb" 2>/dev/null
  rm -rf "$work"
}
trap cleanup EXIT
rm -rf "$shots"
mkdir -p "$shots"
: >"$work/verdict"

# A bare X server on a display number of its own choosing (no race with other servers starting),
# reachable only with a cookie in this session's folder, with a screen of WxH (1280x800 unless
# given). No window manager runs on it.
start_x() {
  local screen=${1:-1280x800}
  local cookie n
  cookie=$(mcookie)
  export XAUTHORITY=$work/xauth
  : >"$XAUTHORITY"
  # The server takes every cookie in its file, whatever display the entry names.
  xauth -q -f "$XAUTHORITY" add :0 . "$cookie"
  # No reset when the last client leaves, which would forget what the session set up.
  Xvfb -displayfd 3 -screen 0 "${screen}x24" -nolisten tcp -noreset -auth "$XAUTHORITY" \
    3>"$work/display" 2>"$work/xvfb.err" &
  xvfb=$!
  for _ in $(seq 100); do
    n=$(head -1 "$work/display" 2>/dev/null)
    [[ -n $n ]] && break
    kill -0 $xvfb 2>/dev/null || break
    sleep 0.1
  done
  [[ -n $n ]] || { echo "FAIL: the X server did not start"; cat "$work/xvfb.err"; exit 1; }
  xauth -q -f "$XAUTHORITY" add ":$n" . "$cookie"
  export DISPLAY=:$n
}

fail() {
  echo "FAIL ($e2e_name): $*"
  if [[ -s $work/err ]]; then
    echo "the game's stderr:"
    cat "$work/err"
  fi
  if ((shot_count > 0)); then
    echo "screenshots kept in $shots:"
    ls "$shots"
  fi
  exit 1
}

passed() {
  rm -rf "$shots"
  echo "ok ($e2e_name)"
  exit 0
}

now() { echo "${EPOCHREALTIME/./}"; }  # microseconds
# Seconds from now until END (microseconds), as a decimal; 0 when END is past.
left_until() {
  local us=$(($1 - $(now)))
  ((us < 0)) && us=0
  printf '%d.%06d' $((us / 1000000)) $((us % 1000000))
}

# Polls a command every 50 ms until it succeeds or SECONDS (whole) have passed; it runs at least
# once.
within() {
  local end=$(($(now) + $1 * 1000000))
  shift
  while :; do
    "$@" && return 0
    (($(now) >= end)) && return 1
    sleep 0.05
  done
}

# Starts the game, with the arguments given, with this session's configuration folder (fresh
# at first) and waits for its window to show.
start_game() {
  export XDG_CONFIG_HOME=$work/config
  "$game" "$@" 2>"$work/err" &
  pid=$!
  within 10 find_window || fail "no window titled Crateworks Sim is shown"
  mapped_at=$(now)
}
find_window() {
  wid=$(xdotool search --name '^Crateworks Sim$' 2>/dev/null | head -1)
  [[ -n $wid ]] && xwininfo -id "$wid" 2>/dev/null | grep -q IsViewable
}

# Looks at the game window for up to SECONDS until it meets every expectation (seg_check's,
# which looks every few milliseconds); keeps the last look as the next screenshot, under NAME,
# and leaves the checker's verdict in $work/verdict.
look() {
  local name=$1 secs=$2
  shift 2
  shot_count=$((shot_count + 1))
  last_shot=$shots/$(printf %02d $shot_count)-$name.bmp
  "$seg_check" "$assets" --window "$wid" "${check_args[@]}" --within "$secs" --save "$last_shot" \
    "$@" >"$work/verdict" 2>&1
}
# The same, failing the session when the expectations are not met in time.
expect_within() {
  look "$@" || fail "$1: $(tr '\n' ';' <"$work/verdict")"
}
# The same, started in the background ahead of what it waits for: returns once the checker has
# loaded its pictures and is looking, so that the change is seen within milliseconds even on a
# loaded machine. expect_done then waits for the verdict.
expect_ahead() {
  ahead_name=$1
  local secs=$2
  shift 2
  shot_count=$((shot_count + 1))
  last_shot=$shots/$(printf %02d $shot_count)-$ahead_name.bmp
  rm -f "$work/ready"
  "$seg_check" "$assets" --window "$wid" "${check_args[@]}" --within "$secs" \
    --ready "$work/ready" --save "$last_shot" "$@" >"$work/verdict" 2>&1 &
  ahead=$!
  within 10 ready_or_gone
  [[ -e $work/ready ]] || fail "$ahead_name: $(tr '\n' ';' <"$work/verdict")"
}
ready_or_gone() { [[ -e $work/ready ]] || ! kill -0 "$ahead" 2>/dev/null; }
expect_done() {
  wait "$ahead" || fail "$ahead_name: $(tr '\n' ';' <"$work/verdict")"
  ahead=
}

# Waits up to SECONDS for CHECK to succeed, trying every 50 ms and at least once; on failure
# names WHAT and the last verdict that CHECK left. Screenshots that CHECK takes share one
# number in a wait, and the last one stays.
await() {
  local end=$(($(now) + $1 * 1000000)) what=$2 number=$((shot_count + 1))
  shift 2
  while :; do
    shot_count=$((number - 1))
    "$@" && return 0
    (($(now) >= end)) && break
    sleep 0.05
  done
  fail "$what: $(tr '\n' ';' <"$work/verdict")"
}

# Waits up to SECONDS for the game to end; leaves its exit status in $status.
ended() { ! kill -0 "$pid" 2>/dev/null; }
await_exit() {
  within "$1" ended || fail "the program is still running"
  wait "$pid"
  status=$?
  pid=
}

# A window manager, as desktops have (fullscreen is the window manager's to give).
start_wm() {
  command -v openbox >/dev/null || { echo "skipped: openbox is not installed"; exit 77; }
  openbox --sm-disable >/dev/null 2>&1 &
  wm=$!
  within 5 wm_up || fail "the window manager did not start"
}
wm_up() { xprop -root _NET_SUPPORTING_WM_CHECK 2>/dev/null | grep -q 'window id'; }

# Window pixel X,Y of the game window on the screen, for xdotool.
at_window() {
  eval "$(xdotool getwindowgeometry --shell "$wid")"
  echo $((X + $1)) $((Y + $2))
}

export SDL_AUDIODRIVER=dummy TZ=UTC LC_ALL=C
unset SDL_VIDEODRIVER SDL_RENDER_DRIVER WAYLAND_DISPLAY
