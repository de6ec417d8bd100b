#!/usr/bin/env bash
# Long fuzz runs by hand: builds the fuzz tree and runs each target in turn,
# at the lowest priority, for a number of executions (default ten million),
# keeping what each finds in build/fuzz/long/<target>/corpus for the next run.
#   scripts/fuzz-long.sh [executions] [target...]
# Each target's log is build/fuzz/long/<target>.log; its last lines give the
# executions, the time and the coverage reached (cov: edges, ft: features).
# A finding stops that target and leaves its input in build/fuzz/long/<target>/.
set -uo pipefail
ORV_ROOT=$(cd "$(dirname "$0")/.." && pwd)
runs=${1:-10000000}
shift || true
targets=("$@")
[ ${#targets[@]} -eq 0 ] && targets=(event_key exclusions preferences app_values occurrence month_layout recent_files ics_reader)

"$ORV_ROOT/scripts/install-deps.sh" || exit 1
tree="$ORV_ROOT/build/fuzz"
cmake -S "$ORV_ROOT" -B "$tree" -DCMAKE_C_COMPILER=clang -DCMAKE_CXX_COMPILER=clang++ -DORV_FUZZ=ON \
  -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null || exit 1
nice -n 19 cmake --build "$tree" -j2 >/dev/null || { echo "fuzz build failed"; exit 1; }

status=0
for t in "${targets[@]}"; do
  long="$tree/long/$t"
  mkdir -p "$long/corpus"
  start=$(date +%s)
  (cd "$long" && nice -n 19 "$tree/tests/fuzz/fuzz_$t" -max_len=4096 -timeout=20 -rss_limit_mb=2048 \
     -print_final_stats=1 -artifact_prefix="$long/" -runs="$runs" "$long/corpus" \
     "$ORV_ROOT/tests/fuzz/corpus/$t") >"$tree/long/$t.log" 2>&1
  rc=$?
  line=$(grep -E '^#[0-9]+[[:space:]]+(DONE|NEW|REDUCE|pulse)' "$tree/long/$t.log" | tail -1)
  echo "$t: exit $rc, $(( $(date +%s) - start )) s, ${line}"
  [ $rc -ne 0 ] && status=1
done
exit $status
