#!/usr/bin/env bash
# Screenshots of tarnwick.exe under Wine for the README: docs/screenshots/*.png.
# Usage: scripts/screenshots.sh [--bin DIR] [--routersim PATH]
#   DIR holds tarnwick.exe and tarnwick-driver.exe (default build/windows); the simulator
#   defaults to the native build's. Every page after General is shot, as NAME.png from its
#   tab label ("Route Table": route-table.png); TARNWICK_SHOT_PAGES="NAME..." picks some.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
bin=$root/build/windows
routersim=$root/build/native/routersim/tarnwick-routersim
while [ $# -gt 0 ]; do
  case "$1" in
    --bin) bin=$2; shift 2 ;;
    --routersim) routersim=$2; shift 2 ;;
    *) echo "screenshots: unknown argument $1" >&2; exit 2 ;;
  esac
done
bin=$(cd "$bin" && pwd)
out=$root/docs/screenshots
mkdir -p "$out"

export WINEPREFIX=$bin/shots-wineprefix WINEDEBUG=-all
work=$(mktemp -d)
pids=()
cleanup() {
  wineserver -k 2>/dev/null || true
  for p in "${pids[@]}"; do kill "$p" 2>/dev/null || true; done
  wait 2>/dev/null || true
  rm -rf "$work"
}
trap cleanup EXIT
"$root/scripts/wine-prefix.sh" "$WINEPREFIX"

Xvfb -displayfd 3 -nolisten tcp -screen 0 1024x768x24 3>"$work/display" >/dev/null 2>&1 &
pids+=($!)
for _ in $(seq 100); do [ -s "$work/display" ] && break; sleep 0.05; done
export DISPLAY=:$(head -n1 "$work/display")

"$routersim" --listen 127.0.0.1 --port 0 --password admin --firmware 3.12.0 >"$work/sim.out" 2>&1 &
pids+=($!)
for _ in $(seq 100); do grep -q "listening on" "$work/sim.out" && break; sleep 0.05; done
address=$(sed -n 's/.*listening on \([0-9.]*:[0-9]*\).*/\1/p' "$work/sim.out")
[ -n "$address" ] || { echo "screenshots: simulator did not start" >&2; exit 1; }
wine reg add 'HKCU\software\Quorvane\Tarnwick' /v IPAddress /t REG_SZ /d "$address" /f >/dev/null 2>&1

driver() { wine "$bin/tarnwick-driver.exe" desktop tarnwick timeout 30000 "$@" | tr -d "\r"; }
# The current window of the driver commands given, with a margin of the desktop around it.
shot() {  # name driver-commands...
  local name=$1
  shift
  local rect
  rect=$(driver "$@" screenshot-ready read-rect | tail -n1)
  read -r x y w h <<<"$rect"
  local m=12
  import -window root "$work/full.png"
  convert "$work/full.png" -crop "$((w + 2 * m))x$((h + 2 * m))+$((x > m ? x - m : 0))+$((y > m ? y - m : 0))" \
    +repage "$out/$name.png"
  echo "screenshots: docs/screenshots/$name.png"
}

(cd "$work" && exec wine explorer /desktop=tarnwick,1024x768 "$bin/tarnwick.exe") &
pids+=($!)
driver wait-window "Log In" >/dev/null
# A refused connection: the Possible Errors dialog.
driver wait-window "Log In" set-text 1019 127.0.0.1:1 set-text 1020 admin press 1 >/dev/null
shot possible-errors wait-window "Possible Errors"
driver wait-window "Possible Errors" press 1 wait-gone "Possible Errors" >/dev/null
driver wait-window "Log In" set-text 1019 "$address" set-text 1020 admin >/dev/null
shot login wait-window "Log In"
driver wait-window "Log In" press 1 >/dev/null
shot general wait-window Tarnwick
driver wait-window Tarnwick syscommand 0x10 >/dev/null
shot about wait-window "About Tarnwick"
driver wait-window "About Tarnwick" press 1 wait-gone "About Tarnwick" >/dev/null
# A page reads the router when it is shown.
mapfile -t labels < <(driver wait-window Tarnwick read-tabs | tail -n +2)
for label in "${labels[@]}"; do
  name=$(sed -E 's/[^A-Za-z0-9]+/-/g' <<<"$label" | tr 'A-Z' 'a-z')
  [ -z "${TARNWICK_SHOT_PAGES:-}" ] || [[ " $TARNWICK_SHOT_PAGES " == *" $name "* ]] || continue
  driver wait-window Tarnwick select-tab "$label" sleep 1500 >/dev/null
  shot "$name" wait-window Tarnwick
done
driver wait-window Tarnwick press 1 >/dev/null
