#!/usr/bin/env bash
# Start-up time and peak memory of OrvCalendar.exe under Wine, beside a
# minimal window program measured in the same run: only the ratio holds on a
# noisy machine. Usage: scripts/bench-startup.sh [ROUNDS] [EVENTS] [WALLPAPER]
#   EVENTS: events of the realistic mix stored first (default none);
#   WALLPAPER: an image file, or "photo" for a generated 3840 x 2160 JPEG.
set -euo pipefail
ORV_ROOT=$(cd "$(dirname "$0")/.." && pwd)
rounds=${1:-10}
events=${2:-0}
wallpaper=${3:-}
if [ -z "${DISPLAY:-}" ]; then exec xvfb-run -a -s "-screen 0 1024x768x24" "$0" "$@"; fi

# shellcheck source=win-tree.sh
. "$ORV_ROOT/scripts/win-tree.sh"
orv_configure_win >/dev/null
cmake --build "$ORV_WIN_TREE" --target OrvCalendar orv_probe minimal_window fill_store -j2 >/dev/null
# shellcheck source=wine-env.sh
. "$ORV_ROOT/scripts/wine-env.sh"
orv_wine_start
unset TZ

exe="$ORV_WIN_TREE/src/OrvCalendar.exe"
minimal="$ORV_WIN_TREE/bench/startup/minimal_window.exe"
probe="$ORV_WIN_TREE/tests/orv_probe.exe"
# The program's message and command numbers, as the end-to-end scripts have them.
# shellcheck source=/dev/null
. "$ORV_WIN_TREE/tests/ids.sh"
wine reg delete 'HKCU\Software\OrvCalendar' /f >/dev/null 2>&1 || true
if [ "$wallpaper" = photo ]; then
  wallpaper="$ORV_ROOT/build/bench/photo-3840x2160.jpg"
  if [ ! -f "$wallpaper" ]; then
    mkdir -p "$(dirname "$wallpaper")"
    convert -seed 7 -size 3840x2160 plasma:fractal -blur 0x2 -quality 90 "$wallpaper"
  fi
fi
if [ "$events" != 0 ] || [ -n "$wallpaper" ]; then
  winpaper=""
  [ -n "$wallpaper" ] && winpaper=$(winepath -w "$wallpaper")
  wine "$ORV_WIN_TREE/bench/startup/fill_store.exe" "$events" "$winpaper" | tr -d '\r'
fi

median() { sort -n | awk '{ a[NR] = $1 } END { print (NR % 2) ? a[(NR + 1) / 2] : (a[NR / 2] + a[NR / 2 + 1]) / 2 }'; }

: >/tmp/orv-bench-app; : >/tmp/orv-bench-min
for ((i = 0; i < rounds; i++)); do
  wine "$probe" launch OrvCalendarSchedule OrvCalendarFrame "$WM_COMMAND" "$ID_APP_EXIT" "$exe" | tr -d '\r' >>/tmp/orv-bench-app
  wine "$probe" launch MinimalWindow MinimalWindow "$WM_CLOSE" 0 "$minimal" | tr -d '\r' >>/tmp/orv-bench-min
done

# Whole-process maximum resident size, as the kernel saw it.
rss() {  # exe, window class, quit class, quit message, quit wparam
  ( sleep 3; wine "$probe" post "$3" "$4" "$5" 0 >/dev/null 2>&1 ) &
  /usr/bin/time -v wine "$1" 2>&1 >/dev/null | awk -F': ' '/Maximum resident set size/ { print $2 }'
  wait
}
app_rss=$(rss "$exe" OrvCalendarSchedule OrvCalendarFrame "$WM_COMMAND" "$ID_APP_EXIT")
min_rss=$(rss "$minimal" MinimalWindow MinimalWindow "$WM_CLOSE" 0)

app_ms=$(cut -d' ' -f1 /tmp/orv-bench-app | median)
min_ms=$(cut -d' ' -f1 /tmp/orv-bench-min | median)
app_ws=$(cut -d' ' -f2 /tmp/orv-bench-app | median)
min_ws=$(cut -d' ' -f2 /tmp/orv-bench-min | median)
orv_wine_stop
echo "rounds: $rounds (medians); events: $events; wallpaper: ${wallpaper:-none}"
printf '%-16s %12s %16s %14s\n' program "ms to painted" "peak WS (KiB)" "max RSS (KiB)"
printf '%-16s %12s %16s %14s\n' OrvCalendar "$app_ms" "$app_ws" "$app_rss"
printf '%-16s %12s %16s %14s\n' minimal "$min_ms" "$min_ws" "$min_rss"
awk -v a="$app_ms" -v m="$min_ms" -v aw="$app_ws" -v mw="$min_ws" -v ar="$app_rss" -v mr="$min_rss" \
  'BEGIN { printf "ratio: time %.2f, peak working set %.2f, max RSS %.2f\n", a / m, aw / mw, ar / mr }'
