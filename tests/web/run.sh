#!/usr/bin/env bash
# Runs one file of browser tests with node's test runner:
#   tests/web/run.sh TEST.mjs SITE SEG_CHECK REPLAY ASSETS SHOTS
# SITE is what make web built (build/web); the npm packages come from tools/web-node-modules.
set -u
here=$(cd "$(dirname "$0")/../.." && pwd)
test=$1
export CW_SITE=$2 CW_SEG_CHECK=$3 CW_REPLAY=$4 CW_ASSETS=$5 CW_SHOTS=$6
for tool in node chromium; do
  command -v $tool >/dev/null || { echo "skipped: $tool is not installed"; exit 77; }
done
[ -f "$CW_SITE/index.html" ] || { echo "FAIL: no site in $CW_SITE (make web builds it)"; exit 1; }
CW_NODE_MODULES=$("$here/tools/web-node-modules") || { echo "FAIL: cannot install the npm packages"; exit 1; }
export CW_NODE_MODULES
rm -rf "$CW_SHOTS"
mkdir -p "$CW_SHOTS"
exec node --test "$test"
