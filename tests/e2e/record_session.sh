#!/usr/bin/env bash
# A game B played in the real window and recorded (--record): moves, lifts, misses, to the game
# over. Replayed headless with --check, the recording ends with the same values, and the
# replay's segments are those the window showed last; played back in the window (--play), it
# ends as recorded.
# Run as: record_session.sh GAME SEG_CHECK SHOTS_DIR REPLAY
e2e_name=record_session
source "$(dirname "$0")/lib.sh"
replay=$4
start_x
recording=$work/game.scn
game_args=(--record "$recording")
start_game
[[ -z $wm ]] && xdotool windowfocus --sync "$wid"

# Game B; Bepo down to the lowest hand-over, where he and Nando lift the first crates of each
# run; Nando up and back down. The crates that reach Bepo's middle hand-over break: misses, and
# the third ends the game.
expect_ahead game-b 3 IMGameB=lit IMGameA=dark
xdotool key F2
expect_done
xdotool key l
expect_within bepo-down 2 Bepo:1=lit Bepo:3=dark
sleep 1
xdotool key q
expect_within nando-up 2 Nando:3=lit
xdotool key a
expect_within nando-down 2 Nando:1=lit
# The game over: the clock shows again (its colon lit) once the final score has stood a while.
expect_within game-over 90 duepunti=lit
# Not at the turn of a minute: the picture must not change between the last look and Esc.
(($(date +%S | sed 's/^0//') >= 57)) && sleep 4
look last 0 duepunti=lit || fail "the clock went out: $(tr '\n' ';' <"$work/verdict")"
final=$last_shot
xdotool key Escape
await_exit 5
((status == 0)) || fail "Esc: exit status $status"

# The replay in a folder of its own: every recorded value the same.
mkdir "$work/replay"
(cd "$work/replay" && "$replay" --check "$recording" >"$work/replayed" 2>"$work/replay.err") ||
  { cp "$recording" "$shots/"; fail "the replay differs: $(cat "$work/replay.err")"; }
grep -q '^expect ok: Misses 0$' "$work/replayed" || fail "no game over in the replay"
score=$(sed -n 's/^expect ok: Score //p' "$work/replayed")
((score >= 1)) || fail "no crate lifted (score '$score')"
grep -q '^keydown 113$' "$recording" && grep -q '^keydown 76$' "$recording" ||
  fail "the keys pressed are not in the recording"

# The window's last picture shows what the replay shows at its end: every segment the checker
# can tell apart (a few lie wholly under others), lit or dark as in the replay, and the readout.
"$seg_check" "$assets" --image "$final" --report >"$work/report" 2>&1 || fail "no report"
mapfile -t checks < <(bash "$(dirname "$0")/replay_checks.sh" "$work/report" "$work/replayed")
((${#checks[@]} > 50)) || fail "only ${#checks[@]} segments to compare: $(head -3 "$work/report")"
"$seg_check" "$assets" --image "$final" "${checks[@]}" >"$work/verdict" 2>&1 ||
  fail "the last picture: $(tr '\n' ';' <"$work/verdict")"

# Watched again in the window: it plays to its end and says it ended as recorded.
game_args=(--play "$recording")
start_game
await_exit 90
((status == 0)) || fail "--play: exit status $status"
grep -q 'played back as recorded' "$work/err" || fail "--play said: $(cat "$work/err")"
passed
