#!/usr/bin/env bash
# A game played with a game controller, on a bare X server or under a window manager: a
# virtual pad in the game's own process (PAD_GAME, the real game with the pad's reports read
# from a pipe) plugged in while the game runs, its Start beginning game A and its D-pad and
# left stick moving Nando on the screen, then unplugged; Esc ends it.
# Run as: pad_session.sh GAME SEG_CHECK SHOTS_DIR PAD_GAME
e2e_name=pad_session
source "$(dirname "$0")/lib.sh"
pad_game=$4
start_x
export XDG_CONFIG_HOME=$work/config
mkfifo "$work/pad"
"$pad_game" "$(dirname "$game")" <"$work/pad" 2>"$work/err" &
pid=$!
exec 4>"$work/pad"
pad() { echo "$*" >&4; }
within 10 find_window || fail "no window titled Crateworks Sim is shown"
expect_within power-on 3 power-on
# SDL gives a pad's presses only to a program that has the keyboard focus; no window manager
# gives it here.
xdotool windowfocus --sync "$wid"

pad plug
expect_ahead game-a 3 IMGameA=lit IMGameB=dark Nando:1=lit Nando:3=dark ButtonA=dark
pad press start
expect_done
pad release start
expect_within start-released 2 ButtonA=lit

# Quick presses, as a player's: each is seen although the loop sleeps between them.
pad press dpup
pad release dpup
expect_within dpad-up 2 Nando:3=lit Nando:1=dark
pad press dpdown
pad release dpdown
expect_within dpad-down 2 Nando:1=lit Nando:3=dark
pad axis lefty -30000
expect_within stick-up 2 Nando:3=lit Nando:1=dark
pad axis lefty 0
pad unplug

xdotool key Escape
await_exit 5
((status == 0)) || fail "Esc: exit status $status"
[[ ! -s $work/err ]] || fail "the game said something on stderr"
passed
