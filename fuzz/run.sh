#!/usr/bin/env bash
# Runs each fuzzer for SECONDS (default 30) on a copy of its seed corpus.
#   fuzz/run.sh [SECONDS] [BUILD_DIR]
# New inputs found stay in the copy; a crash leaves its input in the
# current directory and fails the script.
set -euo pipefail
seconds=${1:-30}
build=${2:-build-fuzz}
here=$(cd "$(dirname "$0")" && pwd)
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
for name in number dialogue; do
  cp -r "$here/corpus/$name" "$work/$name"
  echo "== ${name}_fuzzer for ${seconds}s"
  "$build/fuzz/${name}_fuzzer" -max_total_time="$seconds" -timeout=10 \
    -rss_limit_mb=2048 -print_final_stats=1 "$work/$name" 2>&1 |
    grep -E '^(stat::number_of_executed_units|stat::peak_rss_mb|==|SUMMARY|Done)' || true
  test "${PIPESTATUS[0]}" -eq 0
done
