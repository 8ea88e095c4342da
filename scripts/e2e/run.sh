#!/usr/bin/env bash
# Runs the end-to-end scenarios named (file names in this folder, .sh optional), or all of
# them, one after another, and sums up.
# Usage: scripts/e2e/run.sh [--routersim PATH] [--bin DIR] [--prefix DIR] [SCENARIO...]
#   The simulator and DIR default to this tree's native and windows builds.
set -uo pipefail
here=$(cd "$(dirname "$0")" && pwd)
root=$(cd "$here/../.." && pwd)
options=(--routersim "$root/build/native/routersim/tarnwick-routersim" --bin "$root/build/windows")
names=()
while [ $# -gt 0 ]; do
  case "$1" in
    --routersim | --bin | --prefix) options+=("$1" "$2"); shift 2 ;;
    -*) echo "run: unknown option $1" >&2; exit 2 ;;
    *) names+=("${1%.sh}"); shift ;;
  esac
done
if [ ${#names[@]} -eq 0 ]; then
  for file in "$here"/*.sh; do
    name=$(basename "$file" .sh)
    [ "$name" = lib ] || [ "$name" = run ] || names+=("$name")
  done
fi
for name in "${names[@]}"; do
  case "$name" in
    lib | run | */*) echo "run: $name is not a scenario" >&2; exit 2 ;;
  esac
  [ -f "$here/$name.sh" ] || { echo "run: no scenario $name in $here" >&2; exit 2; }
done

failed=()
start=$(date +%s)
for name in "${names[@]}"; do
  bash "$here/$name.sh" "${options[@]}" || failed+=("$name")
done
echo "run: ${#names[@]} scenario(s) in $(($(date +%s) - start)) s, ${#failed[@]} failed${failed[*]:+: ${failed[*]}}"
[ ${#failed[@]} -eq 0 ]
