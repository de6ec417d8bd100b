#!/usr/bin/env bash
# Stored events at start-up: damaged and expired ones are deleted (one after
# the rolling window stays), and a reminder that is already due fires at
# once, opening its launch file once.
. "$(dirname "$0")/lib.sh"
SC="$USER_KEY\\sc"
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT


# The launch file: a batch file that appends a line to a log each time it runs.
marker="$work/launched.log"
printf '@echo off\r\necho launched>>"%s"\r\n' "Z:${marker//\//\\}" >"$work/launch.bat"
launch="Z:${work//\//\\}\\launch.bat"

now_secs=$(( $(date +%s) - $(date -d 'today 00:00' +%s) ))
soon=$(( now_secs + 1800 ))  # half an hour from now, still today unless near midnight
[ "$soon" -lt 86400 ] || soon=86300

reg_reset
# The last start was yesterday: the clock is not behind it, so age counts.
wine reg add "$USER_KEY" /v LastRun /t REG_DWORD /d $(( $(date +%s) - 86400 )) /f >/dev/null 2>&1
add_event 1 0 "$soon" 0 1 60 "Due reminder" "$launch"  # lead of an hour: already due
add_event 2 0 36000 30 30 10 "Daily standup"           # good, recurring
add_event 3 -400 36000 -399 1 10 "Long ago"             # ended more than five months back
add_event 4 0 36000 0 1 10 "   "                        # blank title: damaged
add_event 5 400 36000 401 1 10 "Far ahead"              # after the rolling window: kept until it comes
add_event 6 0 36000 0 1 10 "No actions block"
wine reg delete "$SC\\6" /v priv /f >/dev/null 2>&1        # damaged

start_program /s
sleep 3
check "damaged and expired events are deleted at start" \
  test "$(reg_subkeys "$SC" | sort | tr '\n' ' ')" = "1 2 5 "
check "the start is recorded" test "$(reg_value "$USER_KEY" LastRun | cut -d' ' -f1)" = REG_DWORD
check "the due reminder opened its launch file once" test "$(grep -c launched "$marker" 2>/dev/null)" = "1"
check "the reminder opened the upcoming-events window" test "$(probe count "$UPCOMING")" = "1"

# The timer keeps running; the reminder does not fire again.
probe send "$FRAME" 0x113 55 0 >/dev/null  # WM_TIMER 55: a check now
sleep 2
check "each reminder fires once" test "$(grep -c launched "$marker" 2>/dev/null)" = "1"

finish
