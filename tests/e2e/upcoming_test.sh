#!/usr/bin/env bash
# A reminder a minute after start-up opens the upcoming-events window at its
# instant with the row blinking and opens the launch file once; when the
# occurrence begins the row gets a tick, and dismissing it closes the window.
. "$(dirname "$0")/lib.sh"
SC="$USER_KEY\\sc"
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
shots=$(cd "$(dirname "$EXE")/.." && pwd)/screens
mkdir -p "$shots"
sleep_until() { local d=$(( $1 - $(date +%s) )); [ "$d" -le 0 ] || sleep "$d"; }


# The launch file: a batch program that appends a line to a log each time it runs.
marker="$work/launched.log"
printf '@echo off\r\necho launched>>"%s"\r\n' "$(winpath "$marker")" >"$work/remind.bat"

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
wine reg add "$USER_KEY" /v UewUpcoming /t REG_DWORD /d 0 /f >/dev/null 2>&1
wine reg add "$USER_KEY" /v UewSoon /t REG_DWORD /d 0 /f >/dev/null 2>&1

start_program /s
check "no upcoming window before the reminder" test "$(probe count "$UPCOMING")" = "0"

# The check may run up to 5 seconds early; until then nothing opens.
sleep_until $(( remind_at - 7 ))
check "still no window shortly before the reminder" test "$(probe count "$UPCOMING")" = "0"
probe wait "$UPCOMING" 20
opened_at=$(date +%s)
check "the window opens at the reminder instant" test $(( opened_at - remind_at )) -ge -6 -a $(( opened_at - remind_at )) -le 8
sleep 0.5
probe shot "$UPCOMING" "$(winpath "$shots/e2e_upcoming_reminded.bmp")"
check "it stands at the bottom right of the work area" test "$(probe find "$UPCOMING" | cut -d' ' -f1,4,5)" = "1 1014 768"
# Sampled for two seconds: the reminded row shows and hides.
read -r inked blank <<<"$(probe blink "$UPCOMING" 2)"
check "the reminded row blinks ($inked shown, $blank hidden)" test "${inked:-0}" -gt 0 -a "${blank:-0}" -gt 0
check "the launch file opened once" test "$(grep -c launched "$marker" 2>/dev/null)" = "1"
check "no tick before the occurrence begins" test -z "$(probe children "$UPCOMING")"

# At the start the row turns into a notification with its tick button.
sleep_until $(( start_at - 6 ))
for _ in $(seq 1 40); do [ -n "$(probe children "$UPCOMING")" ] && break; sleep 0.25; done
check "the begun occurrence has a tick button" test "$(probe children "$UPCOMING")" = "8193"
probe shot "$UPCOMING" "$(winpath "$shots/e2e_upcoming_begun.bmp")"
check "the launch file still opened only once" test "$(grep -c launched "$marker" 2>/dev/null)" = "1"

# Ticking it off leaves nothing; without UewStartup the window closes and
# stores its corner.
probe post "$UPCOMING" 0x111 8193 0 >/dev/null
check "dismissing the last notification closes the window" probe gone "$UPCOMING" 5
check "the closed window stored its anchor" \
  test "$(reg_value "$USER_KEY" DueEventCoord)" = "REG_BINARY F603000000030000"

finish
