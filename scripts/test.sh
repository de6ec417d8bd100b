#!/usr/bin/env bash
# Installs what is missing, builds every tree and runs every test:
# native, native with sanitizers, then the Windows build under Wine on Xvfb.
set -uo pipefail
ORV_ROOT=$(cd "$(dirname "$0")/.." && pwd)
cd "$ORV_ROOT"

# shellcheck source=win-tree.sh
. "$ORV_ROOT/scripts/win-tree.sh"

"$ORV_ROOT/scripts/install-deps.sh" || { echo "dependency installation failed"; echo "0 passed, 1 failed"; exit 1; }

jobs=$(nproc 2>/dev/null || echo 2)
passed=0
failed=0
logdir="$ORV_ROOT/build/logs"
mkdir -p "$logdir"

build_tree() {  # name, cmake args...
  local name=$1; shift
  echo "== build $name"
  if ! cmake -S "$ORV_ROOT" -B "$ORV_ROOT/build/$name" "$@" >"$logdir/$name-configure.log" 2>&1; then
    cat "$logdir/$name-configure.log"; return 1
  fi
  if ! cmake --build "$ORV_ROOT/build/$name" -j"$jobs" >"$logdir/$name-build.log" 2>&1; then
    grep -E 'error|warning' "$logdir/$name-build.log" | head -50; return 1
  fi
}

run_ctest() {  # name, [wrapper...]
  local name=$1; shift
  local log="$logdir/$name-ctest.log"
  echo "== test $name"
  "$@" >"$log" 2>&1
  local total fails
  total=$(sed -n 's/.*tests failed out of \([0-9]*\).*/\1/p' "$log" | tail -1)
  fails=$(sed -n 's/.*, \([0-9]*\) tests failed out of.*/\1/p' "$log" | tail -1)
  if [ -z "$total" ]; then
    tail -40 "$log"; echo "ctest for $name did not report"; failed=$((failed + 1)); return
  fi
  grep -E 'tests passed|\*\*\*Failed|Failed|Timeout|Not Run' "$log" | tail -30
  [ "$fails" -gt 0 ] && grep -B2 -A40 -E '\[  FAILED  \]' "$log" | head -200
  # An end-to-end script names the checks that failed, and may say why.
  [ "$fails" -gt 0 ] && grep -E '^(FAIL - |  \| )' "$log" | head -80
  passed=$((passed + total - fails))
  failed=$((failed + fails))
}

native_ctest() { ctest --test-dir "$ORV_ROOT/build/$1" --output-on-failure --timeout 600; }

if build_tree native -DCMAKE_BUILD_TYPE=RelWithDebInfo; then run_ctest native native_ctest native; else failed=$((failed + 1)); fi
if build_tree asan -DCMAKE_BUILD_TYPE=Debug -DORV_SANITIZE=ON; then
  ASAN_OPTIONS=detect_leaks=1 UBSAN_OPTIONS=print_stacktrace=1 run_ctest asan native_ctest asan
else failed=$((failed + 1)); fi

# Every fuzz target for a fixed number of executions from its seeds.
if build_tree fuzz -DCMAKE_C_COMPILER=clang -DCMAKE_CXX_COMPILER=clang++ -DORV_FUZZ=ON -DCMAKE_BUILD_TYPE=RelWithDebInfo; then
  run_ctest fuzz native_ctest fuzz
else failed=$((failed + 1)); fi

if build_tree win "${ORV_WIN_CMAKE_ARGS[@]}"; then
  run_ctest win xvfb-run -a -s "-screen 0 1024x768x24" "$ORV_ROOT/scripts/wine-ctest.sh"
else failed=$((failed + 1)); fi

echo "$passed passed, $failed failed"
[ "$failed" -eq 0 ]
