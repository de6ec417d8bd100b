#!/usr/bin/env bash
# An event made in the running program with mouse and keyboard: a day
# double-clicked, a title typed, a weekly rule without end chosen through
# "Settings...", Enter. Then its registry bytes, its boxes on every matching
# day read back from the screen, the tip after the mouse rests on one, and
# its reminder at its instant.
. "$(dirname "$0")/lib.sh"
EDITOR='New Event'
REPEAT='Event Recurrence'

reg_reset
# Only the reminder may open the upcoming-events window.
for v in UewUpcoming UewSoon UewBeginning; do reg_dword "$USER_KEY" $v 0; done
start_program
probe wait "$CALENDAR" 10
# Today's cell; line 2 of it is empty.
day=$(date +%-d)
first=$(date -d "$(date +%Y-%m-01)" +%w)
today_cell
xdotool mousemove "$cell_x" $(( cell_top + 2 * 17 + 8 )) click --repeat 2 --delay 80 1
check "a double-click on a day opens the editor" wait_dialog "$EDITOR" 10
opened=$(date +%s)
xdotool type --delay 30 "Standup"

# The editor starts at the next half hour; a lead leaving about a minute
# until the reminder. Past 23:30 that start is today's 00:00, already gone.
start_at=$(python3 -c "
import time
t = time.localtime($opened + 1800)
print(int(time.mktime((t.tm_year, t.tm_mon, t.tm_mday, t.tm_hour, 0 if t.tm_min < 30 else 30, 0, 0, 0, -1))))")
[ "$(date -d "@$start_at" +%F)" = "$(date +%F)" ] || start_at=$(date -d "$(date +%F) 00:00" +%s)
lead=$(( (start_at - $(date +%s) - 50) / 60 ))
[ "$lead" -ge 0 ] || lead=0
click_control "$EDITOR" "$IDC_REMIND_MINUTES"
xdotool key End BackSpace BackSpace BackSpace
xdotool type "$lead"

# Weekly on today's weekday and the one three days on, without end.
click_control "$EDITOR" "$IDC_RECUR_SETTINGS"
check "Settings... opens the recurrence dialog" wait_dialog "$REPEAT" 10
click_control "$REPEAT" "$IDC_KIND_WEEKLY"
today_wd=$(date +%w)
other_wd=$(( (today_wd + 3) % 7 ))
box_id() { [ "$1" -eq 0 ] && echo "$IDC_SUNDAY" || echo $(( IDC_MONDAY - 1 + $1 )); }  # by weekday, Sunday 0
for wd in 0 1 2 3 4 5 6; do
  [ "$wd" -eq "$today_wd" ] || [ "$wd" -eq "$other_wd" ] || click_control "$REPEAT" "$(box_id "$wd")"
done
click_control "$REPEAT" "$IDC_NO_END_DATE"
probe shot '#32770' "$(winpath "$shots/e2e_repeat_weekly.bmp")"
click_control "$REPEAT" "$IDOK"
check "OK closes the recurrence dialog" wait_dialog "$REPEAT" 5 gone
click_control "$EDITOR" "$IDC_TITLE"  # back in the title, where Enter means OK
probe shot '#32770' "$(winpath "$shots/e2e_editor_filled.bmp")"
xdotool key Return
check "Enter saves and closes the editor" wait_dialog "$EDITOR" 5 gone

# The stored event.
check "one event key" wait_for 5 events_are "1 "
front=$(reg_value "$SC\\1" front | cut -d' ' -f2)
mask=$(( (1 << today_wd) | (1 << other_wd) ))
expected=$(python3 -c "
import struct, time
t = time.localtime()
mid = int(time.mktime((t.tm_year, t.tm_mon, t.tm_mday, 0, 0, 0, 0, 0, -1)))
st = $start_at - mid
print(struct.pack('<IIB3xiiiiBBHB3x', 1, 0, 0, mid, st, mid + 86399, st, 1, 60, $mask, 1).hex().upper())")
check "front: today, the next half hour, weekly on two days, no end" test "$front" = "$expected"
check "priv: sound on, lead $lead minutes" \
  test "$(reg_value "$SC\\1" priv)" = "REG_BINARY 01$(printf '00%02X00' "$lead")"
check "title" test "$(reg_value "$SC\\1" title)" = "REG_SZ Standup"

# Boxes in the title's colour on every matching day from today, nowhere else.
shot="$shots/e2e_editor_month.bmp"
probe shot "$CALENDAR" "$(winpath "$shot")"
read -r drawn wanted <<<"$(python3 - "$shot" "$first" "$day" "$today_wd" "$other_wd" <<'PY'
import calendar, struct, sys, time
path, first, today, wd1, wd2 = sys.argv[1], *map(int, sys.argv[2:])
data = open(path, "rb").read()
off, w, h = struct.unpack_from("<I", data, 10)[0], *struct.unpack_from("<ii", data, 18)
stride = (w * 3 + 3) & ~3
def px(x, y):  # bottom-up rows, BGR
    i = off + (h - 1 - y) * stride + x * 3
    return data[i + 2], data[i + 1], data[i]
colour = (0xE7, 0xEF, 0xF1)  # the light tint of "Standup"
cw, ch = (w - 12) // 7, (h - 67) // 6
t = time.localtime()
days = calendar.monthrange(t.tm_year, t.tm_mon)[1]
drawn, wanted = [], []
for d in range(1, days + 1):
    p = first + d - 1
    x0, y0 = 6 + (p % 7) * cw, 61 + (p // 7) * ch
    n = sum(px(x, y) == colour for x in range(x0 + 1, x0 + cw - 1) for y in range(y0 + 1, y0 + ch - 1))
    if n > 50: drawn.append(d)
    if d >= today and (p % 7) in (wd1, wd2): wanted.append(d)
print(",".join(map(str, drawn)), ",".join(map(str, wanted)))
PY
)"
check "drawn on days $drawn, the matching ones: $wanted" test -n "$wanted" -a "$drawn" = "$wanted"

# A second's rest on today's box opens the tip. Two moves a moment apart:
# the second is the one the rest is counted from.
tip_at() { probe find OrvCalendarTip ScheTip | cut -d' ' -f1-3; }
xdotool mousemove "$cell_x" $(( cell_top + 17 + 8 ))
sleep 0.2
xdotool mousemove "$cell_x" $(( cell_top + 17 + 9 ))
check "resting on the event opens its tip" wait_for 1.6 is "1 $cell_x $(( cell_top + 17 + 9 + 17 ))" tip_at
probe shot OrvCalendarTip "$(winpath "$shots/e2e_editor_tip.bmp")"
xdotool mousemove "$cell_x" $(( cell_top + 5 ))
check "moving on closes it" wait_for 1 not probe find OrvCalendarTip ScheTip

# The reminder, at its instant: the real timer on the true clock.
remind_at=$(( start_at - lead * 60 ))
if [ "$remind_at" -gt "$(date +%s)" ]; then
  [ $(( remind_at - $(date +%s) )) -le 8 ] ||
    { sleep_until $(( remind_at - 7 )); check "no reminder before its instant" test "$(probe count "$UPCOMING")" = "0"; }
  probe wait "$UPCOMING" 30
  opened_at=$(date +%s)
  check "the reminder opens the upcoming window at its instant" \
    test $(( opened_at - remind_at )) -ge -6 -a $(( opened_at - remind_at )) -le 8
else
  echo "skip - the start is past (after 23:30), no reminder today"
fi

finish
