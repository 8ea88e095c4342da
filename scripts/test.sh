#!/usr/bin/env bash
# Runs the whole test suite: native, native under ASan+UBSan, and the Windows build
# (unit tests and the end-to-end runs of tarnwick.exe) under Wine.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/deps.sh native windows display tests

jobs=${JOBS:-2}
for preset in native sanitize windows; do
  echo "=== $preset ==="
  cmake --preset "$preset" >/dev/null
  cmake --build --preset "$preset" -j "$jobs"
  ctest --preset "$preset" -j "$jobs"
done
