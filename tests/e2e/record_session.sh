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

# Game B to its game over.
expect_ahead game-b 3 IMGameB=lit IMGameA=dark
xdotool key F2
expect_done
play_game_b expect_within look
replay_game_b "$recording"

# The window's last picture shows what the replay shows at its end.
shows_replay_end "$final" "$work/replayed" || fail "the last picture: $(tr '\n' ';' <"$work/verdict")"

# Watched again in the window: it plays to its end and says it ended as recorded.
game_args=(--play "$recording")
start_game
await_exit 90
((status == 0)) || fail "--play: exit status $status"
grep -q 'played back as recorded' "$work/err" || fail "--play said: $(cat "$work/err")"
passed
