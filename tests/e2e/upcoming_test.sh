#!/usr/bin/env bash
# A reminder a minute after start-up opens the upcoming-events window at its
# instant with the row blinking and opens the launch file once; when the
# occurrence begins the row gets a tick, and dismissing it closes the window.
# Sixty-six rows keep the window on the screen.
. "$(dirname "$0")/lib.sh"
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

marker="$work/launched.log"
make_launch_file "$work/remind.bat" "$marker"

# Starts in about two minutes with a lead of one minute; near midnight that
# is tomorrow, whose occurrences the schedule holds as well.
start_at=$(( $(date +%s) + 125 ))
remind_at=$(( start_at - 60 ))
start_day=$(date -d "@$start_at" +%F)
day_offset=0
[ "$start_day" = "$(date +%F)" ] || day_offset=1
start_secs=$(( start_at - $(date -d "$start_day 00:00" +%s) ))

reg_reset
add_event 1 "$day_offset" "$start_secs" "$day_offset" 1 1 "Dentist" "$(winpath "$work/remind.bat")"
# Only the reminder may open the window: not the display or soon horizons.
reg_dword "$USER_KEY" UewUpcoming 0
reg_dword "$USER_KEY" UewSoon 0

# The program's clock runs 12 seconds short of the reminder (the editor
# script waits for one on the true clock); its timers are the real ones.
# Times below are the program's: real time plus the offset.
ahead=$(( remind_at - 12 - $(date +%s) ))
FAKETIME_DONT_FAKE_MONOTONIC=1 faketime -f "+${ahead}s" wine "$EXE" /s >/dev/null 2>&1 &
program_pid=$!
probe idle "$FRAME" 20
clock() { echo $(( $(date +%s) + ahead )); }
check "no upcoming window before the reminder" test "$(probe count "$UPCOMING")" = "0"

# The check may run up to 5 seconds early; until then nothing opens.
sleep_until $(( remind_at - 7 - ahead ))
check "still no window shortly before the reminder" test "$(probe count "$UPCOMING")" = "0"
probe wait "$UPCOMING" 20
opened_at=$(clock)
check "the window opens at the reminder instant" test $(( opened_at - remind_at )) -ge -6 -a $(( opened_at - remind_at )) -le 8
corner() { probe find "$UPCOMING" | cut -d' ' -f1,4,5; }
check "it stands at the bottom right of the work area" wait_for 5 is "1 1014 768" corner
probe shot "$UPCOMING" "$(winpath "$shots/e2e_upcoming_reminded.bmp")"
# Sampled for two seconds: the reminded row shows and hides.
read -r inked blank <<<"$(probe blink "$UPCOMING" 2)"
check "the reminded row blinks ($inked shown, $blank hidden)" test "${inked:-0}" -gt 0 -a "${blank:-0}" -gt 0
wait_launches "$marker" 10
check "the launch file opened once" launched_times "$marker" 1
child_ids() { probe children "$UPCOMING" | tr ' ' '\n' | sort -n | paste -sd' '; }
check "no tick before the occurrence begins, only its clock" is "$ID_SNOOZE_FIRST" child_ids

# At the start the row turns into a notification with its tick button.
sleep_until $(( start_at - 6 - ahead ))
check "the begun occurrence has a tick button and a clock" \
  wait_for 10 is "$ID_DISMISS_FIRST $ID_SNOOZE_FIRST" child_ids
probe shot "$UPCOMING" "$(winpath "$shots/e2e_upcoming_begun.bmp")"
wait_for 10 launches_done "$work"
check "the launch file still opened only once" launched_times "$marker" 1

# Ticking it off leaves nothing; without UewStartup the window closes and
# stores its corner.
probe post "$UPCOMING" "$WM_COMMAND" "$ID_DISMISS_FIRST" 0 >/dev/null
check "dismissing the last notification closes the window" probe gone "$UPCOMING" 5
check "the closed window stored its anchor" \
  test "$(reg_value "$USER_KEY" DueEventCoord)" = "REG_BINARY F603000000030000"
stop_program

# Sixty-six upcoming rows: the window stays inside the 768-pixel work area and
# its last line says how many more there are.
reg_reset
many="$work/many.reg"
now=$(date +%s)
for i in $(seq 1 66); do
  at=$(( now + 3600 + i * 60 ))
  d=$(date -d "@$at" +%F)
  off=$(( ( $(date -d "$d 00:00" +%s) - $(date -d "$(date +%F) 00:00" +%s) + 43200 ) / 86400 ))
  python3 "$E2E_DIR/make_event.py" "$SC" "$i" "$off" $(( at - $(date -d "$d 00:00" +%s) )) "$off" 1 0 "Row $i" |
    { [ "$i" = 1 ] && cat || tail -n +2; }
  printf '\r\n'
done >"$many"
wine reg import "$(winpath "$many")" >/dev/null 2>&1
reg_dword "$USER_KEY" UewStartup 1
reg_dword "$USER_KEY" UewHours 24
start_program /s
probe wait "$UPCOMING" 20
probe shot "$UPCOMING" "$(winpath "$shots/e2e_upcoming_many.bmp")"
read -r _ uleft utop uright ubottom <<<"$(probe find "$UPCOMING")"
check "66 rows: the window's top is on the screen ($utop)" test "$utop" -ge 0
check "and its bottom too ($ubottom)" test "$ubottom" -le 768
check "and it is as tall as the work area allows ($utop..$ubottom)" test $(( ubottom - utop )) -gt 600

finish
