#!/usr/bin/env bash
# The tray's Preferences and About and the calendar's Browse All in the running
# program: a colour chosen and cancelled stays out of the preferences and off
# the open calendar; Apply shows a new transparency on the open calendar at
# once and writes it at once; transparency and look-ahead changed through the sheet
# reach the registry and the open calendar; two events deleted in the browser
# leave the registry and the month.
. "$(dirname "$0")/lib.sh"
# The property sheet's own tab control and Apply button (comctl32's ids).
SHEET_TABS=0x3020
SHEET_APPLY=0x3021
shot() { probe shot "$CALENDAR" "$(winpath "$shots/$1.bmp")" && echo "$shots/$1.bmp"; }
centre() { awk '{ print int(($1 + $3) / 2), int(($2 + $4) / 2) }'; }

# Pixels of a window picture's rectangle that differ from its commonest colour;
# or, with one point, that point's "r g b".
read_bmp() {  # path x0 y0 [x1 y1]
  python3 - "$@" <<'PY'
import collections, struct, sys
path, *nums = sys.argv[1:]
nums = [int(n) for n in nums]
d = open(path, 'rb').read()
off = struct.unpack_from('<I', d, 10)[0]
w, h = struct.unpack_from('<ii', d, 18)
stride = (w * 3 + 3) & ~3
def px(x, y):
    i = off + (h - 1 - y) * stride + x * 3
    return d[i + 2], d[i + 1], d[i]
if len(nums) == 2:
    print(*px(*nums))
else:
    x0, y0, x1, y1 = nums
    c = collections.Counter(px(x, y) for y in range(y0, y1) for x in range(x0, x1))
    print(sum(c.values()) - c.most_common(1)[0][1])
PY
}

# Three events on three days of this month, each on the first line of its day.
day=$(date +%-d)
if [ "$day" -le 3 ]; then d2=1; d3=2; else d2=-1; d3=-2; fi
reg_reset
reg_dword "$USER_KEY" BkgColor 0x00C80000  # blue
reg_dword "$USER_KEY" BkgAlpha 0           # no wash
wine reg add "$USER_KEY" /v BkgImgFile /t REG_SZ /d "" /f >/dev/null 2>&1
add_event 1 0 28800 0 1 0 "Alpha"
add_event 2 "$d2" 28800 "$d2" 1 0 "Beta"
add_event 3 "$d3" 28800 "$d3" 1 0 "Gamma"
start_program
probe wait "$CALENDAR" 10
read -r _ left top right bottom <<<"$(probe find "$CALENDAR")"

# Cells in window coordinates: the grid starts at (6, 61); 16-pixel lines and a gap.
first=$(date -d "$(date +%Y-%m-01)" +%w)
cw=$(( (right - left - 12) / 7 ))
ch=$(( (bottom - top - 67) / 6 ))
cell_x() { echo $(( 6 + (($1 + first - 1) % 7) * cw )); }
cell_y() { echo $(( 61 + (($1 + first - 1) / 7) * ch )); }
line_ink() {  # picture day line
  local x y; x=$(cell_x "$2"); y=$(( $(cell_y "$2") + $3 * 17 + 8 ))
  read_bmp "$1" $(( x + 4 )) $(( y - 5 )) $(( x + cw - 4 )) $(( y + 5 ))
}
# A point of plain background: the middle of the grid's last cell.
back_point="$(( 6 + 6 * cw + cw / 2 )) $(( 61 + 5 * ch + ch / 2 ))"
# And one beside the grid's bottom-right corner, which a sheet centred over the
# calendar leaves uncovered.
corner_point="$(( right - left - 8 )) $(( bottom - top - 8 ))"

before=$(shot e2e_preferences_before)
check "the calendar shows the stored blue without a wash" near "$(read_bmp "$before" $back_point)" "0 0 200" 8

# The calendar's picture at a point is near a colour.
shows() {  # name, point x y, "r g b"
  local picture
  picture=$(shot "$1") && near "$(read_bmp "$picture" "$2" "$3")" "$4" 8
}
tray_menu() {
  probe post "$FRAME" "$WM_TRAYNOTIFY" 0 "$WM_RBUTTONUP" >/dev/null
  wait_for 5 menu_visible
}
# The tray menu's fourth entry.
open_preferences() {
  xdotool mousemove 600 300
  tray_menu
  xdotool key Down Down Down Return
  wait_dialog Preferences 10
}
click_item() {  # window title, control id
  read -r cx cy <<<"$(probe item '#32770' "$1" "$2" | centre)"
  xdotool mousemove "$cx" "$cy" click 1
}
type_into() {  # window title, control id, text: clicked, emptied, typed as the user does
  click_item "$1" "$2"
  xdotool key End BackSpace BackSpace BackSpace BackSpace
  xdotool type "$3"
}

# A colour confirmed in the chooser belongs to the sheet until OK or Apply:
# Cancel leaves it out of the preferences and off the open calendar.
open_preferences
check "the tray's Preferences opens the sheet" probe find '#32770' Preferences
click_item Preferences "$IDC_BKG_CHANGE_COLOR"
check "Change... opens the colour chooser" wait_dialog Color 10
type_into Color "$COLOR_RED" 0
type_into Color "$COLOR_GREEN" 200
type_into Color "$COLOR_BLUE" 0
click_item Color "$IDOK"
wait_dialog Color 5 gone
click_item Preferences "$IDCANCEL"
check "Cancel closes the sheet" probe gone '#32770' 5
check "and writes nothing" test "$(reg_value "$USER_KEY" BkgColor)" = "REG_DWORD 0xc80000"
cancelled=$(shot e2e_preferences_cancelled)
check "the open calendar keeps its colour" near "$(read_bmp "$cancelled" $back_point)" "0 0 200" 8

open_preferences
type_into Preferences "$IDC_BKG_TRANSPARENCY" 200
click_item Preferences "$SHEET_APPLY"
# 200/255 of white over the blue.
check "Apply shows the wash on the open calendar at once" wait_for 2 shows e2e_preferences_applied $corner_point "200 200 243"
check "and writes it at once, the sheet still open" test "$(reg_value "$USER_KEY" BkgAlpha)" = "REG_DWORD 0xc8"
read -r _ sl st sr sb <<<"$(probe find '#32770' Preferences)"
read -r cx cy <<<"$corner_point"
check "the sheet leaves the calendar's corner in sight" \
  test $(( left + cx )) -ge "$sr" -o $(( top + cy )) -ge "$sb" -o $(( left + cx )) -lt "$sl" -o $(( top + cy )) -lt "$st"
read -r tleft ttop _ _ <<<"$(probe item '#32770' Preferences "$SHEET_TABS")"
xdotool mousemove $(( tleft + 100 )) $(( ttop + 10 )) click 1   # the "Event" tab
wait_for 5 probe item '#32770' Preferences "$IDC_EVT_SOON_HOURS" >/dev/null
type_into Preferences "$IDC_EVT_HOURS" 7              # display events beginning in
type_into Preferences "$IDC_EVT_SOON_HOURS" 3         # open when an event is beginning in
click_item Preferences "$IDC_EVT_TOAST"               # show a Windows notification: off
probe shot '#32770' "$(winpath "$shots/e2e_preferences_event.bmp")"
xdotool key Return                                   # OK
check "OK closes the sheet" probe gone '#32770' 5
check "BkgAlpha holds the new transparency" test "$(reg_value "$USER_KEY" BkgAlpha)" = "REG_DWORD 0xc8"
check "UewHours holds the new look-ahead" test "$(reg_value "$USER_KEY" UewHours)" = "REG_DWORD 0x7"
check "UewHours2 holds the new threshold" test "$(reg_value "$USER_KEY" UewHours2)" = "REG_DWORD 0x3"
check "UewToast holds the notification switched off" test "$(reg_value "$USER_KEY" UewToast)" = "REG_DWORD 0x0"
check "and BkgColor the colour from before the cancelled choice" \
  test "$(reg_value "$USER_KEY" BkgColor)" = "REG_DWORD 0xc80000"
check "the open calendar is repainted with the wash over its colour" \
  wait_for 5 shows e2e_preferences_after $back_point "200 200 243"
after="$shots/e2e_preferences_after.bmp"

# About from the tray menu: its fifth entry; Close ends it.
tray_menu
xdotool key Down Down Down Down Return
check "the tray's About opens the box" wait_dialog "About Orv Pell Calendar" 10
xdotool key Return
check "Close ends it" probe gone '#32770' 5

# Browse All from the day menu of an empty part of today.
for d in "$day" $(( day + d2 )) $(( day + d3 )); do
  check "day $d shows its event" test "$(line_ink "$after" "$d" 1)" -gt 10
done
xdotool mousemove $(( left + $(cell_x "$day") + cw / 2 )) $(( top + $(cell_y "$day") + 2 * 17 + 8 )) click 3
wait_for 5 menu_visible
xdotool key Up Return                                # the menu's last entry
check "Browse All opens the browser" wait_dialog 'Event Browser' 10
read -r lleft ltop _ _ <<<"$(probe item '#32770' 'Event Browser' "$IDC_BROWSER_LIST")"
xdotool mousemove $(( lleft + 40 )) $(( ltop + 30 )) click 1   # Alpha, the first row
xdotool key Down shift+Down                          # Beta and Gamma
read -r bx by <<<"$(probe item '#32770' 'Event Browser' "$IDC_BROWSER_DELETE" | centre)"
xdotool mousemove "$bx" "$by" click 1
check "one question for both" test "$(probe msgbox 10)" = "Delete|Delete selected event(s)?"
wait_for 5 events_are "1 "
probe shot '#32770' "$(winpath "$shots/e2e_browser_after_delete.bmp")"
read -r bx by <<<"$(probe item '#32770' 'Event Browser' "$IDCANCEL" | centre)"
xdotool mousemove "$bx" "$by" click 1                # Close
check "Close ends the browser" probe gone '#32770' 5
check "both are gone from the registry" events_are "1 "
month="$shots/e2e_browser_month_after.bmp"
beta_gone() { shot e2e_browser_month_after >/dev/null && [ "$(line_ink "$month" $(( day + d2 )) 1)" -eq 0 ]; }
wait_for 5 beta_gone
check "Alpha stays in the month" test "$(line_ink "$month" "$day" 1)" -gt 10
check "Beta is gone from the month" test "$(line_ink "$month" $(( day + d2 )) 1)" -eq 0
check "Gamma is gone from the month" test "$(line_ink "$month" $(( day + d3 )) 1)" -eq 0
check "the program runs on" program_running

finish
