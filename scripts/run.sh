#!/usr/bin/env bash
# Installs what is missing, builds the Windows program and starts it under Wine.
# Uses the current X display, or starts a virtual one when there is none.
set -euo pipefail
ORV_ROOT=$(cd "$(dirname "$0")/.." && pwd)
"$ORV_ROOT/scripts/install-deps.sh"

cmake -S "$ORV_ROOT" -B "$ORV_ROOT/build/win" -DCMAKE_TOOLCHAIN_FILE="$ORV_ROOT/cmake/mingw-w64-x86_64.cmake" \
  -DCMAKE_BUILD_TYPE=Release >/dev/null
cmake --build "$ORV_ROOT/build/win" --target OrvCalendar -j"$(nproc 2>/dev/null || echo 2)"

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
exec wine "$ORV_ROOT/build/win/src/OrvCalendar.exe" "$@"
