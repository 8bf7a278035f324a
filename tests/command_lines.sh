#!/usr/bin/env bash
# Both programs read their command lines alike: --help and --version answer on stdout with
# status 0, anything else they do not take ends them with status 2, one line saying why and the
# usage line. The replay also fails plainly on input it cannot read (status 2) and on output it
# cannot write (status 1), never with a crash or a false success.
# Run as: command_lines.sh GAME REPLAY VERSION
set -u
game=$(realpath "$1") replay=$(realpath "$2") version=$3
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
fail=0

# run EXPECTED_STATUS STDOUT_LINE1 STDERR_LINE1 COMMAND...: the status and the first line of
# each stream ("" for an empty stream).
run() {
  local want_status=$1 want_out=$2 want_err=$3
  shift 3
  "$@" >"$work/out" 2>"$work/err" </dev/null
  local status=$? out err
  out=$(head -1 "$work/out") err=$(head -1 "$work/err")
  if [[ $status != "$want_status" || $out != "$want_out" || $err != "$want_err" ]]; then
    echo "FAIL: $*: status $status (want $want_status)"
    echo "  stdout: '$out' (want '$want_out')"
    echo "  stderr: '$err' (want '$want_err')"
    fail=1
  fi
}
# The usage line follows a command-line error.
usage_second() {
  [[ $(sed -n 2p "$work/err") == "Usage: $1 [OPTION]..."* ]] || {
    echo "FAIL: $1: no usage line after the error"; fail=1; }
}

for prog in "$game" "$replay"; do
  name=$(basename "$prog")
  usage="Usage: $name [OPTION]..."
  [[ $name == crateworks-replay ]] && usage+=" [SCENARIO]"
  run 0 "$usage" "" "$prog" --help
  run 0 "$usage" "" "$prog" -h
  run 0 "$name $version" "" "$prog" --version
  run 2 "" "$name: unrecognized option '--bogus'" "$prog" --bogus
  usage_second "$name"
  run 2 "" "$name: invalid option -- 'z'" "$prog" -z
  run 2 "" "$name: option '--version' doesn't allow an argument" "$prog" --version=2
  usage_second "$name"
done
# After "--" an option's name is an operand: the game takes none, the replay reads it as a file.
run 2 "" "crateworks: unexpected operand '--version'" "$game" -- --version
cd "$work"
run 2 "" "crateworks-replay: cannot read --version: No such file or directory" "$replay" -- --version
cd - >/dev/null

# Input that cannot be read: a directory, as an operand and as standard input, and a missing file.
mkdir "$work/dir"
run 2 "" "crateworks-replay: cannot read $work/dir: Is a directory" "$replay" "$work/dir"
"$replay" <"$work/dir" >"$work/out" 2>"$work/err"
status=$? err=$(head -1 "$work/err")
[[ $status == 2 && $err == "crateworks-replay: cannot read standard input: Is a directory" ]] ||
  { echo "FAIL: a directory as standard input: status $status, stderr '$err'"; fail=1; }
run 2 "" "crateworks-replay: cannot read $work/none: No such file or directory" \
  "$replay" "$work/none"
# Input far larger than any scenario is refused once it is seen to be, not read whole.
truncate -s 1G "$work/huge.scn"
run 2 "" "crateworks-replay: cannot read $work/huge.scn: too large (over 64 MiB)" \
  "$replay" "$work/huge.scn"
run 2 "" "crateworks: cannot play $work/huge.scn: too large (over 64 MiB)" \
  "$game" --play "$work/huge.scn"
rm "$work/huge.scn"

# Output that cannot be written: a full device.
printf 'start\nprint time\n' >"$work/s.scn"
(cd "$work" && "$replay" s.scn >/dev/full 2>"$work/err")
status=$? err=$(cat "$work/err")
[[ $status == 1 && $err == "crateworks-replay: cannot write the output: No space left on device" ]] ||
  { echo "FAIL: output to /dev/full: status $status, stderr '$err'"; fail=1; }

# Recordings: a file that cannot be recorded to or played ends the game before any window opens
# (status 2), and the combinations that mean nothing are refused.
echo keep >"$work/kept.scn"
run 2 "" "crateworks: cannot record to $work/kept.scn: it exists (--force replaces it)" \
  "$game" --record "$work/kept.scn"
[[ $(cat "$work/kept.scn") == keep ]] || { echo "FAIL: --record changed a file that exists"; fail=1; }
run 2 "" "crateworks: cannot record to $work/dir/x/r.scn: No such file or directory" \
  "$game" --record "$work/dir/x/r.scn"
run 2 "" "crateworks: cannot record to $work/dir: it is a folder" "$game" --record "$work/dir"
run 2 "" "crateworks: cannot record to $work/dir: it is a folder" \
  "$game" --record "$work/dir" --force
run 2 "" "crateworks: cannot play $work/dir: not a regular file" "$game" --play "$work/dir"
run 2 "" "crateworks: --force goes with --record" "$game" --force
run 2 "" "crateworks: --record and --play cannot go together" \
  "$game" --record "$work/r.scn" --play "$work/kept.scn"
run 2 "" "crateworks: cannot play $work/none: no such file" "$game" --play "$work/none"
printf 'seed 1\nwait 10\ndraw 0.5\n' >"$work/draws.scn"
run 2 "" "crateworks: cannot play $work/draws.scn: line 3: only crateworks-replay plays time and draw" \
  "$game" --play "$work/draws.scn"
# With nowhere to show the game, a recording just made is not left behind empty.
SDL_VIDEODRIVER= DISPLAY= WAYLAND_DISPLAY= "$game" --record "$work/new.scn" >/dev/null 2>&1
[[ -e $work/new.scn ]] && { echo "FAIL: a recording that never started is left behind"; fail=1; }
# --check: status 1 at the first value that differs, naming its line, and when there is none.
printf 'start\nexpect Score 0\nexpect Misses 2\nexpect Score 5\n' >"$work/c.scn"
(cd "$work" && run 1 "expect ok: Score 0" \
  "crateworks-replay: line 3 differs: recorded 'Misses 2', replayed 'Misses 0'" \
  "$replay" --check c.scn)
(cd "$work" && run 1 "" "crateworks-replay: nothing to check: no expect line (a recording cut short?)" \
  "$replay" --check s.scn)


# The replay never changes a key file it did not make: the dialog's keys stay in memory, unless
# --key-file names the file to write.
mkdir "$work/keys"
printf '70\n71\n72\n73\n' >"$work/keys/crateworks.key"
printf 'start\nclick ButtonTime\nkeydown 75\nclose\nprint keyfile\nkeyfile none\n' >"$work/keys/k.scn"
(cd "$work/keys" && run 0 "keyfile 75 71 72 73" "" "$replay" k.scn)
[[ $(cat "$work/keys/crateworks.key") == $'70\n71\n72\n73' ]] ||
  { echo "FAIL: the replay changed the key file of the folder it ran in"; fail=1; }
(cd "$work/keys" && run 0 "keyfile 75 71 72 73" "" "$replay" --key-file=crateworks.key k.scn)
[[ ! -e $work/keys/crateworks.key ]] ||
  { echo "FAIL: --key-file did not let the scenario remove the key file"; fail=1; }
# Without its data folder the replay says so, and still runs.
mkdir "$work/bare"
cp "$replay" "$work/bare/"
(cd "$work/bare" && run 0 "time 0" \
  "crateworks-replay: no data folder (with assets/ and audio/) in $work/bare, $work/bare/../share/crateworks, $work/bare: the sounds hold nothing unless the scenario gives their lengths" \
  ./crateworks-replay "$work/s.scn")

((fail == 0)) && echo "ok (command lines)"
exit $fail
