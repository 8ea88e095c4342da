#!/usr/bin/env bash
# Builds the sanitize preset's fuzz targets and runs each, or the named ones, for SECONDS
# (default 60), growing a corpus under build/; prints the executions of each at the end.
# Usage: scripts/fuzz.sh [SECONDS] [TARGET...]     targets by name: text_helpers, login, ...
set -euo pipefail
cd "$(dirname "$0")/.."

seconds=60
if [ $# -gt 0 ] && [[ $1 =~ ^[0-9]+$ ]]; then
  seconds=$1
  shift
fi
targets=("$@")
if [ ${#targets[@]} -eq 0 ]; then
  for seeds in fuzz/corpus/*/; do targets+=("$(basename "$seeds")"); done
fi

build=build/sanitize/fuzz
cmake --preset sanitize >/dev/null
cmake --build --preset sanitize --target fuzz >/dev/null
for t in "${targets[@]}"; do
  [ -x "$build/fuzz_$t" ] || { echo "fuzz.sh: no fuzz target $t" >&2; exit 2; }
done

status=0
summary=()
for t in "${targets[@]}"; do
  corpus=$build/corpus/$t
  log=$build/$t.log
  mkdir -p "$corpus" "$build/artifacts"
  echo "=== $t: ${seconds}s (log: $log)"
  result=ok
  # One target at a time, one process: the machine's cores are shared.
  if ! "$build/fuzz_$t" -max_total_time="$seconds" -timeout=10 -print_final_stats=1 \
      -artifact_prefix="$build/artifacts/$t-" "$corpus" "fuzz/corpus/$t" >"$log" 2>&1; then
    result="FAILED: $(grep -m1 -E 'invariant failed|ERROR:' "$log" || echo "see $log")"
    status=1
  fi
  # The final statistics, else the last progress line (a crash ends the run early).
  runs=$(sed -n 's/^stat::number_of_executed_units: *//p' "$log" | tail -1)
  [ -n "$runs" ] || runs=$(grep -oE '^#[0-9]+' "$log" | tail -1 | tr -d '#')
  summary+=("$(printf '%-16s %12s %8s  %s' "$t" "${runs:-0}" "$(find "$corpus" -type f | wc -l)" "$result")")
done

echo
printf '%-16s %12s %8s  %s\n' target executions corpus result
printf '%s\n' "${summary[@]}"
exit $status
