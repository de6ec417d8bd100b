#!/usr/bin/env bash
# Starts and ends, again and again, as a command-line import and a quiet
# start from the tray do: each one ends by itself with its own exit code,
# and none ends in a fault (under Wine a fault in any thread prints
# "Unhandled ..." even when the program's output is done).
# ORV_START_EXIT_ROUNDS rounds (default 25).
. "$(dirname "$0")/lib.sh"
rounds=${ORV_START_EXIT_ROUNDS:-25}
work=$(cd "$(dirname "$EXE")/.." && pwd)/e2e_start_exit
rm -rf "$work" && mkdir -p "$work"

day() { date -d "+$1 day" +%Y%m%d; }
printf '%s\r\n' BEGIN:VCALENDAR VERSION:2.0 'PRODID:-//Test//E2E//EN' BEGIN:VEVENT UID:walk@example.com \
  "DTSTART:$(day 1)T090000" 'SUMMARY:Walk' 'RRULE:FREQ=WEEKLY' END:VEVENT END:VCALENDAR >"$work/walk.ics"

# Events enough for the load to share its reads with the helper thread.
reg_reset
for id in $(seq 1 40); do add_event "$id" $((id % 20)) 36000 $((id % 20)) 0 0 "Event $id"; done

faulted() { grep -l 'Unhandled\|page fault\|starting debugger' "$@" 2>/dev/null; }
explain_failure() { local f; for f in "$work"/*.err; do faulted "$f" >/dev/null && head -40 "$f"; done; }

codes=
for ((round = 1; round <= rounds; round++)); do
  wine "$EXE" /import "$(winpath "$work/walk.ics")" >/dev/null 2>"$work/import.$round.err"
  code=$?
  [ "$code" -eq 0 ] || codes+=" import$round=$code"
  wine "$EXE" /s >/dev/null 2>"$work/start.$round.err" &
  program_pid=$!
  if probe idle "$FRAME" 20 >/dev/null; then
    probe post "$FRAME" "$WM_COMMAND" "$ID_APP_EXIT" 0 >/dev/null
  else
    codes+=" start$round=no-frame"
  fi
  if wait_for 10 not program_running; then
    wait "$program_pid"
    code=$?
    [ "$code" -eq 0 ] || codes+=" exit$round=$code"
  else
    codes+=" exit$round=hung"
    kill "$program_pid" 2>/dev/null
  fi
  program_pid=
  # Only the faulted rounds' output is kept, for the explanation.
  faulted "$work/import.$round.err" >/dev/null || rm -f "$work/import.$round.err"
  faulted "$work/start.$round.err" >/dev/null || rm -f "$work/start.$round.err"
done
check "$rounds imports and $rounds quiet starts ended by themselves with code 0:${codes:- all}" test -z "$codes"
check "no start or end faulted: $(ls "$work"/*.err 2>/dev/null | wc -l) did" test -z "$(ls "$work"/*.err 2>/dev/null)"
check "each import found the one it made before: one walk" test "$(titles | tr '|' '\n' | grep -c '^Walk$')" = 1
finish
