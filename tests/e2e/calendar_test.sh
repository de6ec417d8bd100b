#!/usr/bin/env bash
# The calendar window of the running program: an event line clicked with the
# real mouse and deleted with the Delete key after the question, another
# excluded through its right-click menu, the Korean notice, month keys, and
# pictures of the window.
. "$(dirname "$0")/lib.sh"

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

# Posted after the click: the window takes it once the click is handled.
xdotool mousemove "$x" "$(line_y 2)" click 1
probe post "$CALENDAR" "$WM_KEYDOWN" "$VK_DELETE" 0 >/dev/null  # through the message loop
box=$(probe msgboxu 10)
check "Delete asks about the clicked event" test "$box" = $'Delete|Delete the selected event?\n"Dentist"'
check "and the event's key is gone, the other events stay" wait_for 5 events_are "2 3 "

# Keep moved up to line 2; its menu's last item excludes this occurrence.
xdotool mousemove "$x" "$(line_y 2)" click 3
wait_for 5 menu_visible
read -r _ mleft _ _ mbottom <<<"$(probe find '#32768')"
xdotool mousemove $(( mleft + 30 )) $(( mbottom - 12 )) click 1
excluded() { [ -n "$(reg_value "$USER_KEY" EventExcluded)" ]; }
check "Exclude This Occurrence writes EventExcluded" wait_for 5 excluded
probe shot "$CALENDAR" "$(winpath "$shots/e2e_calendar_excluded.bmp")"

# The notice nobody in the program sends reads right in any code page.
probe post "$CALENDAR" "$WM_REGISTERDENIED" 0 1 >/dev/null
box=$(probe msgboxu 10)
check "WM_REGISTERDENIED shows the Korean notice" test "$box" = "알림|일정 등록 권한이 없습니다."
check "and the box closes" probe gone '#32770' 5
# Sent: answered once handled, and a box it showed would still be up.
probe send "$CALENDAR" "$WM_REGISTERDENIED" 0 0 >/dev/null
check "not with lParam 0" not probe find '#32770'

# Page Down and Home through the loop, seen in the month's title; the
# window stays where it is. The pointer leaves it first: no tip in the picture.
xdotool mousemove 300 600
# The month's title: the band above the grid.
title_band() { convert "$1" -crop "$(( right - left ))x40+0+0" +repage rgb:- 2>/dev/null | md5sum; }
picture_is() { probe shot "$CALENDAR" "$(winpath "$1")" && [ "$(title_band "$1")" = "$(title_band "$2")" ]; }  # shot, expected
this_month="$shots/e2e_calendar_this_month.bmp"
probe shot "$CALENDAR" "$(winpath "$this_month")"
probe post "$CALENDAR" "$WM_KEYDOWN" "$VK_NEXT" 0 >/dev/null
check "Page Down shows another month" wait_for 5 not picture_is "$shots/e2e_calendar_next_month.bmp" "$this_month"
probe post "$CALENDAR" "$WM_KEYDOWN" "$VK_HOME" 0 >/dev/null
check "Home shows this month again" wait_for 5 picture_is "$shots/e2e_calendar_home.bmp" "$this_month"
check "still one calendar window at its place" test "$(probe find "$CALENDAR")" = "1 $left $top $right $bottom"

# Its close button closes it and hands the rectangle to the frame.
probe post "$CALENDAR" "$WM_COMMAND" "$ID_CLOSE_BUTTON" 0 >/dev/null
check "the close button closes the window" probe gone "$CALENDAR" 5
check "the program goes on" program_running
stop_program
check "Exit writes the calendar's rectangle" \
  test "$(reg_value "$USER_KEY" ScheRect)" = "REG_BINARY EE01000070010000CE030000E9020000"

finish
