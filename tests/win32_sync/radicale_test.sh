#!/usr/bin/env bash
# Starts a Radicale of its own on a free loopback port with a temporary
# folder, a user with a plain-text password and one calendar, runs the
# transport's tests against it under Wine, and stops it.
# Usage: radicale_test.sh <sync_http_tests.exe>
set -euo pipefail
exe=$1
work=$(mktemp -d)
server=""
cleanup() {
  if [ -n "$server" ]; then kill "$server" 2>/dev/null || true; wait "$server" 2>/dev/null || true; fi
  rm -rf "$work"
}
trap cleanup EXIT

# shellcheck source=../support/caldav_servers.sh
. "$(dirname "$0")/../support/caldav_servers.sh"
port=$(free_port)
user=tester
password='s3cret: with colon'
write_radicale_config "$work" "$port" "$user" "$password"

radicale --config "$work/config" >"$work/radicale.log" 2>&1 &
server=$!
base="http://127.0.0.1:$port"
for _ in $(seq 100); do
  if curl -s -o /dev/null "$base/"; then break; fi
  kill -0 "$server" 2>/dev/null || { cat "$work/radicale.log"; exit 1; }
  sleep 0.1
done

url="$base/$user/calendar/"
code=$(curl -s -o /dev/null -w '%{http_code}' -u "$user:$password" -X MKCALENDAR "$url")
if [ "$code" != 201 ]; then
  echo "MKCALENDAR $url answered $code"; cat "$work/radicale.log"; exit 1
fi

# A crash ends the run at once instead of waiting in Wine's debugger.
ORV_CALDAV_URL=$url ORV_CALDAV_USER=$user ORV_CALDAV_PASSWORD=$password \
  WINEDLLOVERRIDES="${WINEDLLOVERRIDES:+$WINEDLLOVERRIDES;}winedbg.exe=d" \
  wine "$exe" --gtest_filter='LiveServer.*' || { cat "$work/radicale.log"; exit 1; }
