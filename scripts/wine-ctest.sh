#!/usr/bin/env bash
# Runs the Windows tree's tests under Wine (ORV_WIN_BUILD picks another tree,
# ORV_WINEPREFIX another prefix). Meant to run inside xvfb-run, so
# that Wine's helper processes start on the virtual display.
set -uo pipefail
ORV_ROOT=$(cd "$(dirname "$0")/.." && pwd)
# shellcheck source=wine-env.sh
. "$ORV_ROOT/scripts/wine-env.sh"
orv_wine_prefix
# Start Wine's services now, detached from ctest's output: a service that
# inherits ctest's pipe would keep every test "running" until the end.
wine cmd /c exit </dev/null >/dev/null 2>&1 || true
ctest --test-dir "${ORV_WIN_BUILD:-$ORV_ROOT/build/win}" --output-on-failure --timeout 600 "$@"
rc=$?
orv_wine_stop
exit $rc
