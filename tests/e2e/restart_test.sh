#!/usr/bin/env bash
# What a start, a wrong clock and edits must not undo: an event months ahead
# survives a start with the clock three months back, a fired reminder does
# not run again when its event is excluded or edited, a second start shows
# the running copy's calendar instead of doing nothing, and a damaged window
# rectangle does not hide the calendar.
. "$(dirname "$0")/lib.sh"
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
last_run() { reg_value "$USER_KEY" LastRun | cut -d' ' -f2; }
# The program with its clock set back; Wine's server keeps the true time.
start_behind() {  # offset, args...
  local offset=$1; shift
  faketime -f "$offset" wine "$EXE" "$@" >/dev/null 2>&1 &
  program_pid=$!
  probe idle "$FRAME" 20
}

# 1. The clock three months behind for one start.
reg_reset
wine reg add "$USER_KEY" /v LastRun /t REG_DWORD /d $(( $(date +%s) - 86400 )) /f >/dev/null 2>&1
add_event 1 129 36000 129 1 10 Dentist
start_behind -90d /s
behind=$(last_run)
stop_program
check "the program ran with its clock three months back (recorded $(( ($(date +%s) - ${behind:-0}) / 86400 )) days ago)" \
  test $(( ($(date +%s) - ${behind:-0}) / 86400 )) -ge 89
check "the event 129 days ahead is kept" test "$(reg_value "$SC\\1" title)" = "REG_SZ Dentist"
start_program /s
stop_program
check "and still there after a start with the right clock" test -n "$(reg_value "$SC\\1" front)"

# 2. A fired reminder with a launch file, then its event excluded and edited.
marker="$work/launched.log"
make_launch_file "$work/launch.bat" "$marker"
now_secs=$(( $(date +%s) - $(date -d 'today 00:00' +%s) ))
soon=$(( now_secs + 1800 < 86300 ? now_secs + 1800 : 86300 ))
reg_reset
add_event 1 0 "$soon" 1 30 60 "Pills" "$(winpath "$work/launch.bat")"  # daily, reminded an hour ahead: due
start_program
wait_launches "$marker" 10
check "the due reminder opened its launch file" launched_times "$marker" 1
today_cell
excluded() { [ -n "$(reg_value "$USER_KEY" EventExcluded)" ]; }
# The command is posted after the click: the window takes it once the click is handled.
xdotool mousemove "$cell_x" $(( cell_top + 17 + 8 )) click 1
probe post "$CALENDAR" "$WM_COMMAND" "$ID_EXCLUDE_OCCURRENCE" 0 >/dev/null
check "today's occurrence excluded" wait_for 5 excluded
probe post "$CALENDAR" "$WM_COMMAND" "$ID_EXCLUDE_OCCURRENCE" 0 >/dev/null  # and back
check "and back again" wait_for 5 not excluded
probe post "$CALENDAR" "$WM_COMMAND" "$ID_EDIT_EVENT" 0 >/dev/null
wait_dialog "View/Edit Event" 10
click_control "View/Edit Event" "$IDC_NOTE"
xdotool type --delay 20 "water"
click_control "View/Edit Event" "$IDOK"
wait_dialog "View/Edit Event" 10 gone
check "the note is saved" test "$(reg_value "$SC\\1" note)" = "REG_SZ water"
probe send "$FRAME" "$WM_TIMER" "$kReminderTimerId" 0 >/dev/null  # a check now, answered once done
wait_for 10 launches_done "$work"
check "the launch file ran once in all ($(launch_count "$marker"))" launched_times "$marker" 1
stop_program

# 3. A second start while one runs in the tray.
start_program /s
check "the tray start shows no calendar" test "$(probe count "$CALENDAR")" = 0
wine "$EXE" /s >/dev/null 2>&1
check "a quiet second start ends at once" test $? = 0
# A copy asked to show itself posts that to itself: read after what was posted.
frame_caught_up
check "and shows nothing" test "$(probe count "$CALENDAR")" = 0
wine "$EXE" >/dev/null 2>&1
check "a plain second start ends at once" test $? = 0
check "and the running copy shows its calendar" probe wait "$CALENDAR" 10
check "one copy runs" test "$(probe count "$FRAME")" = 1
stop_program

# 4. A damaged window rectangle (100,100,100,100) opens the calendar at its
# default place and size, and the exit stores that instead.
reg_reset
wine reg add "$USER_KEY" /v ScheRect /t REG_BINARY /d 64000000640000006400000064000000 /f >/dev/null 2>&1
start_program
check "a damaged ScheRect still shows the calendar" probe wait "$CALENDAR" 10
check "at the default 480 x 377 near the bottom right" is "1 494 368 974 745" probe find "$CALENDAR"
probe post "$FRAME" "$WM_CLOSE" 0 0 >/dev/null
check "the program ends" wait_program_end 10
program_pid=
check "and stores the rectangle it showed" \
  test "$(reg_value "$USER_KEY" ScheRect)" = "REG_BINARY EE01000070010000CE030000E9020000"
finish
