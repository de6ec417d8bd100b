#!/usr/bin/env bash
# Text in every script, end to end: a file with four scripts in a folder
# named in Cyrillic, handed to the running copy by /import and written out
# again by /export with the same texts; the calendar and the upcoming window
# show them (pictures to look at); a reminder opens a program in a folder
# named in Cyrillic.
. "$(dirname "$0")/lib.sh"
work=$(cd "$(dirname "$EXE")/.." && pwd)/e2e_unicode
folder="$work/Документы"
rm -rf "$work" && mkdir -p "$folder"
run() { wine "$EXE" "$@" >/dev/null 2>&1; echo $?; }  # the exit code
day() { date -d "+$1 day" +%Y%m%d; }
ics() { printf '%s\r\n' BEGIN:VCALENDAR VERSION:2.0 'PRODID:-//Test//E2E//EN' "$@" END:VCALENDAR; }
ics BEGIN:VEVENT UID:ru@example.com "DTSTART:$(day 1)T090000" 'SUMMARY:Встреча с врачом' \
  'DESCRIPTION:Zimmer 3 – Ärztehaus 🙂' END:VEVENT \
  BEGIN:VEVENT UID:zh@example.com "DTSTART:$(day 1)T110000" 'SUMMARY:会议 Zoë' 'DESCRIPTION:会议室' END:VEVENT \
  BEGIN:VEVENT UID:soon@example.com "DTSTART:$(date -d '+2 hour' +%Y%m%dT%H0000)" 'SUMMARY:Встреча 会议 Σύσκεψη' END:VEVENT \
  BEGIN:VEVENT UID:el@example.com "DTSTART:$(day 2)T100000" 'SUMMARY:Σύσκεψη 🙂' 'DESCRIPTION:Αίθουσα 2' END:VEVENT \
  >"$folder/четыре.ics"
# Wine's UI font lacks Chinese: for this script's pictures the test prefix
# draws it with WenQuanYi Micro Hei (never the product: Windows links its UI
# fonts to CJK fonts itself). Taken out again at the end, as the pixel tests
# measure the usual font.
fonts='HKCU\Software\Wine\Fonts\Replacements'
wine reg add "$fonts" /v Tahoma /d 'WenQuanYi Micro Hei' /f >/dev/null 2>&1
trap 'wine reg delete "$fonts" /v Tahoma /f >/dev/null 2>&1' EXIT

# The events' own titles and notes (an alarm's description repeats the title).
texts() {
  tr -d '\r' <"$1" | awk '/^BEGIN:VALARM/ { a = 1 } /^END:VALARM/ { a = 0 } !a && /^(SUMMARY|DESCRIPTION):/' | sort
}

reg_reset
start_program /s
check "/import from a Cyrillic folder into the running copy: exit code 0" \
  test "$(run /import "$(winpath "$folder/четыре.ics")")" = 0
box=$(probe msgboxu 10)
check "its report, with no \"?\" line: $box" test "$box" = "OrvCalendar|4 events imported."
check "/export into that folder: exit code 0" test "$(run /export "$(winpath "$folder/выход.ics")")" = 0
check "the exported titles and notes are the imported ones, byte for byte" \
  test "$(texts "$folder/четыре.ics")" = "$(texts "$folder/выход.ics")"
check "no question mark came in" not grep -q '?' "$folder/выход.ics"

# The calendar on tomorrow's month, the upcoming window and the tip.
probe post "$FRAME" "$WM_COMMAND" "$ID_OPEN_CALENDAR" 0 >/dev/null
probe wait "$CALENDAR" 10
if [ "$(date -d '+2 day' +%m)" != "$(date +%m)" ]; then
  probe post "$CALENDAR" "$WM_KEYDOWN" "$VK_NEXT" 0 >/dev/null
  frame_caught_up
fi
probe shot "$CALENDAR" "$(winpath "$shots/e2e_unicode_calendar.bmp")"
probe post "$FRAME" "$WM_COMMAND" "$ID_UPCOMING_EVENTS" 0 >/dev/null
probe wait "$UPCOMING" 10
probe shot "$UPCOMING" "$(winpath "$shots/e2e_unicode_upcoming.bmp")"
stop_program

# A reminder opens a program in a folder named in Cyrillic; the event's title
# is Cyrillic too.
mkdir -p "$folder/Программы"
marker="$work/launched.log"
make_launch_file "$folder/Программы/запуск.bat" "$marker"
now_secs=$(( $(date +%s) - $(date -d 'today 00:00' +%s) ))
soon=$(( now_secs + 1800 ))
[ "$soon" -lt 86400 ] || soon=86300
reg_reset
add_event 1 0 "$soon" 0 1 60 "Приём у врача" "$(winpath "$folder/Программы/запуск.bat")"  # already due
start_program /s
wait_launches "$marker" 10
check "the due reminder opened the program in the Cyrillic folder once" launched_times "$marker" 1
stop_program
finish
