#!/usr/bin/env bash
# A calendar shared read-only (Radicale's owner_write rights): its owner is
# the phone, this calendar syncs it as another user. A change made here is
# undone to the owner's version and the status names it once; the owner's
# changes still come in; only a wrong password reads as one.
. "$(dirname "$0")/lib.sh"
work=$(mktemp -d)
server=""
cleanup() {
  stop_program
  if [ -n "$server" ]; then kill "$server" 2>/dev/null; wait "$server" 2>/dev/null; fi
  rm -rf "$work"
}
trap cleanup EXIT

# shellcheck source=../support/caldav_servers.sh
. "$E2E_DIR/../support/caldav_servers.sh"
port=$(free_port)
owner=owner
owner_password='owner pa55'
reader=reader
reader_password='reader pa55'
url="http://127.0.0.1:$port/$owner/shared/"
write_radicale_config "$work" "$port" "$owner" "$owner_password" info owner_write
printf '%s:%s\n' "$reader" "$reader_password" >>"$work/users"
radicale --config "$work/config" >"$work/radicale.log" 2>&1 &
server=$!
wait_for 10 curl -s -o /dev/null "http://127.0.0.1:$port/" || { echo "FAIL - Radicale did not start"; exit 1; }
curl -s -o /dev/null -u "$owner:$owner_password" -X MKCALENDAR "$url"

phone() { /usr/bin/python3 "$E2E_DIR/phone.py" "$url" "$owner" "$owner_password" "$@"; }
# shellcheck source=sync_checks.sh
. "$E2E_DIR/sync_checks.sh"
retitle_here() {  # as the editor writes a title
  local id; id=$(id_of "$1")
  [ -n "$id" ] && wine reg add "$SC\\$id" /v title /t REG_SZ /d "$2" /f >/dev/null 2>&1
}
code=0
message=""
sync_now() { wine "$EXE" /sync >"$work/said" 2>&1; code=$?; message=$(tr -d '\r' <"$work/said"); }

reg_reset
wine reg add "$USER_KEY" /v SyncUrl /t REG_SZ /d "$url" /f >/dev/null 2>&1
wine reg add "$USER_KEY" /v SyncUser /t REG_SZ /d "$reader" /f >/dev/null 2>&1
reg_dword "$USER_KEY" SyncMinutes 0
probe credential "OrvCalendar/sync" "$reader" "$reader_password"
phone add team@owner 'Team meeting' 2 10

sync_now
check "the first sync as the reader: done (0) - $message" test "$code" = 0
check "the owner's event came in" has_title 'Team meeting'

retitle_here 'Team meeting' 'My meeting'
phone add news@owner 'Owner news' 3 9
sync_now
check "a sync after a change the server will not take: done (0) - $message" test "$code" = 0
check "the status names the read-only event: $message" \
  grep -qF '"My meeting" is read-only on the server: the change made here was undone.' <<<"$message"
check "the owner's new event still came in" has_title 'Owner news'
check "the change made here was undone" has_title 'Team meeting'
check "and not kept as a copy: $(titles)" not grep -qF 'meeting' <<<"$(titles | tr '|' '\n' | grep -vxF 'Team meeting')"
listed=$(phone list | tr '\n' ' ')
check "the owner's calendar is as the owner left it: $listed" test "$listed" = "Owner news| Team meeting| "

phone retitle team@owner 'Team meeting moved'
sync_now
check "the next sync: done (0) - $message" test "$code" = 0
check "says nothing more of it: $message" not grep -qF 'read-only' <<<"$message"
check "and takes the owner's edit in" has_title 'Team meeting moved'

probe credential "OrvCalendar/sync" "$reader" "not the password"
sync_now
check "a wrong password: refused (8)" test "$code" = 8
check "and says so: $message" grep -qF 'The server refused the user name or password.' <<<"$message"
finish
