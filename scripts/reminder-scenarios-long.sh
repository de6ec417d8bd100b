#!/usr/bin/env bash
# The reminder scenarios for many years instead of one, in each zone they
# run in, at the lowest priority: scripts/reminder-scenarios-long.sh [years]
# (default 100). Each year prints its counts; the last line of each zone
# says whether every rule held.
set -uo pipefail
ORV_ROOT=$(cd "$(dirname "$0")/.." && pwd)
years=${1:-100}
"$ORV_ROOT/scripts/install-deps.sh" || exit 1
tree="$ORV_ROOT/build/native"
cmake -S "$ORV_ROOT" -B "$tree" -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null || exit 1
nice -n 19 cmake --build "$tree" -j2 --target portable_tests >/dev/null || { echo "build failed"; exit 1; }
status=0
for zone in Europe/Berlin America/New_York America/Santiago Australia/Lord_Howe; do
  echo "== $zone"
  ORV_LONG_SCENARIOS=$years TZ=$zone nice -n 19 "$tree/tests/portable_tests" \
    --gtest_filter='ReminderScenarioTest.*' --gtest_brief=1 || status=1
done
exit $status
