#!/usr/bin/env bash
# The expectations, one a line, that a last picture must meet to show what a replay shows at its
# end: every segment the checker can tell apart (a few lie wholly under others) lit or dark as
# in the replay's `expect ok: shown` lines, and the readout's places.
#   replay_checks.sh REPORT REPLAYED
# REPORT is seg_check --report on the picture; REPLAYED what crateworks-replay --check printed.
set -u
report=$1
replayed=$2
declare -A shown
while read -r group members; do
  shown[$group]=" $members "
done < <(sed -n 's/^expect ok: shown //p' "$replayed")
while read -r segment _; do
  group=${segment%%:*} member=${segment#*:}
  [[ -v shown[$group] ]] || continue
  if [[ $segment == "$group" ]]; then  # a segment of its own: 1 or 0
    [[ ${shown[$group]} == " 1 " ]] && echo "$group=lit" || echo "$group=dark"
  else
    [[ ${shown[$group]} == *" $member "* ]] && echo "$segment=lit" || echo "$segment=dark"
  fi
done < <(grep -E '^[A-Za-z0-9]+(:[0-9]+)? +[0-9]+% of' "$report")
readout=$(sed -n 's/^expect ok: readout //p' "$replayed")
place=0
for p in Ora Centinaia skip Decina Unita; do
  c=${readout:place:1}
  place=$((place + 1))
  [[ $p == skip ]] && continue
  [[ $c == _ ]] && echo "$p=blank" || echo "$p=$c"
done
