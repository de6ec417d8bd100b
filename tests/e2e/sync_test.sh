#!/usr/bin/env bash
# Sync with a CalDAV server: a Radicale of its own on a free loopback port,
# with Python's caldav on the same calendar as the other device. /sync with
# no copy running and handed to a running one, the tray's Sync Now, the
# server stopped, the password kept out of the registry, and a sync killed
# halfway that the next one finishes without doubling anything; then
# xandikos behind a proxy that asks for the password by Digest.
. "$(dirname "$0")/lib.sh"
work=$(mktemp -d)
server=""
proxy=""
stop_pid() { if [ -n "$1" ]; then kill "$1" 2>/dev/null; wait "$1" 2>/dev/null; fi; }
cleanup() { stop_program; for p in "$proxy" "$server" "${auth:-}" "${xandikos:-}"; do stop_pid "$p"; done; rm -rf "$work"; }
trap cleanup EXIT

# shellcheck source=../support/caldav_servers.sh
. "$E2E_DIR/../support/caldav_servers.sh"
port=$(free_port)
user=phone
password='pa55: not in the registry'
base="http://127.0.0.1:$port"
url="$base/$user/calendar/"
write_radicale_config "$work" "$port" "$user" "$password" info  # its requests, for a failure
start_server() {
  radicale --config "$work/config" >>"$work/radicale.log" 2>&1 &
  server=$!
  wait_for 10 curl -s -o /dev/null "$base/"
}
start_server || { echo "FAIL - Radicale did not start"; cat "$work/radicale.log"; exit 1; }
curl -s -o /dev/null -u "$user:$password" -X MKCALENDAR "$url"

phone() { /usr/bin/python3 "$E2E_DIR/phone.py" "$url" "$user" "$password" "$@"; }
# shellcheck source=sync_checks.sh
. "$E2E_DIR/sync_checks.sh"
run() { wine "$EXE" "$@" >/dev/null 2>&1; echo $?; }  # the exit code
sync_to() {  # the collection's address
  wine reg add "$USER_KEY" /v SyncUrl /t REG_SZ /d "$1" /f >/dev/null 2>&1
}

reg_reset
check "/sync before it is set up: not set up (9)" test "$(run /sync)" = 9
message=$(wine "$EXE" /sync 2>&1 >/dev/null | tr -d '\r')
check "the caller reads why: $message" test "$message" = "Sync is not set up."

# Set up as the Sync page leaves it; two events here, one on the phone.
sync_to "$url"
wine reg add "$USER_KEY" /v SyncUser /t REG_SZ /d "$user" /f >/dev/null 2>&1
reg_dword "$USER_KEY" SyncMinutes 0
probe credential "OrvCalendar/sync" "$user" "$password"
add_event 1 1 36000 1 1 0 Dentist
add_event 2 0 28800 30 30 0 Standup
phone add lunch@phone 'Phone lunch' 2 12

check "/sync with no copy running: done (0)" test "$(run /sync)" = 0
check "the phone's event is in the calendar" has_title 'Phone lunch'
listed=$(phone list | tr '\n' ' ')
check "the calendar's events are on the server: $listed" grep -q '^Dentist| Phone lunch| Standup|FREQ=DAILY;UNTIL=' <<<"$listed"
check "the password is in no registry value" not grep -qF "$password" <(wine reg query "$ROOT_KEY" /s 2>/dev/null)

# A running copy: /sync is handed to it, and the tray's Sync Now.
start_program /s
phone retitle lunch@phone 'Phone lunch moved'
phone add call@phone 'Phone call' 3 15
check "/sync handed to the running copy: done (0)" test "$(run /sync)" = 0
check "the phone's edit came in" has_title 'Phone lunch moved'
check "and its new event" has_title 'Phone call'
check "the phone deletes its event" phone delete call@phone
probe post "$FRAME" "$WM_COMMAND" "$ID_SYNC_NOW" 0 >/dev/null
check "Sync Now takes the phone's deletion in" wait_for 20 not has_title 'Phone call'

stop_program

# Edits on both sides, written here as the editor writes them: an edit goes
# up, one made on both sides keeps both, and a rule with an exception made
# on the phone keeps its exception when its title is edited here.
retitle_here() {
  local id; id=$(id_of "$1")
  [ -n "$id" ] && wine reg add "$SC\\$id" /v title /t REG_SZ /d "$2" /f >/dev/null 2>&1
}
starts_at() {  # title: the first day, in days from today, and the start time in seconds
  wine reg query "$SC\\$(id_of "$1")" /v front 2>/dev/null | tr -d '\r' | sed -n 's/^ *front *REG_BINARY *//p' |
    python3 -c 'import struct, sys, time
front = bytes.fromhex(sys.stdin.read().strip())
date, start = struct.unpack_from("<Ii", front, 12)
t = time.localtime()
today = time.mktime((t.tm_year, t.tm_mon, t.tm_mday, 0, 0, 0, 0, 0, -1))
print(round((date - today) / 86400), start)'
}
phone weekly choir@phone Choir 1 19 'Choir in hall B'
check "/sync takes in the phone's weekly event" test "$(run /sync)" = 0
check "its moved occurrence shows at its new day and time: $(starts_at 'Choir in hall B')" \
  test "$(starts_at 'Choir in hall B')" = "8 72000"
retitle_here 'Choir in hall B' 'Choir moved here'
retitle_here Dentist 'Dentist at 11'
retitle_here 'Phone lunch moved' 'Lunch here'
phone retitle lunch@phone 'Lunch on the phone'
retitle_here Choir 'Choir practice'
check "/sync with edits on both sides: done (0)" test "$(run /sync)" = 0
check "the edit made here is on the server" grep -qx 'Dentist at 11|' <(phone list)
check "the phone's version wins" has_title 'Lunch on the phone'
check "and the one made here is kept beside it" has_title '(conflict) Lunch here'
parts=$(phone parts choir@phone | tr '\n' ' ')
check "the title edit kept the phone's rule and exception: $parts" \
  grep -q '^Choir in hall B||[0-9T]* Choir practice|FREQ=WEEKLY;COUNT=4|' <<<"$parts"
check "the moved occurrence edited here is the server's again" has_title 'Choir in hall B'
check "and not the edit" not has_title 'Choir moved here'
check "it never went up as an event of its own" not grep -q '^Choir' <(phone list | grep -v '^Choir practice|')

# Times edited here go back in the phone's own terms: a series in Berlin
# moved half an hour earlier keeps its zone, and its cancelled and moved
# weeks move with it; an all-day event moved a day stays all day.
edit_front() { edit_front_of "$(id_of "$1")" "$2" "$3"; }  # title, seconds, days
edit_front_of() {  # id, seconds to move its times by, days to move its dates by
  local id=$1 hex
  hex=$(wine reg query "$SC\\$id" /v front 2>/dev/null | tr -d '\r' | sed -n 's/^ *front *REG_BINARY *//p')
  hex=$(python3 -c 'import struct,sys
b = bytearray.fromhex(sys.argv[1]); s, d = int(sys.argv[2]), int(sys.argv[3]) * 86400
for at, by in ((12, d), (16, s), (20, d), (24, s)):
    struct.pack_into("<i", b, at, struct.unpack_from("<i", b, at)[0] + by)
print(b.hex())' "$hex" "$2" "$3")
  wine reg add "$SC\\$id" /v front /t REG_BINARY /d "$hex" /f >/dev/null 2>&1
}
phone berlin berlin@phone 'Berlin choir'
phone allday holiday@phone 'Holiday' 5
check "/sync takes in the phone's zoned series and all-day event" test "$(run /sync)" = 0
edit_front 'Berlin choir' -1800 0
edit_front 'Holiday' 0 1
check "/sync with times edited here: done (0)" test "$(run /sync)" = 0
series=$(phone raw berlin@phone)
check "the series keeps its zone, half an hour earlier" \
  grep -qE '^DTSTART;TZID=Europe/Berlin:[0-9]{8}T183000$' <<<"$series"
check "its cancelled week moved with it" grep -qE '^EXDATE;TZID=Europe/Berlin:[0-9]{8}T183000$' <<<"$series"
check "and its moved week" grep -qE '^RECURRENCE-ID;TZID=Europe/Berlin:[0-9]{8}T183000$' <<<"$series"
check "nothing names an occurrence at the old time" not grep -qE '^(EXDATE|RECURRENCE-ID)[^:]*:[0-9]{8}T190000$' <<<"$series"
holiday=$(phone raw holiday@phone)
check "the all-day event is still all day, a day later" \
  grep -qx "DTSTART;VALUE=DATE:$(date -d '+6 days' +%Y%m%d)" <<<"$holiday"
run /sync >/dev/null
check "a second /sync leaves the phone's texts as they were" \
  test "$(phone raw holiday@phone)$(phone raw berlin@phone)" = "$holiday$series"
# A phone's title in other scripts comes back whole after a time edit here.
id_of_uid() { local id; for id in $(reg_subkeys "$SC"); do [ "$(reg_value "$SC\\$id" uid)" = "REG_SZ $1" ] && echo "$id"; done; }
phone add script@phone 'Встреча 会议 🎉' 3 10
run /sync >/dev/null
edit_front_of "$(id_of_uid script@phone)" 3600 0
check "/sync with a Cyrillic, Chinese and emoji title moved here: done (0)" test "$(run /sync)" = 0
written=$(phone raw script@phone)
check "the phone has its title whole and the new time" \
  test "$(grep -E '^(SUMMARY|DTSTART)' <<<"$written" | sort | tr '\n' '|')" = \
       "DTSTART:$(date -d '+3 days' +%Y%m%d)T110000|SUMMARY:Встреча 会议 🎉|"

# An event here after the months the calendar syncs stays through a full
# listing, which names only those months.
add_event 150 250 36000 250 1 0 'Far ahead'
run /sync >/dev/null
wine reg delete "$USER_KEY" /v SyncToken /f >/dev/null 2>&1
check "a full listing: done (0)" test "$(run /sync)" = 0
check "it keeps the event after the synced months" has_title 'Far ahead'
check "the server still has it" grep -qx 'Far ahead|' <(phone list)

# The server stopped: a clear failure and nothing lost.
before=$(titles)
stop_pid "$server"; server=""
check "/sync with the server stopped: unreachable (7)" test "$(run /sync)" = 7
check "nothing lost" test "$(titles)" = "$before"

# Killed in the middle of a sync: a proxy holds each PUT back, the program
# is killed once some of the new events reached the server.
start_server || { echo "FAIL - Radicale did not start again"; exit 1; }
proxy_port=$(free_port)
/usr/bin/python3 "$E2E_DIR/slow_proxy.py" "$proxy_port" "$port" 0.5 2>"$work/proxy.log" &
proxy=$!
wait_for 10 curl -s -o /dev/null "http://127.0.0.1:$proxy_port/"
sync_to "http://127.0.0.1:$proxy_port/$user/calendar/"
# Ids well above those the syncs before made.
for i in $(seq 10 21); do add_event "$((i + 90))" 4 "$((i * 1800))" 4 1 0 "Batch $i"; done
batches() { phone list | grep -c '^Batch'; }
some_sent() { [ "$(batches)" -ge 2 ]; }
start_program /s
probe post "$FRAME" "$WM_COMMAND" "$ID_SYNC_NOW" 0 >/dev/null
wait_for 30 some_sent
sent=$(batches)
kill -9 "$program_pid" 2>/dev/null; wait "$program_pid" 2>/dev/null; program_pid=
check "killed with $sent of 12 new events sent" test "$sent" -ge 2 -a "$sent" -lt 12
sync_to "$url"
start_program /s
check "the next sync: done (0)" test "$(run /sync)" = 0
check "every event on the server once: $(batches) of 12" test "$(batches)" = 12
conflicts() { titles | tr '|' '\n' | grep -cF '(conflict)'; }
check "and no new conflict copy" test "$(conflicts)" = 1
stop_program

# Every N minutes, the first a few seconds after the start: the real timer.
reg_dword "$USER_KEY" SyncMinutes 1
phone add timer@phone 'Timed sync' 5 9
start_program /s
check "a sync soon after the start, with no command" wait_for 25 has_title 'Timed sync'
stop_program

# A full calendar: the phone's 361 events, three a day from 144 days ago.
# Its new "Dentist tomorrow" comes in, the farthest copy gives way here.
reg_reset
full_url="$base/$user/full/"
curl -s -o /dev/null -u "$user:$password" -X MKCALENDAR "$full_url"
sync_to "$full_url"
wine reg add "$USER_KEY" /v SyncUser /t REG_SZ /d "$user" /f >/dev/null 2>&1
reg_dword "$USER_KEY" SyncMinutes 0
# Each title by one query would take minutes here: all of them in one.
all_titles() { wine reg query "$SC" /s /v title 2>/dev/null | tr -d '\r' | sed -n 's/^ *title *REG_SZ *//p'; }
held() { all_titles | grep -qxF "$1"; }
full_phone() { /usr/bin/python3 "$E2E_DIR/phone.py" "$full_url" "$user" "$password" "$@"; }
full_phone many Old 361 -144
check "/sync fills the calendar: done (0)" test "$(run /sync)" = 0
check "with 361 events" test "$(reg_subkeys "$SC" | wc -l)" = 361
full_phone add dentist@phone 'Dentist tomorrow' 1 8
status=$(wine "$EXE" /sync 2>&1 | tr -d '\r')
check "the phone's new event comes in" held 'Dentist tomorrow'
old_here() { all_titles | grep -c '^Old '; }
check "one of the farthest old ones gave way: $(old_here) left" test "$(old_here)" = 360
first_day() { all_titles | grep -cx 'Old [012]'; }
check "one of the first day's" test "$(first_day)" = 2
check "the calendar still holds 361" test "$(reg_subkeys "$SC" | wc -l)" = 361
check "the status says so: $status" grep -qF \
  '1 event left out: the calendar holds at most 361, those nearest to today came in.' <<<"$status"
check "the server keeps the one that gave way" test "$(full_phone list | grep -c '^Old ')" = 361
check "the next sync keeps it so" test "$(run /sync)" = 0
check "with the phone's new event" held 'Dentist tomorrow'
check "and the same 360 old ones" test "$(old_here) $(first_day)" = "360 2"

# The second server: xandikos behind a proxy that asks for the password by
# Digest, given only the server's own address: its calendar is found.
inner=$(free_port)
outer=$(free_port)
/usr/bin/xandikos -d "$work/xandikos" --defaults -l 127.0.0.1 -p "$inner" >"$work/xandikos.log" 2>&1 &
xandikos=$!
/usr/bin/python3 "$E2E_DIR/../win32_sync/auth_proxy.py" "$outer" "$inner" "$user" "$password" digest \
  >"$work/auth.log" 2>&1 &
auth=$!
wait_for 10 curl -s -o /dev/null "http://127.0.0.1:$inner/"
wait_for 10 curl -s -o /dev/null "http://127.0.0.1:$outer/"
url="http://127.0.0.1:$outer/user/calendars/calendar/"
reg_reset
sync_to "http://127.0.0.1:$outer/"
wine reg add "$USER_KEY" /v SyncUser /t REG_SZ /d "$user" /f >/dev/null 2>&1
reg_dword "$USER_KEY" SyncMinutes 0
add_event 1 1 36000 1 1 0 Dentist
phone add lunch@phone 'Phone lunch' 2 12
check "xandikos by Digest from its address: done (0)" test "$(run /sync)" = 0
check "the phone's event is in the calendar" has_title 'Phone lunch'
check "the calendar's event is on the server" grep -qx 'Dentist|' <(phone list)
phone retitle lunch@phone 'Phone lunch moved'
check "again: done (0)" test "$(run /sync)" = 0
check "the phone's edit came in" has_title 'Phone lunch moved'
# xandikos too gets an edit here in its own terms.
phone berlin berlin@phone 'Berlin choir'
phone allday holiday@phone 'Holiday' 5
run /sync >/dev/null
edit_front 'Berlin choir' -1800 0
edit_front 'Holiday' 0 1
check "xandikos, times edited here: done (0)" test "$(run /sync)" = 0
series=$(phone raw berlin@phone)
check "the series, its cancelled and its moved week in Berlin time, half an hour earlier" \
  test "$(grep -cE '^(DTSTART|EXDATE|RECURRENCE-ID);TZID=Europe/Berlin:[0-9]{8}T183000$' <<<"$series")" = 3
check "the all-day event still all day, a day later" \
  grep -qx "DTSTART;VALUE=DATE:$(date -d '+6 days' +%Y%m%d)" <<<"$(phone raw holiday@phone)"
stop_pid "$auth"; stop_pid "$xandikos"
finish
