#!/usr/bin/env bash
# Start-up, single instance, quiet start, data version, tray icon and exit.
. "$(dirname "$0")/lib.sh"

# A first start writes the data version, shows the tray icon and opens the
# calendar window at its default place (1024 x 768 work area).
reg_reset
start_program
check "first start writes DataVer 1" test "$(reg_value "$ROOT_KEY" DataVer)" = "REG_DWORD 0x1"
check "tray icon shown" tray_icon_shown
check "calendar window opens at the default rectangle" \
  test "$(probe find "$CALENDAR")" = "1 494 368 974 745"
check "no upcoming window without UewStartup" test "$(probe count "$UPCOMING")" = "0"

# A second instance ends at once and silently.
timeout 20 wine "$EXE" >/dev/null 2>&1
check "second instance exits by itself" test $? -eq 0
check "still one main frame" test "$(probe count "$FRAME")" = "1"
check "no message box from the second instance" not probe find '#32770'

# The tray menu's Exit saves the window rectangle and removes the icon.
probe post "$FRAME" "$WM_COMMAND" "$ID_APP_EXIT" 0 >/dev/null
check "Exit ends the process" wait_program_end 10
check "Exit writes ScheRect" test "$(reg_value "$USER_KEY" ScheRect)" = "REG_BINARY EE01000070010000CE030000E9020000"
check "tray icon removed" not tray_icon_shown

# A quiet start opens no calendar window; another switch does nothing.
start_program /s
check "/s opens no calendar window" test "$(probe count "$CALENDAR")" = "0"
stop_program
start_program /S
check "/S opens the calendar window" test "$(probe count "$CALENDAR")" = "1"

# Windows ending the session saves and ends the program too; a cancelled end does nothing.
wine reg delete "$USER_KEY" /v ScheRect /f >/dev/null 2>&1
probe send "$FRAME" "$WM_ENDSESSION" 0 0 >/dev/null  # cancelled; answered once handled
check "a cancelled session end changes nothing" program_running
check "the frame still answers" probe send "$FRAME" "$WM_NULL" 0 0
check "and writes nothing" test -z "$(reg_value "$USER_KEY" ScheRect)"
probe send "$FRAME" "$WM_ENDSESSION" 1 0 >/dev/null  # confirmed
check "WM_ENDSESSION ends the process" wait_program_end 10
check "and writes ScheRect" test -n "$(reg_value "$USER_KEY" ScheRect)"
check "and removes the tray icon" not tray_icon_shown
program_pid=

# A newer data version is refused with a message and nothing is written.
reg_reset
wine reg add "$ROOT_KEY" /v DataVer /t REG_DWORD /d 2 /f >/dev/null 2>&1
wine "$EXE" >/dev/null 2>&1 &
program_pid=$!
box=$(probe msgbox 20)
check "DataVer 2 says a newer version saved the calendar" \
  test "$box" = "OrvCalendar|The calendar was saved by a newer version of OrvCalendar. This version cannot open it."
check "and the program ends" wait_program_end 10
check "and writes nothing" test -z "$(reg_subkeys "$ROOT_KEY")"
check "and leaves DataVer 2" test "$(reg_value "$ROOT_KEY" DataVer)" = "REG_DWORD 0x2"

finish
