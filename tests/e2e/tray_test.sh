#!/usr/bin/env bash
# The tray icon's menu and double-click, driven as the shell and the user would.
. "$(dirname "$0")/lib.sh"

reg_reset
start_program /s
check "quiet start: no calendar window" test "$(probe count "$CALENDAR")" = "0"

# A double-click on the icon opens the calendar window.
probe send "$FRAME" "$WM_TRAYNOTIFY" 0 "$WM_LBUTTONDBLCLK" >/dev/null
check "double-click opens the calendar window" test "$(probe find "$CALENDAR" | cut -d' ' -f1)" = "1"
# Other mouse messages and other icon ids do nothing.
probe send "$FRAME" "$WM_TRAYNOTIFY" 0 "$WM_LBUTTONDOWN" >/dev/null
probe send "$FRAME" "$WM_TRAYNOTIFY" 1 "$WM_RBUTTONUP" >/dev/null
check "other tray messages open no menu" not probe find '#32768'

# A right-click shows the menu at the cursor; dismissing it changes nothing.
xdotool mousemove 600 300
probe post "$FRAME" "$WM_TRAYNOTIFY" 0 "$WM_RBUTTONUP" >/dev/null
menu_at() { probe find '#32768' | cut -d' ' -f1-3; }
check "right-click shows the tray menu" wait_for 5 is "1 600 300" menu_at
xdotool key Escape
check "Escape closes the menu" probe gone '#32768' 5
check "and the program runs on" program_running

# Choosing Exit in the menu ends the program.
probe post "$FRAME" "$WM_TRAYNOTIFY" 0 "$WM_RBUTTONUP" >/dev/null
wait_for 5 menu_visible
read -r _ left top right bottom <<<"$(probe find '#32768')"
xdotool mousemove $((left + 30)) $((bottom - 12)) click 1  # the last item
check "Exit in the menu ends the program" wait_program_end 10
check "and saves the calendar rectangle" test -n "$(reg_value "$USER_KEY" ScheRect)"

finish
