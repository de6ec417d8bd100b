#!/usr/bin/env bash
# Runs the Windows tree's tests under Wine (ORV_WIN_BUILD picks another tree,
# ORV_WINEPREFIX another prefix). Meant to run inside xvfb-run, so
# that Wine's helper processes start on the virtual display.
set -uo pipefail
ORV_ROOT=$(cd "$(dirname "$0")/.." && pwd)
# shellcheck source=wine-env.sh
. "$ORV_ROOT/scripts/wine-env.sh"
# shellcheck source=win-tree.sh
. "$ORV_ROOT/scripts/win-tree.sh"
# Otherwise a service would keep every test "running" until ctest ends.
orv_wine_start
ctest --test-dir "$ORV_WIN_TREE" --output-on-failure --timeout 600 "$@"
rc=$?
orv_wine_stop
exit $rc
