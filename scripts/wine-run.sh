#!/usr/bin/env bash
# Runs one Windows program under Wine for the test suite: in the prefix named by
# WINEPREFIX (prepared on first use), on a private Xvfb server so that no window reaches
# the user's desktop and no display is needed. Programs sharing a prefix run one at a time.
# Usage: scripts/wine-run.sh PROGRAM.exe [ARGS...]
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
: "${WINEPREFIX:?WINEPREFIX must name a prefix of the project}"
export WINEDEBUG=${WINEDEBUG:--all}
mkdir -p "$WINEPREFIX"

exec 9>"$WINEPREFIX.lock"
flock 9
"$here/wine-prefix.sh" "$WINEPREFIX"

displayfile=$(mktemp)
Xvfb -displayfd 3 -nolisten tcp -screen 0 1024x768x24 3>"$displayfile" >/dev/null 2>&1 &
xvfb=$!
cleanup() {
  wineserver -k 2>/dev/null || true
  kill "$xvfb" 2>/dev/null || true
  wait "$xvfb" 2>/dev/null || true
  rm -f "$displayfile"
}
trap cleanup EXIT
for _ in $(seq 100); do [ -s "$displayfile" ] && break; sleep 0.05; done
[ -s "$displayfile" ] || { echo "wine-run: Xvfb did not start" >&2; exit 1; }
export DISPLAY=:$(head -n1 "$displayfile")

status=0
wine "$@" || status=$?
exit $status
