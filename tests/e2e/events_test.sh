#!/usr/bin/env bash
# Stored events at start-up: damaged and expired ones are deleted (one after
# the rolling window stays), and a reminder that is already due fires at
# once, opening its launch file once.
. "$(dirname "$0")/lib.sh"
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

marker="$work/launched.log"
make_launch_file "$work/launch.bat" "$marker"
launch=$(winpath "$work/launch.bat")

now_secs=$(( $(date +%s) - $(date -d 'today 00:00' +%s) ))
soon=$(( now_secs + 1800 ))  # half an hour from now, still today unless near midnight
[ "$soon" -lt 86400 ] || soon=86300

reg_reset
# The last start was yesterday: the clock is not behind it, so age counts.
reg_dword "$USER_KEY" LastRun $(( $(date +%s) - 86400 ))
add_event 1 0 "$soon" 0 1 60 "Due reminder" "$launch"  # lead of an hour: already due
add_event 2 0 36000 30 30 10 "Daily standup"           # good, recurring
add_event 3 -400 36000 -399 1 10 "Long ago"             # ended more than five months back
add_event 4 0 36000 0 1 10 "   "                        # blank title: damaged
add_event 5 400 36000 401 1 10 "Far ahead"              # after the rolling window: kept until it comes
add_event 6 0 36000 0 1 10 "No actions block"
wine reg delete "$SC\\6" /v priv /f >/dev/null 2>&1        # damaged

start_program /s
check "damaged and expired events are deleted at start" wait_for 10 events_are "1 2 5 "
check "the start is recorded" test "$(reg_value "$USER_KEY" LastRun | cut -d' ' -f1)" = REG_DWORD
wait_launches "$marker" 10
check "the due reminder opened its launch file once" launched_times "$marker" 1
check "the reminder opened the upcoming-events window" wait_for 10 is 1 probe count "$UPCOMING"

# The timer keeps running; the reminder does not fire again.
probe send "$FRAME" "$WM_TIMER" "$kReminderTimerId" 0 >/dev/null  # a check now, answered once done
wait_for 10 launches_done "$work"
check "each reminder fires once" launched_times "$marker" 1

finish
