# Shared by the end-to-end scripts. Expects WINEPREFIX and DISPLAY (set by
# scripts/wine-ctest.sh inside xvfb-run), and the program, probe and installer
# paths as the arguments of the script.
set -u
# The Windows runtime would misread an Olson TZ; the program runs, as on
# Windows, with TZ unset, and Wine gives it the host's zone.
unset TZ
EXE=$1
PROBE=$2
INSTALLER=${3:-}
# The program's message, command, control and timer numbers, and the few
# Windows ones the scripts send: written at build time from the headers.
# shellcheck source=/dev/null
. "$(dirname "$PROBE")/ids.sh" || { echo "FAIL - no ids.sh beside $PROBE"; exit 1; }
ROOT_KEY='HKCU\Software\OrvCalendar'
USER_KEY='HKCU\Software\OrvCalendar\User\Default_Id'
SC="$USER_KEY\\sc"
FRAME=OrvCalendarFrame
CALENDAR=OrvCalendarSchedule
UPCOMING=OrvCalendarDueEvent
failures=0
program_pid=

# A script may define explain_failure: what it prints after a failed check,
# as "  | " lines, is shown with the failure by the test command.
check() {  # description, command...
  local what=$1; shift
  if "$@"; then echo "ok   - $what"; return 0; fi
  echo "FAIL - $what"
  failures=$((failures + 1))
  if declare -F explain_failure >/dev/null; then explain_failure 2>&1 | sed 's/^/  | /'; fi
  return 1
}

not() { ! "$@"; }

probe() { wine "$PROBE" "$@" 2>/dev/null | tr -d '\r'; return "${PIPESTATUS[0]}"; }

reg_reset() { wine reg delete "$ROOT_KEY" /f >/dev/null 2>&1 || true; }

reg_dword() { wine reg add "$1" /v "$2" /t REG_DWORD /d "$3" /f >/dev/null 2>&1; }  # key, name, value

# Prints "TYPE DATA" of a value, nothing when absent.
reg_value() {  # key, name
  wine reg query "$1" /v "$2" 2>/dev/null | tr -d '\r' | awk -v n="$2" '$1 == n { print $2, $3 }'
}

reg_subkeys() {  # key: the names of its direct subkeys, one a line
  wine reg query "$1" 2>/dev/null | tr -d '\r' | grep -i "^$(printf '%s' "$1" | sed 's/^HKCU/HKEY_CURRENT_USER/; s/\\/\\\\/g')\\\\" |
    sed 's/.*\\//'
}

# Until its start is done: it waits for input with its windows and tray icon up.
start_program() {  # args...
  wine "$EXE" "$@" >/dev/null 2>&1 &
  program_pid=$!
  probe idle "$FRAME" 20
}

program_running() { [ -n "$program_pid" ] && kill -0 "$program_pid" 2>/dev/null; }

wait_program_end() {  # seconds
  wait_for "$1" not program_running || return 1
  wait "$program_pid" 2>/dev/null
  program_pid=
}

stop_program() {
  if program_running; then
    probe post "$FRAME" "$WM_COMMAND" "$ID_APP_EXIT" 0 >/dev/null || true
    wait_program_end 10 || kill "$program_pid" 2>/dev/null
  fi
  program_pid=
}

# Whatever was posted to the frame before has been handled: posted messages
# go in order, and the tray menu a right-click posted after them shows.
frame_caught_up() {
  probe post "$FRAME" "$WM_TRAYNOTIFY" 0 "$WM_RBUTTONUP" >/dev/null
  wait_for 5 menu_visible || return 1
  xdotool key Escape
  probe gone '#32768' 5
}

# The Wine tray shows our icon while one is in the notification area.
tray_icon_shown() { [ "$(probe find __winex11_standalone_tray | cut -d' ' -f1)" = "1" ]; }

finish() {
  stop_program
  echo "$failures failed"
  [ "$failures" -eq 0 ]
}

# Runs a command every tenth of a second until it succeeds; 1 after the seconds.
wait_for() {  # seconds (may have a fraction), command...
  local whole=${1%.*} frac=000
  [[ $1 == *.* ]] && frac=${1#*.}000
  local end=$(( $(date +%s%3N) + whole * 1000 + 10#${frac:0:3} ))
  shift
  until "$@"; do
    [ "$(date +%s%3N)" -lt "$end" ] || return 1
    sleep 0.1
  done
}

# The output of a command is the one expected.
is() { local want=$1; shift; [ "$("$@")" = "$want" ]; }  # expected, command...

# A popup menu (tray or calendar) is up and tracking.
menu_visible() { [ "$(probe find '#32768' | cut -d' ' -f1)" = 1 ]; }

# For a real timer: until that second of the clock.
sleep_until() { local d=$(( $1 - $(date +%s) )); [ "$d" -le 0 ] || sleep "$d"; }

# Event ids in the registry, in order: "1 2 ".
event_ids() { reg_subkeys "$SC" | sort -n | tr '\n' ' '; }
events_are() { [ "$(event_ids)" = "$1" ]; }
title_of() { wine reg query "$SC\\$1" /v title 2>/dev/null | tr -d '\r' | sed -n 's/^ *title *REG_SZ *//p'; }  # id
titles() {  # the events' titles in the order of their ids, blanks and all
  local id
  for id in $(reg_subkeys "$SC" | sort -n); do title_of "$id"; done | tr '\n' '|'
}

# A batch program that appends a line to MARKER each time it runs; its runs.
make_launch_file() {  # path.bat, marker
  printf '@echo off\r\necho launched>>"%s"\r\n' "$(winpath "$2")" >"$1"
}
# (grep -c prints 0 and fails while cmd has made the file and not yet written.)
launch_count() { local n; n=$(grep -c launched "$1" 2>/dev/null); echo "${n:-0}"; }
launched_times() { [ "$(launch_count "$1")" = "$2" ]; }  # marker, count
# No batch program of that folder runs: every launch set off so far has
# written its line (the program's launch returns once cmd.exe runs).
launches_done() { ! pgrep -f "cmd\.exe .*$(basename "$1")" >/dev/null; }  # folder
# Until the first launch has written its line and none runs any more.
wait_launches() {  # marker, seconds
  wait_for "$2" not launched_times "$1" 0 && wait_for "$2" launches_done "$(dirname "$1")"
}

near() {  # "r g b" "r g b" tolerance
  awk -v a="$1" -v b="$2" -v t="$3" 'BEGIN { split(a, x); split(b, y)
    for (i = 1; i <= 3; i++) if (x[i] - y[i] > t || y[i] - x[i] > t) exit 1 }'
}

# Where the scripts leave their pictures for a person to look at.
shots=$(cd "$(dirname "$EXE")/.." && pwd)/screens
mkdir -p "$shots"

# Shared by the scripts that drive dialogs and write events.
E2E_DIR=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
winpath() { printf 'Z:%s' "${1//\//\\}"; }
add_event() {  # the arguments of make_event.py after the key
  local file
  file=$(mktemp --suffix=.reg)
  python3 "$E2E_DIR/make_event.py" "$SC" "$@" >"$file" && wine reg import "$(winpath "$file")" >/dev/null 2>&1
  rm -f "$file"
}
dialog_shown() { [ "$(probe find '#32770' "$1" | cut -d' ' -f1)" = "1" ]; }
wait_dialog() {  # title, seconds: until it shows (or, with "gone", until it has gone)
  if [ "${3:-}" = gone ]; then wait_for "$2" not dialog_shown "$1"; else wait_for "$2" dialog_shown "$1"; fi
}
click_control() {  # dialog title, control id
  local l t r b
  read -r l t r b <<<"$(probe item '#32770' "$1" "$2")"
  xdotool mousemove $(( (l + r) / 2 )) $(( (t + b) / 2 )) click 1
  wait_for 1 click_taken "$1" "$2" || true
}
# The clicked control has the focus, or the click closed its dialog.
click_taken() { ! dialog_shown "$1" || [ "$(probe focus '#32770' "$1")" = "$2" ]; }
# Today's cell in the calendar window: cell_x its middle, cell_top its top. The
# grid starts at (6, 61); the column and row follow from the weekday of the 1st.
today_cell() {
  local left top right bottom day first p cw ch
  read -r _ left top right bottom <<<"$(probe find "$CALENDAR")"
  day=$(date +%-d)
  first=$(date -d "$(date +%Y-%m-01)" +%w)
  p=$(( first + day - 1 ))
  cw=$(( (right - left - 12) / 7 ))
  ch=$(( (bottom - top - 67) / 6 ))
  cell_x=$(( left + 6 + (p % 7) * cw + cw / 2 ))
  cell_top=$(( top + 61 + (p / 7) * ch ))
}
