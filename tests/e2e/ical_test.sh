#!/usr/bin/env bash
# iCalendar files in and out: "/export FILE" and "/import FILE" with no copy
# running (exit codes, nothing shown) and handed to a running one (its
# report box), then the tray menu's two commands, sent as choosing them does (the
# menu's items are checked against the resource), through their file dialogs.
. "$(dirname "$0")/lib.sh"
work=$(cd "$(dirname "$EXE")/.." && pwd)/e2e_ical
rm -rf "$work" && mkdir -p "$work"
run() { wine "$EXE" "$@" >/dev/null 2>&1; echo $?; }  # the exit code
menu_command() {  # a tray menu command by its id, as choosing the item sends it
  probe post "$FRAME" "$WM_COMMAND" "$1" 0 >/dev/null
}
file_dialog() {  # title, path: typed into its file name box, then Enter
  # The first file dialog of a fresh Wine loads the shell's parts: give it time.
  if ! wait_for 20 dialog_shown "$1"; then
    import -window root "$shots/ical_no_$1.png" 2>/dev/null
    return 1
  fi
  # Typed once the file name box has the focus.
  wait_for 5 is "$cmb13" probe focus '#32770' "$1"
  xdotool type --delay 10 "$(winpath "$2")"
  xdotool key Return
  wait_for 5 not probe find '#32770' "$1"
}

# Two events a week apart in the file: a weekly meeting, a day off; and one
# long over, which is skipped.
day() { date -d "+$1 day" +%Y%m%d; }
ics() { printf '%s\r\n' BEGIN:VCALENDAR VERSION:2.0 'PRODID:-//Test//E2E//EN' "$@" END:VCALENDAR; }
ics BEGIN:VEVENT UID:sync@example.com DTSTAMP:20260101T000000Z "DTSTART:$(day 1)T090000" "DTEND:$(day 1)T093000" \
  'SUMMARY:Team sync' "RRULE:FREQ=WEEKLY;BYDAY=$(date -d '+1 day' +%a | cut -c1-2 | tr a-z A-Z)" END:VEVENT \
  BEGIN:VEVENT UID:off@example.com "DTSTART;VALUE=DATE:$(day 3)" 'SUMMARY:Day off' END:VEVENT \
  BEGIN:VEVENT UID:old@example.com DTSTART:20200102T090000 'SUMMARY:Long ago' END:VEVENT >"$work/two.ics"
ics BEGIN:VEVENT UID:party@example.com "DTSTART:$(day 5)T190000" 'SUMMARY:Party' END:VEVENT >"$work/one.ics"
printf 'Name,Date\r\nLunch,2026-03-10\r\n' >"$work/bad.csv"

# No copy running: the work is done without a window, the exit code tells.
reg_reset
add_event 1 1 36000 1 1 0 Dentist
add_event 2 0 28800 30 30 0 Standup
check "/export: exit code 0" test "$(run /export "$(winpath "$work/out.ics")")" = 0
out=$(tr -d '\r' <"$work/out.ics")
check "the file holds both events" test "$(grep -c '^BEGIN:VEVENT' <<<"$out")" = 2
check "with their summaries" grep -q '^SUMMARY:Dentist' <<<"$out"
check "and the daily rule" grep -q '^RRULE:FREQ=DAILY;UNTIL=' <<<"$out"
check "no window ran: no calendar rectangle stored" test -z "$(reg_value "$USER_KEY" ScheRect)"
check "/export without a file: bad arguments (2)" test "$(run /export)" = 2
check "/import of a CSV file: not iCalendar (4)" test "$(run /import "$(winpath "$work/bad.csv")")" = 4
check "the store is untouched" events_are "1 2 "
message=$(wine "$EXE" /import "$(winpath "$work/bad.csv")" 2>&1 >/dev/null | tr -d '\r')
check "the caller reads why: $message" test "$message" = "This is not an iCalendar file."

# A running copy takes the request and reports the import in its box.
start_program /s
check "/import into the running copy: exit code 0" test "$(run /import "$(winpath "$work/two.ics")")" = 0
box=$(probe msgbox 10)
check "its report box: $box" test "$box" = "OrvCalendar|2 events imported, 1 skipped: 1 already over."
names=$(titles)
check "the registry gains the two events: $names" test "$names" = "Dentist|Standup|Team sync|Day off|"
check "the UID is kept" test "$(reg_value "$SC\\3" uid)" = "REG_SZ sync@example.com"
check "again, quietly: exit code 0" test "$(run /import "$(winpath "$work/two.ics")" /s)" = 0
check "no box with the quiet switch" not probe msgbox 1
check "and no event twice" events_are "1 2 3 4 "
check "a bad file: exit code 4" test "$(run /import "$(winpath "$work/bad.csv")" /s)" = 4
check "and the store untouched" events_are "1 2 3 4 "
# The running copy has another current folder: a relative name is made whole.
check "/export of a relative name to the running copy: exit code 0" test "$(cd "$work" && run /export handed.ics /s)" = 0
check "written beside the caller" grep -q '^UID:off@example.com' "$work/handed.ics"

# The tray menu: export through the save dialog, import through the open one.
menu_command "$ID_EXPORT_ICALENDAR"
check "Export to iCalendar... saves where the dialog says" file_dialog "Save As" "$work/tray.ics"
vevents() { tr -d '\r' <"$1" 2>/dev/null | grep -c '^BEGIN:VEVENT'; }
check "the file holds the four events" wait_for 5 is 4 vevents "$work/tray.ics"
check "with the imported meeting's UID" grep -q '^UID:sync@example.com' "$work/tray.ics"
menu_command "$ID_IMPORT_ICALENDAR"
check "Import from iCalendar... reads what the dialog says" file_dialog "Open" "$work/one.ics"
box=$(probe msgbox 10)
check "its report box: $box" test "$box" = "OrvCalendar|1 event imported."
check "the registry gains the party" test "$(reg_value "$SC\\5" title)" = "REG_SZ Party"

# A file with a line no reader understands, after its end as a caching proxy
# leaves one: the good event comes in and the report says what was left out.
{ ics BEGIN:VEVENT UID:picnic@example.com "DTSTART:$(day 6)T120000" 'SUMMARY:Picnic' \
    'X-APPLE-STRUCTURED-LOCATION;X-APPLE-RADIUS;X-TITLE=Park\; North:geo:48.3,14.3' END:VEVENT
  printf '%s\r\n' '<!-- served from cache -->'; } >"$work/bad_line.ics"
check "/import of a file with a bad line: exit code 0" test "$(run /import "$(winpath "$work/bad_line.ics")")" = 0
box=$(probe msgbox 10)
check "its report box names the skipped line: $box" grep -q '1 event imported.*1 line could not be read and was skipped.' <<<"$(tr '\n' ' ' <<<"$box")"
check "the registry gains the picnic" test "$(reg_value "$SC\\6" title)" = "REG_SZ Picnic"
check "the program runs on" program_running

# A series with one occurrence moved, as a calendar that sends an invitation
# update writes it: the series leaves that day out, the moved one comes alone.
wd=$(date -d '+2 day' +%a | cut -c1-2 | tr a-z A-Z)
ics BEGIN:VEVENT UID:yoga@example.com "DTSTART:$(day 2)T070000" "DTEND:$(day 2)T080000" 'SUMMARY:Yoga' \
  "RRULE:FREQ=WEEKLY;BYDAY=$wd" END:VEVENT \
  BEGIN:VEVENT UID:yoga@example.com "RECURRENCE-ID:$(day 9)T070000" "DTSTART:$(day 10)T180000" \
  "DTEND:$(day 10)T190000" 'SUMMARY:Yoga-moved' END:VEVENT >"$work/moved.ics"
for round in 1 2; do
  check "/import of a moved occurrence, round $round: exit code 0" test "$(run /import "$(winpath "$work/moved.ics")" /s)" = 0
done
check "the series and the moved one, once each" events_are "1 2 3 4 5 6 7 8 "
check "the moved one keeps its own title" test "$(reg_value "$SC\\8" title)" = "REG_SZ Yoga-moved"
le_key() { printf '%02X%02X%02X%02X' "$(date -d "+$1 day" +%-d)" "$(date -d "+$1 day" +%-m)" \
  $(( $(date -d "+$1 day" +%Y) & 255 )) $(( $(date -d "+$1 day" +%Y) >> 8 )); }
check "the series leaves the moved day out" grep -qi "$(le_key 9)07000000" <<<"$(reg_value "$USER_KEY" EventExcluded)"

finish
