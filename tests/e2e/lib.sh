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
ROOT_KEY='HKCU\Software\OrvCalendar'
USER_KEY='HKCU\Software\OrvCalendar\User\Default_Id'
FRAME=OrvCalendarFrame
CALENDAR=OrvCalendarSchedule
UPCOMING=OrvCalendarDueEvent
failures=0
program_pid=

check() {  # description, command...
  local what=$1; shift
  if "$@"; then echo "ok   - $what"; else echo "FAIL - $what"; failures=$((failures + 1)); fi
}

not() { ! "$@"; }

probe() { wine "$PROBE" "$@" 2>/dev/null | tr -d '\r'; return "${PIPESTATUS[0]}"; }

reg_reset() { wine reg delete "$ROOT_KEY" /f >/dev/null 2>&1 || true; }

# Prints "TYPE DATA" of a value, nothing when absent.
reg_value() {  # key, name
  wine reg query "$1" /v "$2" 2>/dev/null | tr -d '\r' | awk -v n="$2" '$1 == n { print $2, $3 }'
}

reg_subkeys() {  # key: the names of its direct subkeys, one a line
  wine reg query "$1" 2>/dev/null | tr -d '\r' | grep -i "^$(printf '%s' "$1" | sed 's/^HKCU/HKEY_CURRENT_USER/; s/\\/\\\\/g')\\\\" |
    sed 's/.*\\//'
}

start_program() {  # args...
  wine "$EXE" "$@" >/dev/null 2>&1 &
  program_pid=$!
  probe wait "$FRAME" 20 || return 1
  sleep 0.5
}

program_running() { [ -n "$program_pid" ] && kill -0 "$program_pid" 2>/dev/null; }

wait_program_end() {  # seconds
  local i
  for ((i = 0; i < $1 * 10; i++)); do
    program_running || { wait "$program_pid" 2>/dev/null; program_pid=; return 0; }
    sleep 0.1
  done
  return 1
}

stop_program() {
  if program_running; then
    probe post "$FRAME" 0x111 32772 0 >/dev/null || true  # the tray menu's Exit
    wait_program_end 10 || kill "$program_pid" 2>/dev/null
  fi
  program_pid=
}

# The Wine tray shows our icon while one is in the notification area.
tray_icon_shown() { [ "$(probe find __winex11_standalone_tray | cut -d' ' -f1)" = "1" ]; }

finish() {
  stop_program
  echo "$failures failed"
  [ "$failures" -eq 0 ]
}

# Shared by the scripts that drive dialogs and write events.
E2E_DIR=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
winpath() { printf 'Z:%s' "${1//\//\\}"; }
add_event() { python3 "$E2E_DIR/make_event.py" "$SC" "$@" | while read -r line; do eval "$line" >/dev/null 2>&1; done; }
dialog_shown() { [ "$(probe find '#32770' "$1" | cut -d' ' -f1)" = "1" ]; }
wait_dialog() {  # title, seconds: until it shows (or, with "gone", until it has gone)
  local i
  for ((i = 0; i < $2 * 10; i++)); do
    if [ "${3:-}" = gone ]; then dialog_shown "$1" || return 0; else dialog_shown "$1" && return 0; fi
    sleep 0.1
  done
  return 1
}
click_control() {  # dialog title, control id
  local l t r b
  read -r l t r b <<<"$(probe item '#32770' "$1" "$2")"
  xdotool mousemove $(( (l + r) / 2 )) $(( (t + b) / 2 )) click 1
  sleep 0.2
}
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
