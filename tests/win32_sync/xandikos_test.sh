#!/usr/bin/env bash
# Starts a xandikos of its own on a free loopback port with a temporary
# folder (its default calendar), behind auth_proxy.py, which demands a user
# and password (Basic, or Digest with "digest" as the second argument; with
# "reset" it resets every request that comes without them), runs the
# transport's live-server tests under Wine through the proxy, and stops both.
# Usage: xandikos_test.sh <sync_http_tests.exe> [basic|digest|reset]
set -euo pipefail
exe=$1
scheme=${2:-basic}
here=$(cd "$(dirname "$0")" && pwd)
work=$(mktemp -d)
pids=()
cleanup() {
  for pid in "${pids[@]}"; do kill "$pid" 2>/dev/null || true; wait "$pid" 2>/dev/null || true; done
  rm -rf "$work"
}
trap cleanup EXIT

# shellcheck source=../support/caldav_servers.sh
. "$here/../support/caldav_servers.sh"
wait_for() {
  for _ in $(seq 100); do
    if curl -s -o /dev/null -u "$user:$password" "$1"; then return 0; fi
    kill -0 "$2" 2>/dev/null || { cat "$work"/*.log; exit 1; }
    sleep 0.1
  done
  echo "$1 did not answer"; cat "$work"/*.log; exit 1
}
inner=$(free_port)
port=$(free_port)
user=tester
password='s3cret: with colon'

/usr/bin/xandikos -d "$work/data" --defaults -l 127.0.0.1 -p "$inner" >"$work/xandikos.log" 2>&1 &
pids+=($!)
wait_for "http://127.0.0.1:$inner/" "${pids[-1]}"
/usr/bin/python3 "$here/auth_proxy.py" "$port" "$inner" "$user" "$password" "$scheme" >"$work/proxy.log" 2>&1 &
pids+=($!)
base="http://127.0.0.1:$port"
wait_for "$base/" "${pids[-1]}"

url="$base/user/calendars/calendar/"
curl_scheme=$scheme
[ "$scheme" = reset ] && curl_scheme=basic
code=$(curl -s -o /dev/null -w '%{http_code}' --"$curl_scheme" -u "$user:$password" -X PROPFIND -H 'Depth: 0' "$url")
if [ "$code" != 207 ]; then
  echo "PROPFIND $url answered $code"; cat "$work"/*.log; exit 1
fi

# A crash ends the run at once instead of waiting in Wine's debugger.
ORV_CALDAV_URL=$url ORV_CALDAV_USER=$user ORV_CALDAV_PASSWORD=$password ORV_CALDAV_SERVER=xandikos ORV_CALDAV_SCHEME=$scheme \
  WINEDLLOVERRIDES="${WINEDLLOVERRIDES:+$WINEDLLOVERRIDES;}winedbg.exe=d" \
  wine "$exe" --gtest_filter='LiveServer.*' || { cat "$work"/*.log; exit 1; }
