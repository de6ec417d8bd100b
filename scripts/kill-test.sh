#!/usr/bin/env bash
# The kill test with its full count: the program killed at random moments
# while it saves, edits, excludes and deletes, 100 times (or as many as
# given), under Wine on a virtual display. Builds what it needs first.
#   scripts/kill-test.sh [rounds] [seed]
set -uo pipefail
ORV_ROOT=$(cd "$(dirname "$0")/.." && pwd)
export ORV_ROOT
"$ORV_ROOT/scripts/install-deps.sh" || exit 1
# shellcheck source=win-tree.sh
. "$ORV_ROOT/scripts/win-tree.sh"
tree=$ORV_WIN_TREE
orv_configure_win >/dev/null || exit 1
nice cmake --build "$tree" -j2 --target OrvCalendar orv_probe >/dev/null || { echo "build failed"; exit 1; }
export ORV_KILL_ROUNDS=${1:-100}
[ $# -ge 2 ] && export ORV_KILL_SEED=$2
xvfb-run -a -s "-screen 0 1024x768x24" bash -c '
  . "$ORV_ROOT/scripts/wine-env.sh"
  orv_wine_start
  bash "$ORV_ROOT/tests/e2e/kill_test.sh" "$0" "$1"
  rc=$?
  orv_wine_stop
  exit $rc' "$tree/src/OrvCalendar.exe" "$tree/tests/orv_probe.exe"
