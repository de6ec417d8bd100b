#!/usr/bin/env bash
# The program at 150 % (the prefix's LogPixels at 144, which Wine hands to
# programs; ORV_E2E_DPI picks another): the calendar opens at the default
# rectangle for that scale, its day cells and event lines lie where the
# layout puts them, a double-click reaches the event and another reaches an
# empty day. Pictures of every window and dialog at that scale are left for a
# person to look at.
. "$(dirname "$0")/lib.sh"
DPI=${ORV_E2E_DPI:-144}
DESKTOP='HKCU\Control Panel\Desktop'
EDITOR='New Event'
saved_dpi=$(reg_value "$DESKTOP" LogPixels)
restore_dpi() {
  if [ -n "$saved_dpi" ]; then
    reg_dword "$DESKTOP" LogPixels $(( ${saved_dpi#REG_DWORD } ))
  else
    wine reg delete "$DESKTOP" /v LogPixels /f >/dev/null 2>&1
  fi
}
trap restore_dpi EXIT
trap 'exit 1' TERM INT  # the scale goes back even when the run is stopped
reg_dword "$DESKTOP" LogPixels "$DPI"
s() { echo $(( ($1 * DPI + 48) / 96 )); }  # a measure given at 96 DPI
shot() { probe shot "$1" "$(winpath "$shots/e2e_scaled_${DPI}_$2.bmp")" >/dev/null; }

reg_reset
# Dentist, today at 09:00, takes line 1 of today's cell.
add_event 1 0 32400 0 1 0 "Dentist"
for v in UewUpcoming UewSoon UewBeginning; do reg_dword "$USER_KEY" $v 0; done
# Over the sample wallpaper, drawn as the installer draws it.
wallpaper="$shots/e2e_scaled_wallpaper.jpg"
bash "$E2E_DIR/../../scripts/make-sample-wallpaper.sh" "$wallpaper" >/dev/null 2>&1
wine reg add "$USER_KEY" /v BkgImgFile /t REG_SZ /d "$(winpath "$wallpaper")" /f >/dev/null 2>&1
start_program
probe wait "$CALENDAR" 10

# 480 x 377 at 96 DPI, 50 pixels (scaled) from the right and 23 from the
# bottom of Wine's 1024 x 768 work area, its corner kept on the screen.
w=$(s 480); h=$(s 377)
left=$(( 1024 - $(s 530) )); top=$(( 768 - $(s 400) ))
[ "$left" -ge 0 ] || left=0
[ "$top" -ge 0 ] || top=0
check "the calendar opens at $w x $h" test "$(probe find "$CALENDAR")" = "1 $left $top $(( left + w )) $(( top + h ))"

# Today's cell by the layout at this scale.
margin=$(s 6); days_top=$(s 61)
cw=$(( (w - 2 * margin) / 7 )); ch=$(( (h - days_top - margin) / 6 ))
cell() {  # day: cell_left, cell_top (screen)
  local p=$(( $(date -d "$(date +%Y-%m-01)" +%w) + $1 - 1 ))
  cell_left=$(( left + margin + (p % 7) * cw ))
  cell_top=$(( top + days_top + (p / 7) * ch ))
}
today=$(date +%-d)
cell "$today"
xdotool mousemove 10 10
shot "$CALENDAR" calendar
# The bar's black top and bottom lines, read down a column right of its title.
read -r bar_top bar_height <<<"$(python3 - "$shots/e2e_scaled_${DPI}_calendar.bmp" \
  $(( cell_left - left + cw - cw / 6 )) $(( cell_top - top )) "$ch" <<'PY'
import struct, sys
path, x, y0, ch = sys.argv[1], *map(int, sys.argv[2:])
data = open(path, "rb").read()
off, w, h = struct.unpack_from("<I", data, 10)[0], *struct.unpack_from("<ii", data, 18)
stride = (w * 3 + 3) & ~3
def black(y):
    i = off + (h - 1 - y) * stride + x * 3
    return data[i:i + 3] == b"\0\0\0"
rows = [y for y in range(y0 + 1, y0 + ch) if black(y)]
top = rows[0] if rows else -1
bottom = top
while bottom + 1 < y0 + ch and not black(bottom + 1): bottom += 1
print(top - y0, bottom + 1 - top + 1 if rows else 0)
PY
)"
# Line 1 starts one line pitch (the line and its one-pixel gap) below the cell's top.
check "the event line lies where the layout puts it (line $bar_height px at $bar_top)" \
  test "$bar_top" -eq $(( bar_height + 1 ))
check "and is drawn at the larger scale" test $(( bar_height * 96 / DPI )) -ge 14

# A double-click on the event opens it.
line_y=$(( cell_top + bar_top + bar_height / 2 ))
xdotool mousemove $(( cell_left + cw / 2 )) "$line_y" click --repeat 2 --delay 80 1
check "a double-click on the event line opens it" wait_dialog 'View/Edit Event' 10
check "on Dentist" test "$(probe text '#32770' 'View/Edit Event' "$IDC_TITLE")" = Dentist
shot '#32770' editor_view
xdotool key Escape
wait_dialog 'View/Edit Event' 5 gone

# The tip, after the mouse rests on the event line.
xdotool mousemove $(( cell_left + cw / 2 )) "$line_y"
sleep 0.2
xdotool mousemove $(( cell_left + cw / 2 + 1 )) "$line_y"
tip_open() { probe find OrvCalendarTip ScheTip >/dev/null; }
check "resting on the event opens its tip" wait_for 2 tip_open
check "$(s 17) pixels below the pointer" \
  test "$(probe find OrvCalendarTip ScheTip | cut -d' ' -f3)" -eq $(( line_y + $(s 17) ))
shot OrvCalendarTip tip
xdotool mousemove $(( cell_left + cw / 2 )) $(( cell_top + 3 ))
wait_for 1 not tip_open

# A double-click in the middle of another, empty day: a new event on that day.
other=$(( today < 28 ? today + 1 : today - 1 ))
cell "$other"
xdotool mousemove $(( cell_left + cw / 2 )) $(( cell_top + ch * 3 / 4 )) click --repeat 2 --delay 80 1
check "a double-click on day $other opens the editor" wait_dialog "$EDITOR" 10
xdotool type --delay 30 "Lunch"
shot '#32770' editor_new
click_control "$EDITOR" "$IDC_RECUR_SETTINGS"
if wait_dialog 'Event Recurrence' 10; then
  shot '#32770' recurrence
  xdotool key Escape
  wait_dialog 'Event Recurrence' 5 gone
fi
xdotool key Return
check "it is saved" wait_for 5 events_are "1 2 "
start_day() {  # event id: the local date its stored start falls on
  wine reg query "$SC\\$1" /v front 2>/dev/null | tr -d '\r' | awk '$1 == "front" { print $3 }' |
    python3 -c 'import struct, sys, time; b = bytes.fromhex(sys.stdin.read().strip())
print(time.strftime("%Y-%m-%d", time.localtime(struct.unpack_from("<i", b, 12)[0])))'
}
check "on day $other" test "$(start_day 2)" = "$(date +%Y-%m)-$(printf %02d "$other")"

# The other windows and dialogs at this scale, for the eye.
xdotool mousemove 10 10
probe post "$FRAME" "$WM_COMMAND" "$ID_UPCOMING_EVENTS" 0 >/dev/null
probe wait "$UPCOMING" 10 && shot "$UPCOMING" upcoming
probe post "$CALENDAR" "$WM_COMMAND" "$ID_BROWSE_ALL" 0 >/dev/null
if wait_dialog 'Event Browser' 10; then shot '#32770' browser; xdotool key Escape; wait_dialog 'Event Browser' 5 gone; fi
probe post "$FRAME" "$WM_COMMAND" "$ID_PREFERENCES" 0 >/dev/null
if wait_dialog Preferences 10; then shot '#32770' preferences; xdotool key Escape; wait_dialog Preferences 5 gone; fi
probe post "$FRAME" "$WM_COMMAND" "$ID_TRAY_ABOUT" 0 >/dev/null
if wait_dialog 'About Orv Pell Calendar' 10; then
  shot '#32770' about
  xdotool key Return
  wait_dialog 'About Orv Pell Calendar' 5 gone
fi
shot "$CALENDAR" calendar_after

stop_program
finish
