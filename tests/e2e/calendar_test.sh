#!/usr/bin/env bash
# The calendar window of the running program: an event line clicked with the
# real mouse and deleted with the Delete key after the question, another
# excluded through its right-click menu, the Korean notice, month keys, and
# pictures of the window.
. "$(dirname "$0")/lib.sh"
SC="$USER_KEY\\sc"
shots=$(cd "$(dirname "$EXE")/.." && pwd)/screens
mkdir -p "$shots"

reg_reset
# Lines go by time of day: Trip (yesterday to tomorrow, 08:00) takes line 1
# of today's cell, Dentist (09:00) line 2, Keep (10:00) line 3.
add_event 1 0 32400 0 1 0 "Dentist"
add_event 2 0 36000 0 1 0 "Keep"
add_event 3 -1 28800 1 1 0 "Trip"
start_program
probe wait "$CALENDAR" 10
read -r _ left top right bottom <<<"$(probe find "$CALENDAR")"
probe shot "$CALENDAR" "$(winpath "$shots/e2e_calendar_opened.bmp")"

today_cell
x=$cell_x
row_top=$cell_top
line_y() { echo $(( row_top + $1 * 17 + 8 )); }  # 16-pixel lines and a gap in Wine's icon-title font

xdotool mousemove "$x" "$(line_y 2)" click 1
sleep 0.3
probe post "$CALENDAR" 0x100 0x2E 0 >/dev/null  # Delete, through the message loop
box=$(probe msgboxu 10)
check "Delete asks about the clicked event" test "$box" = $'Delete|Delete the selected event?\n"Dentist"'
sleep 0.5
check "and the event's key is gone" not grep -qx 1 <<<"$(reg_subkeys "$SC")"
check "the other events stay" test "$(reg_subkeys "$SC" | sort | tr '\n' ' ')" = "2 3 "

# Keep moved up to line 2; its menu's last item excludes this occurrence.
xdotool mousemove "$x" "$(line_y 2)" click 3
probe wait '#32768' 5
read -r _ mleft _ _ mbottom <<<"$(probe find '#32768')"
xdotool mousemove $(( mleft + 30 )) $(( mbottom - 12 )) click 1
sleep 0.5
check "Exclude This Occurrence writes EventExcluded" test -n "$(reg_value "$USER_KEY" EventExcluded)"
probe shot "$CALENDAR" "$(winpath "$shots/e2e_calendar_excluded.bmp")"

# The notice nobody in the program sends reads right in any code page.
probe post "$CALENDAR" 0x439 0 1 >/dev/null
box=$(probe msgboxu 10)
check "WM_REGISTERDENIED shows the Korean notice" test "$box" = "알림|일정 등록 권한이 없습니다."
probe post "$CALENDAR" 0x439 0 0 >/dev/null
sleep 0.5
check "not with lParam 0" not probe find '#32770'

# Page Down and Home through the loop; the window stays where it is.
probe post "$CALENDAR" 0x100 0x22 0 >/dev/null
sleep 0.3
probe shot "$CALENDAR" "$(winpath "$shots/e2e_calendar_next_month.bmp")"
probe post "$CALENDAR" 0x100 0x24 0 >/dev/null
sleep 0.3
check "still one calendar window at its place" test "$(probe find "$CALENDAR")" = "1 $left $top $right $bottom"

# Its close button closes it and hands the rectangle to the frame.
probe post "$CALENDAR" 0x111 8194 0 >/dev/null
check "the close button closes the window" probe gone "$CALENDAR" 5
check "the program goes on" program_running
stop_program
check "Exit writes the calendar's rectangle" \
  test "$(reg_value "$USER_KEY" ScheRect)" = "REG_BINARY EE01000070010000CE030000E9020000"

finish
