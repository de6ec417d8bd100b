#!/usr/bin/env bash
# Installs what is missing, builds the Windows program and its installer,
# installs it silently into a Wine prefix of its own (build/run-wineprefix,
# apart from the tests' prefix) and starts the installed program.
# Uses the current X display, or starts a virtual one when there is none.
set -euo pipefail
ORV_ROOT=$(cd "$(dirname "$0")/.." && pwd)
"$ORV_ROOT/scripts/install-deps.sh"
# shellcheck source=win-tree.sh
. "$ORV_ROOT/scripts/win-tree.sh"

orv_configure_win >/dev/null
cmake --build "$ORV_WIN_TREE" --target installer -j"$(nproc 2>/dev/null || echo 2)"
installer=$(ls -t "$ORV_WIN_TREE"/installer/OrvCalendar-*-setup.exe | head -1)

export ORV_WINEPREFIX="$ORV_ROOT/build/run-wineprefix"
# shellcheck source=wine-env.sh
. "$ORV_ROOT/scripts/wine-env.sh"
if [ -z "${DISPLAY:-}" ]; then
  export DISPLAY=:77
  if ! xdpyinfo -display "$DISPLAY" >/dev/null 2>&1; then
    Xvfb "$DISPLAY" -screen 0 1024x768x24 >/dev/null 2>&1 &
    sleep 1
    echo "Started a virtual display $DISPLAY (1024x768); take screenshots with: import -display $DISPLAY -window root shot.png"
  fi
fi
orv_wine_prefix

# Into the default per-user folder. A copy still running from an earlier run is
# asked to exit first and comes back in the notification area, where the new
# start below then finds it (a second copy ends at once).
echo "Installing $(basename "$installer")"
wine "$installer" /S
folder=$(wine reg query 'HKCU\Software\OrvCalendar' /v Path | tr -d '\r' | sed -n 's/^    Path    REG_SZ    //p')
exec wine "$folder\\OrvCalendar.exe" "$@"
