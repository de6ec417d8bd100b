#!/usr/bin/env bash
# What a start, a wrong clock and edits must not undo: an event months ahead
# survives a start with the clock three months back, a fired reminder does
# not run again when its event is excluded or edited, and a second start
# shows the running copy's calendar instead of doing nothing.
. "$(dirname "$0")/lib.sh"
SC="$USER_KEY\\sc"
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
last_run() { reg_value "$USER_KEY" LastRun | cut -d' ' -f2; }
# The program with its clock set back; Wine's server keeps the true time.
start_behind() {  # offset, args...
  local offset=$1; shift
  faketime -f "$offset" wine "$EXE" "$@" >/dev/null 2>&1 &
  program_pid=$!
  probe wait "$FRAME" 20
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
printf '@echo off\r\necho launched>>"%s"\r\n' "$(winpath "$marker")" >"$work/launch.bat"
now_secs=$(( $(date +%s) - $(date -d 'today 00:00' +%s) ))
soon=$(( now_secs + 1800 < 86300 ? now_secs + 1800 : 86300 ))
launched() { grep -c launched "$marker" 2>/dev/null || echo 0; }
reg_reset
add_event 1 0 "$soon" 1 30 60 "Pills" "$(winpath "$work/launch.bat")"  # daily, reminded an hour ahead: due
start_program
for ((i = 0; i < 100 && $(launched) == 0; i++)); do sleep 0.1; done
check "the due reminder opened its launch file" test "$(launched)" = 1
today_cell
xdotool mousemove "$cell_x" $(( cell_top + 17 + 8 )) click 1
sleep 0.3
probe post "$CALENDAR" 0x111 32779 0 >/dev/null  # Exclude This
sleep 0.5
check "today's occurrence excluded" test -n "$(reg_value "$USER_KEY" EventExcluded)"
probe post "$CALENDAR" 0x111 32779 0 >/dev/null  # and back
sleep 0.5
check "and back again" test -z "$(reg_value "$USER_KEY" EventExcluded)"
probe post "$CALENDAR" 0x111 32777 0 >/dev/null  # View/Edit Event...
wait_dialog "View/Edit Event" 10
click_control "View/Edit Event" 1039  # the note
xdotool type --delay 20 "water"
click_control "View/Edit Event" 1
wait_dialog "View/Edit Event" 10 gone
check "the note is saved" test "$(reg_value "$SC\\1" note)" = "REG_SZ water"
probe send "$FRAME" 0x113 55 0 >/dev/null  # WM_TIMER 55: a check now
sleep 2
check "the launch file ran once in all ($(launched))" test "$(launched)" = 1
stop_program

# 3. A second start while one runs in the tray.
start_program /s
check "the tray start shows no calendar" test "$(probe count "$CALENDAR")" = 0
wine "$EXE" /s >/dev/null 2>&1
check "a quiet second start ends at once" test $? = 0
sleep 1
check "and shows nothing" test "$(probe count "$CALENDAR")" = 0
wine "$EXE" >/dev/null 2>&1
check "a plain second start ends at once" test $? = 0
check "and the running copy shows its calendar" probe wait "$CALENDAR" 10
check "one copy runs" test "$(probe count "$FRAME")" = 1
finish
