#!/usr/bin/env bash
# Runs Tarnwick against the router simulator: installs what is missing (Debian), builds
# the simulator natively and tarnwick.exe for Windows, starts tarnwick-routersim on
# 127.0.0.1 and opens tarnwick.exe under Wine, in a Wine prefix of the project's own
# (build/wineprefix) whose remembered router address is the simulator's.
# Usage: scripts/run-demo.sh [PORT]
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"
port=${1:-2323}
password=admin

groups=(native windows)
[ -z "${DISPLAY:-}" ] && groups+=(display)
scripts/deps.sh "${groups[@]}"

cmake --preset native >/dev/null
cmake --build --preset native --target tarnwick-routersim
cmake --preset windows >/dev/null
cmake --build --preset windows --target tarnwick

export WINEPREFIX=$root/build/wineprefix WINEDEBUG=-all
scripts/wine-prefix.sh "$WINEPREFIX"

pids=()
cleanup() {
  for p in "${pids[@]}"; do kill "$p" 2>/dev/null || true; done
  wait 2>/dev/null || true
}
trap cleanup EXIT

if [ -z "${DISPLAY:-}" ]; then
  display=$(mktemp)
  Xvfb -displayfd 3 -nolisten tcp -screen 0 1024x768x24 3>"$display" >/dev/null 2>&1 &
  pids+=($!)
  for _ in $(seq 100); do [ -s "$display" ] && break; sleep 0.05; done
  export DISPLAY=:$(head -n1 "$display")
  echo "No display: running on Xvfb $DISPLAY (look with: DISPLAY=$DISPLAY import -window root shot.png)"
fi

build/native/routersim/tarnwick-routersim --listen 127.0.0.1 --port "$port" --password "$password" &
pids+=($!)
sleep 0.5
kill -0 "${pids[-1]}" 2>/dev/null || { echo "run-demo: the simulator did not start (port $port taken?)" >&2; exit 1; }

wine reg add 'HKCU\software\Quorvane\Tarnwick' /v IPAddress /t REG_SZ /d "127.0.0.1:$port" /f \
  >/dev/null 2>&1
echo
echo "Router simulator on 127.0.0.1:$port, password: $password"
echo "Opening tarnwick.exe; the Log In dialog offers the simulator's address."
wine explorer /desktop=tarnwick,1024x768 build/windows/tarnwick.exe
