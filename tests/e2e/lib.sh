# Shared by the end-to-end sessions: a private X server, a private configuration folder, the
# game started and watched through its pixels, and waits that poll with a deadline.
# With start_weston a Wayland compositor (weston) runs nested on the X server, and the game is a
# native Wayland client on it: found and looked at in weston's screenshots (wl_* below).
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
for tool in Xvfb xauth mcookie xdotool xwininfo xprop import compare ${wm:+$wm wmctrl} \
  ${e2e_tools:-}; do
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
weston_pid=
cleanup() {
  [[ -n $pid ]] && kill "$pid" 2>/dev/null
  [[ -n $ahead ]] && kill "$ahead" 2>/dev/null
  [[ -n $wm_pid ]] && kill "$wm_pid" 2>/dev/null
  [[ -n $weston_pid ]] && kill "$weston_pid" 2>/dev/null
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

# A Wayland compositor nested on the X server, its output WxH (1000x600 unless given) at SCALE
# (1 unless given), in a window that takes the keyboard; BACKEND=headless runs one with no
# screen and no input seat instead. Its
# socket is in a runtime folder of this session's own, and WAYLAND_DISPLAY names it. It never
# locks its screen (--idle-time=0, or it would after 300 s); its desktop is a flat colour with no
# panel, so that a window is what differs from it in a screenshot (weston-screenshooter, which
# needs --debug).
wl_background=3060c0 wl_rgb=48,96,192
start_weston() {
  local size=${1:-1000x600} backend=${2:-x11} scale=${3:-1}
  export XDG_RUNTIME_DIR=$work/run
  mkdir -p -m 700 "$XDG_RUNTIME_DIR"
  printf '[shell]\nbackground-color=0xff%s\npanel-position=none\n' "$wl_background" \
    >"$work/weston.ini"
  weston --backend="$backend-backend.so" --socket=cw-wayland --idle-time=0 --debug \
    --config="$work/weston.ini" --width="${size%x*}" --height="${size#*x}" --scale="$scale" \
    >"$work/weston.log" 2>&1 &
  weston_pid=$!
  export WAYLAND_DISPLAY=cw-wayland
  within 10 test -S "$XDG_RUNTIME_DIR/cw-wayland" || { cat "$work/weston.log"; fail "weston did not start"; }
  [[ $backend == x11 ]] || return 0
  within 10 weston_window || { cat "$work/weston.log"; fail "weston shows no window"; }
  xdotool windowfocus --sync "$weston_wid"
  # Its desktop drawn (its shell, a client of its own, takes a while at a larger scale).
  within 30 wl_desktop_drawn || { cat "$work/weston.log"; fail "weston's desktop is not drawn"; }
}
wl_desktop_drawn() {
  wl_screenshot || return 1
  local w h
  read -r w h < <(convert "$work/wl-shot.png" -format '%w %h' info:)
  [[ $(wl_pixel 1 $((h - 2))),$(wl_pixel $((w - 2)) 1) == "$wl_rgb,$wl_rgb" ]]
}
weston_window() {
  weston_wid=$(xdotool search --class '^Weston Compositor$' 2>/dev/null | head -1)
  [[ -n $weston_wid ]] && xwininfo -id "$weston_wid" 2>/dev/null | grep -q IsViewable
}
stop_weston() {
  kill "$weston_pid" 2>/dev/null
  wait "$weston_pid" 2>/dev/null
  weston_pid=
  rm -rf "$XDG_RUNTIME_DIR"
}

# A screenshot of weston's whole output, as $work/wl-shot.png.
wl_screenshot() {
  rm -rf "$work/wl-shots"
  mkdir "$work/wl-shots"
  (cd "$work/wl-shots" && weston-screenshooter >/dev/null 2>&1) || return 1
  mv "$work/wl-shots"/*.png "$work/wl-shot.png" 2>/dev/null
}
# The windows in the last screenshot: the box of all that differs from the desktop but the
# pointer (whatever is too thin to hold a 31x31 square), as "W H X Y" in $wl_box; "0 0 0 0"
# when there is none.
wl_windows() {
  wl_box=$(convert "$work/wl-shot.png" -fill black -opaque "#$wl_background" -fill white \
    +opaque black -morphology Open Square:15 -bordercolor black -border 1 -trim \
    -format '%w %h %[fx:page.x-1] %[fx:page.y-1]' info: 2>/dev/null)
  [[ $wl_box == "1 1 -1 -1" ]] && wl_box="0 0 0 0"
  return 0
}
# The box of the pixels of colour R,G,B in the last screenshot, as wl_windows gives it.
wl_colour_box() {
  wl_box=$(convert "$work/wl-shot.png" -fill black +opaque "rgb($1)" -fill white -opaque "rgb($1)" \
    -bordercolor black -border 1 -trim -format '%w %h %[fx:page.x-1] %[fx:page.y-1]' info: 2>/dev/null)
}
# The colour of pixel X,Y of the picture FILE, as "R,G,B" (0..255 each).
pixel() {
  convert "$1" -format '%[fx:int(255*p{'"$2,$3"'}.r)],%[fx:int(255*p{'"$2,$3"'}.g)],%[fx:int(255*p{'"$2,$3"'}.b)]' info:
}
# The colour at X,Y of the last screenshot.
wl_pixel() { pixel "$work/wl-shot.png" "$1" "$2"; }
# Takes a screenshot in which the game window shows (alone, 802x448 at scale 1) and keeps the
# window's part of it as the next screenshot under NAME; its place in weston's output is $wx $wy.
# (wl_size: the window's size in the output's pixels, 802x448 unless set; wl_margin: how many
# pixels of its edge the shell leaves clear, 0 unless set: its outline runs half a casing pixel
# inside, which is a whole pixel at 2x.)
wl_size=802x448
wl_margin=0
wl_game_shot() {
  local w h
  wl_screenshot || { echo "no screenshot" >"$work/verdict"; return 1; }
  wl_windows
  read -r w h wx wy <<<"$wl_box"
  ((wx -= wl_margin, wy -= wl_margin, w += 2 * wl_margin, h += 2 * wl_margin))
  [[ "$w"x"$h" == "$wl_size" ]] ||
    { echo "the windows shown are $wl_box, not $wl_size" >"$work/verdict"; return 1; }
  shot_count=$((shot_count + 1))
  last_shot=$shots/$(printf %02d $shot_count)-$1.png
  convert "$work/wl-shot.png" -crop "$wl_size+$wx+$wy" +repage "$last_shot"
}
# Looks at the game window where wl_game_shot last found it, in screenshots, for up to SECONDS
# until it meets every expectation, as look does (a look takes a tenth of a second); the last
# look stays as the next screenshot under NAME.
wl_look() {
  local end=$(($(now) + $2 * 1000000))
  shot_count=$((shot_count + 1))
  last_shot=$shots/$(printf %02d $shot_count)-$1.png
  shift 2
  while :; do
    wl_screenshot && convert "$work/wl-shot.png" -crop "$wl_size+$wx+$wy" +repage "$last_shot" &&
      "$seg_check" "$assets" --image "$last_shot" "${check_args[@]}" "$@" >"$work/verdict" 2>&1 &&
      return 0
    (($(now) >= end)) && return 1
    sleep 0.05
  done
}
wl_expect_within() {
  wl_look "$@" || fail "$1: $(tr '\n' ';' <"$work/verdict")"
}
# A click at X,Y of weston's output. weston follows the X pointer's motion within its window:
# the pointer goes to a corner of it and back in, then to the place.
wl_click() {
  xdotool mousemove --window "$weston_wid" 999 599 mousemove --window "$weston_wid" 0 0
  sleep 0.1
  xdotool mousemove --window "$weston_wid" "$1" "$2"
  sleep 0.1
  xdotool click 1
}

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
  # The last whole screenshot of a Wayland session, which no look kept.
  [[ -s $work/wl-shot.png ]] && cp "$work/wl-shot.png" "$shots/last-weston-screenshot.png"
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

# Game B, started and seen, played in the window to its game over: Bepo down to the lowest
# hand-over, where he and Nando lift the first crates of each run; Nando up and back down. The
# crates that reach Bepo's middle hand-over break: misses, and the third ends the game. EXPECT
# and LOOK are the looks at the window (expect_within and look, or wl_expect_within and wl_look);
# the last one, before Esc ends the program, is left in $final.
play_game_b() {
  local expect=$1 look=$2
  xdotool key l
  $expect bepo-down 2 Bepo:1=lit Bepo:3=dark
  sleep 1
  xdotool key q
  $expect nando-up 2 Nando:3=lit
  xdotool key a
  $expect nando-down 2 Nando:1=lit
  # The game over: the clock shows again (its colon lit) once the final score has stood a while.
  $expect game-over 90 duepunti=lit
  # Not at the turn of a minute: the picture must not change between the last look and Esc.
  (($(date +%S | sed 's/^0//') >= 57)) && sleep 4
  $look last 0 duepunti=lit || fail "the clock went out: $(tr '\n' ';' <"$work/verdict")"
  final=$last_shot
  quit
}

# The RECORDING of play_game_b replayed headless in a folder of its own: every recorded value
# the same, a game over, a crate lifted, the keys pressed in it; its output in $work/replayed.
replay_game_b() {
  local recording=$1 score
  mkdir "$work/replay"
  (cd "$work/replay" && "$replay" --check "$recording" >"$work/replayed" 2>"$work/replay.err") ||
    { cp "$recording" "$shots/"; fail "the replay differs: $(cat "$work/replay.err")"; }
  grep -q '^expect ok: Misses 0$' "$work/replayed" || fail "no game over in the replay"
  score=$(sed -n 's/^expect ok: Score //p' "$work/replayed")
  ((score >= 1)) || fail "no crate lifted (score '$score')"
  grep -q '^keydown 113$' "$recording" && grep -q '^keydown 76$' "$recording" ||
    fail "the keys pressed are not in the recording"
}

# Whether picture FINAL (the game window's last look) shows what the replay's output REPLAYED
# ends with: every segment the checker can tell apart (a few lie wholly under others), lit or dark
# as in the replay, and the readout.
shows_replay_end() {
  local final=$1 replayed=$2 checks
  "$seg_check" "$assets" --image "$final" --report >"$work/report" 2>&1 || fail "no report"
  mapfile -t checks < <(bash "$(dirname "${BASH_SOURCE[0]}")/replay_checks.sh" "$work/report" "$replayed")
  ((${#checks[@]} > 50)) || fail "only ${#checks[@]} segments to compare: $(head -3 "$work/report")"
  "$seg_check" "$assets" --image "$final" "${checks[@]}" >"$work/verdict" 2>&1
}

export SDL_AUDIODRIVER=dummy TZ=UTC LC_ALL=C
unset SDL_VIDEODRIVER SDL_RENDER_DRIVER WAYLAND_DISPLAY
