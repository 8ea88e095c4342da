#!/usr/bin/env bash
# Fails when a C++ source file is not as clang-format (the repository's .clang-format) leaves it.
set -euo pipefail
cd "$(dirname "$0")/.."
command -v clang-format >/dev/null || { echo "check-format: clang-format is not installed"; exit 1; }
bad=()
while IFS= read -r file; do
  clang-format --dry-run --Werror "$file" >/dev/null 2>&1 || bad+=("$file")
done < <(git ls-files --cached --others --exclude-standard '*.h' '*.cpp')
if [ ${#bad[@]} -gt 0 ]; then
  printf 'check-format: not formatted: %s\n' "${bad[@]}"
  exit 1
fi
echo "check-format: every source file is formatted"
