# Shared by the end-to-end sessions: a private X server, a private configuration folder, the
# game started and watched through its pixels, and waits that poll with a deadline.
# A session script sets e2e_name and sources this file with its first arguments:
#   GAME SEG_CHECK SHOTS_DIR
# Screenshots go to SHOTS_DIR; they are kept, and named, when the session fails.
# With E2E_WM=openbox in the environment, a real window manager runs on the server (title bars,
# focus rules, minimising, reparenting), as on a player's desktop; without it, none does.
set -u
wm=${E2E_WM:-}
[[ -z $wm || $wm == openbox ]] || { echo "FAIL: unknown window manager '$wm'"; exit 1; }
e2e_name+=${wm:+.$wm}
game=$1
seg_check=$2
shots=$3
assets=$(dirname "$game")/assets
for tool in Xvfb xauth mcookie xdotool xwininfo xprop import compare ${wm:+$wm wmctrl}; do
  command -v $tool >/dev/null || { echo "skipped: $tool is not installed"; exit 77; }
done

work=$(mktemp -d)
pid=
xvfb=
ahead=
shot_count=0
wm_pid=
# Arguments for the game (its --scale, --view, --fullscreen) and for the checker, which must
# know how the game shows the device (its --scale, --view, or the window's --size).
game_args=()
check_args=()
cleanup() {
  [[ -n $pid ]] && kill "$pid" 2>/dev/null
  [[ -n $ahead ]] && kill "$ahead" 2>/dev/null
  [[ -n $wm_pid ]] && kill "$wm_pid" 2>/dev/null
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
  local cookie n screen=${1:-1280x800}
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
  [[ -n $wm ]] && start_wm
  return 0
}

# The window manager, with its own default settings (not the user's), once it manages the screen.
start_wm() {
  XDG_CONFIG_HOME=$work/wm-config "$wm" --sm-disable >"$work/wm.log" 2>&1 &
  wm_pid=$!
  within 10 wm_running || { cat "$work/wm.log"; fail "$wm did not start"; }
}
wm_running() { xprop -root _NET_SUPPORTING_WM_CHECK 2>/dev/null | grep -q 'window id'; }

# Asks a window to close as a title bar's close box does: through the window manager when one
# runs, or else straight to the window (WM_DELETE_WINDOW, with the wm_close tool given).
close_window() {
  if [[ -n $wm ]]; then wmctrl -i -c "$1"; else "$wm_close" "$1"; fi
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

# Where the game keeps its key file and settings: this session's own folder, or E2E_CONFIG_DIR
# for a game that keeps them elsewhere (the Windows game under wine, in %APPDATA%).
config_dir=${E2E_CONFIG_DIR:-$work/config/crateworks}

# Starts the game with this session's configuration folder (fresh at first) and waits for its
# window to show. Words given go before the game's path (env ... to change its environment);
# game_args after it.
start_game() {
  export XDG_CONFIG_HOME=$work/config
  "$@" "$game" "${game_args[@]}" 2>"$work/err" &
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

# The key dialog: opened with a click on TIME, found as the program's other window ($did), and
# waited for until drawn, its key boxes 1 and 3 kept to tell later changes by.
open_dialog() {
  local tx ty
  read -r tx ty < <(at_window $((555 + 13)) $((298 + 19)))
  xdotool mousemove "$tx" "$ty" click 1
  within 3 dialog_shown || fail "a click on TIME opened no dialog"
  await 3 "the dialog drawn" dialog_drawn
}
dialog_shown() {
  # Shown ones only: wine keeps hidden helper windows of the same class.
  did=$(xdotool search --onlyvisible --class crateworks 2>/dev/null | grep -vx "$wid" | head -1)
  [[ -n $did ]] && xwininfo -id "$did" 2>/dev/null | grep -q IsViewable
}
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
# Whether key box ROW changed since last kept; if so, keeps it as it is now.
box_changed() {  # ROW NAME
  dialog_shot "$2" || return 1
  box_crop "$1" "$last_shot" "$work/box.png"
  local differ
  differ=$(compare -metric AE "$work/box.png" "$work/box$1-before.png" null: 2>&1)
  ((differ > 0)) || { echo "key box $1 unchanged" >"$work/verdict"; return 1; }
  cp "$work/box.png" "$work/box$1-before.png"
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

# Waits up to SECONDS for the game to end; leaves its exit status in $status.
ended() { ! kill -0 "$pid" 2>/dev/null; }
await_exit() {
  within "$1" ended || fail "the program is still running"
  wait "$pid"
  status=$?
  pid=
}

# The top left corner of window ID on the screen, as "X Y" (xdotool's geometry is off by the
# frame under a window manager that reparents).
corner() {
  xwininfo -id "$1" | sed -n 's/^ *Absolute upper-left [XY]: *//p' | tr '\n' ' '
}
geometry() {  # the game window's WIDTHxHEIGHT+X+Y
  local x y
  read -r x y < <(corner "$wid")
  echo "$(xwininfo -id "$wid" | sed -n 's/^ *Width: *//p')x$(xwininfo -id "$wid" |
    sed -n 's/^ *Height: *//p')+$x+$y"
}
# Whether the window is (now) SIZE, or SIZE+X+Y: for within, which runs it again and again.
window_is() { [[ $(geometry) == "$1" || $(geometry | cut -d+ -f1) == "$1" ]]; }
# Esc, and the game ends with status 0.
quit() {
  xdotool key Escape
  await_exit 5
  ((status == 0)) || fail "Esc: exit status $status"
}

# Window pixel X,Y of the game window on the screen, for xdotool.
at_window() {
  local x y
  read -r x y < <(corner "$wid")
  echo $((x + $1)) $((y + $2))
}

export SDL_AUDIODRIVER=dummy TZ=UTC LC_ALL=C
unset SDL_VIDEODRIVER SDL_RENDER_DRIVER WAYLAND_DISPLAY
