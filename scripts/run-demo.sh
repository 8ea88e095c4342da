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

groups=(native windows)
[ -z "${DISPLAY:-}" ] && groups+=(display)
scripts/deps.sh "${groups[@]}"

cmake --preset native >/dev/null
cmake --build --preset native --target tarnwick-routersim
cmake --preset windows >/dev/null
cmake --build --preset windows --target tarnwick

. scripts/e2e/lib.sh
routersim=$root/build/native/routersim/tarnwick-routersim
begin_work
use_prefix "$root/build/wineprefix"
if [ -z "${DISPLAY:-}" ]; then
  start_xvfb
  echo "No display: running on Xvfb $DISPLAY (look with: DISPLAY=$DISPLAY import -window root shot.png)"
fi
# A router that runs PPPoE already, as one from an ISP would.
start_routersim --port "$port" --preset "${TARNWICK_DEMO_PRESET:-pppoe}"
# The simulator's notes (the listener moving with the LAN address) belong on this terminal.
tail -n +2 -f "$work/sim.out" >&2 &
pids+=($!)
offer_address

echo
echo "Router simulator on $address, password: $password"
echo "Opening tarnwick.exe; the Log In dialog offers the simulator's address."
wine explorer /desktop=tarnwick,1024x768 build/windows/tarnwick.exe
