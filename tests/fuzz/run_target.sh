#!/usr/bin/env bash
# run_target.sh TARGET SEEDS WORK [libFuzzer options...]
# Runs a fuzz target over its seeds; what it finds goes to a fresh WORK
# directory, never into the seeds. A finding leaves its input in WORK.
set -euo pipefail
target=$(realpath "$1") seeds=$(realpath "$2") work=$(realpath -m "$3")
shift 3
rm -rf "$work"
mkdir -p "$work/corpus"
cd "$work"
exec nice -n 19 "$target" -max_len=4096 -timeout=20 -rss_limit_mb=1024 -print_final_stats=1 \
  -artifact_prefix="$work/" "$@" "$work/corpus" "$seeds"
