#!/usr/bin/env bash
# End-to-end run of the Route Table, SNMP and DSL Monitoring pages: tarnwick.exe under Wine
# against tarnwick-routersim on loopback, worked through tarnwick-driver.exe. As root (where
# unshare and ip exist) everything runs in a network namespace holding only loopback.
# Usage: scripts/wine-e2e-pages.sh --routersim PATH --bin DIR [--prefix DIR]
#   DIR holds tarnwick.exe and tarnwick-driver.exe; the prefix defaults to DIR/e2e-wineprefix.
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
routersim="" bin="" prefix=""
while [ $# -gt 0 ]; do
  case "$1" in
    --routersim) routersim=$2; shift 2 ;;
    --bin) bin=$2; shift 2 ;;
    --prefix) prefix=$2; shift 2 ;;
    *) echo "wine-e2e-pages: unknown argument $1" >&2; exit 2 ;;
  esac
done
[ -x "$routersim" ] || { echo "wine-e2e-pages: no simulator at '$routersim' (build the native preset first)" >&2; exit 1; }
[ -f "$bin/tarnwick.exe" ] && [ -f "$bin/tarnwick-driver.exe" ] ||
  { echo "wine-e2e-pages: tarnwick.exe or tarnwick-driver.exe missing in '$bin'" >&2; exit 1; }
routersim=$(cd "$(dirname "$routersim")" && pwd)/$(basename "$routersim")
bin=$(cd "$bin" && pwd)
prefix=${prefix:-$bin/e2e-wineprefix}

if [ -z "${TARNWICK_E2E_ISOLATED:-}" ] && [ "$(id -u)" -eq 0 ] && command -v unshare >/dev/null &&
  command -v ip >/dev/null && unshare -n true 2>/dev/null; then
  export TARNWICK_E2E_ISOLATED=1
  exec unshare -n bash -c 'ip link set lo up && exec "$0" "$@"' "$0" \
    --routersim "$routersim" --bin "$bin" --prefix "$prefix"
fi
[ -n "${TARNWICK_E2E_ISOLATED:-}" ] && echo "wine-e2e-pages: in a loopback-only network namespace" ||
  echo "wine-e2e-pages: no network namespace (not root, or unshare/ip missing); loopback addresses only"

export WINEPREFIX=$prefix WINEDEBUG=-all
work=$(mktemp -d)
pids=()
cleanup() {
  if [ "${passed:-}" != yes ] && [ -s "${transcript:-/nonexistent}" ]; then
    echo "wine-e2e-pages: windows and the end of the transcript, for diagnosis:"
    timeout 20 wine "$bin/tarnwick-driver.exe" timeout 2000 dump 2>&1 | tr -d '\r' || true
    tail -n 30 "$transcript"
  fi
  wineserver -k 2>/dev/null || true
  for p in "${pids[@]}"; do kill "$p" 2>/dev/null || true; done
  wait 2>/dev/null || true
  rm -rf "$work"
}
trap cleanup EXIT

exec 9>"$prefix.lock"
flock 9
"$here/wine-prefix.sh" "$prefix"

Xvfb -displayfd 3 -nolisten tcp -screen 0 1024x768x24 3>"$work/display" >/dev/null 2>&1 &
pids+=($!)
for _ in $(seq 100); do [ -s "$work/display" ] && break; sleep 0.05; done
export DISPLAY=:$(head -n1 "$work/display")

transcript=$work/transcript.txt
"$routersim" --listen 127.0.0.1 --port 0 --password admin --transcript "$transcript" \
  >"$work/sim.out" 2>&1 &
pids+=($!)
for _ in $(seq 100); do grep -q "listening on" "$work/sim.out" && break; sleep 0.05; done
address=$(sed -n 's/.*listening on \([0-9.]*:[0-9]*\).*/\1/p' "$work/sim.out")
[ -n "$address" ] || { echo "wine-e2e-pages: simulator did not start:" >&2; cat "$work/sim.out" >&2; exit 1; }

failures=0
check() {  # what expected actual
  if [ "$2" == "$3" ]; then
    echo "  ok: $1"
  else
    echo "  FAIL: $1: expected [$2], got [$3]"
    failures=$((failures + 1))
  fi
}
driver() { wine "$bin/tarnwick-driver.exe" timeout 15000 "$@" | tr -d '\r'; }
# Received lines as the transcript spells them ("\r\n" written out), from line FROM on.
received() { awk -F'\t' -v from="${1:-1}" 'NR >= from {print $2}' "$transcript"; }
mark() { echo $(($(wc -l <"$transcript") + 1)); }
# Waits until LINE was received at or after line FROM.
wait_line() {  # from line
  for _ in $(seq 200); do
    received "$1" | grep -qxF -- "$2" && return 0
    sleep 0.05
  done
  echo "  (timed out waiting for [$2])"
  return 1
}
lines() { printf '%s\n' "$@"; }
count_line() { received "$1" | grep -cxF -- "$2" || true; }
wait_count() {  # from line count
  for _ in $(seq 200); do [ "$(count_line "$1" "$2")" -ge "$3" ] && return 0; sleep 0.05; done
  echo "  (timed out waiting for $3 of [$2])"
  return 1
}
# What came after the last log-in.
after_login() {
  received | awk '/^home \\r\\n$/ {out=""; seen=1; next} seen {out = out $0 "\n"} END {printf "%s", out}'
}

start_time=$(date +%s)
(cd "$work" && exec wine "$bin/tarnwick.exe") &
program=$!
driver wait-window "Log In" set-text 1019 "$address" set-text 1020 admin press 1 \
  wait-window Tarnwick >/dev/null

echo "Route Table: add and remove a route"
from=$(mark)
driver wait-window Tarnwick select-tab 2 wait-page 2 >/dev/null
# Opening the page lists the routes once on the old connection, then again after a new log-in.
wait_count "$from" 'ip route\r\n' 2 || true
check "the page lists the routes, then again on a fresh log-in" \
  "$(lines 'ip route\r\n' 'home \r\n' 'ip route\r\n')" \
  "$(received "$from" | grep -xF -e 'ip route\r\n' -e 'home \r\n')"
out=$(driver wait-window Tarnwick wait-page 2 read-text 1151 read-text 1154 read-text 1159 \
  read-text 1162 read-text 1031 read-text 1032)
check "an empty table offers a default route, cost 1, time-out 0" "$(lines 0 0 0 0 1 0)" "$out"
from=$(mark)
out=$(driver wait-window Tarnwick wait-page 2 set-text 104 e2e \
  set-text 1151 10 set-text 1152 9 set-text 1153 8 set-text 1154 0 \
  set-text 1155 127 set-text 1156 0 set-text 1157 0 set-text 1158 9 \
  set-text 1159 255 set-text 1160 255 set-text 1161 255 set-text 1162 0 \
  press 1 wait-row 1025 e2e)
check "Add shows the route in the list" "$(printf 'e2e\t10.9.8.0\t127.0.0.9\tff:ff:ff:0')" "$out"
check "the add command, then the listing" \
  "$(lines 'ip route add e2e 10.9.8.0 127.0.0.9 ff:ff:ff:0 1 0 \r\n' 'ip route\r\n')" "$(received "$from")"
from=$(mark)
driver wait-window Tarnwick wait-page 2 select-row 1025 e2e press 2 wait-no-row 1025 e2e >/dev/null
wait_line "$from" 'ip route delete e2e\r\n' || true
check "Remove sends the delete" 'ip route delete e2e\r\n' "$(received "$from" | grep -v '^ip route\\r\\n$')"

echo "SNMP: add and remove a community"
from=$(mark)
out=$(driver wait-window Tarnwick select-tab 3 wait-page 3 wait-row 1025 public read-rows 1025 | sed 1d)
check "the page lists the access list" "$(printf 'Write\tadmin\t\nRead\tpublic\t')" "$out"
wait_line "$from" 'snmp access list\r\n' || true
check "after a fresh log-in" 'snmp access list\r\n' "$(after_login)"
from=$(mark)
out=$(driver wait-window Tarnwick wait-page 3 set-text 1020 e2ecomm press 1 wait-row 1025 e2ecomm)
check "Add shows the community" "$(printf 'Write\te2ecomm\t')" "$out"
check "the add command after a fresh log-in, then the listing" \
  "$(lines 'ip snmp access write e2ecomm\r\n' 'snmp access list\r\n')" "$(after_login)"
from=$(mark)
out=$(driver wait-window Tarnwick wait-page 3 select-row 1025 admin press 2 read-message \
  read-caption press-message-button | sed 1d)
check "the log-in community cannot be removed" \
  "$(printf 'You are trying to remove the password with which you have logged in with.\nThis action is not allowed.\nERROR')" \
  "$out"
check "and nothing is sent for it" "" "$(received "$from" | grep -v -e '^home \\r\\n$' -e '^admin\\r\\n$' || true)"
from=$(mark)
driver wait-window Tarnwick wait-page 3 select-row 1025 e2ecomm press 2 wait-no-row 1025 e2ecomm >/dev/null
wait_line "$from" 'snmp access list\r\n' || true
check "Remove sends the delete with an empty address, then lists" \
  "$(lines 'ip snmp access delete e2ecomm \r\n' 'snmp access list\r\n')" "$(after_login)"

echo "DSL Monitoring: polling while the page is shown"
listing=('bsp channel\r\n' 'bsp mode\r\n' 'bsp line\r\n' 'bun list channels\r\n')
from=$(mark)
out=$(driver wait-window Tarnwick select-tab 4 wait-page 4 wait-text 1084 Alive read-text 1084)
check "the line is up" "Alive" "$out"
wait_line "$from" 'bun list channels\r\n' || true
check "a fresh log-in, then the four listings" "$(lines "${listing[@]}")" "$(after_login | sed -n 1,4p)"
sleep 4
# Opening the page reads the mode once on the old connection; from the log-in on, only
# whole refreshes.
polled=$(after_login)
refreshes=$(grep -cxF 'bsp channel\r\n' <<<"$polled" || true)
check "the page refreshed more than once in 4 s" yes "$([ "$refreshes" -ge 2 ] && echo yes || echo "no: $refreshes")"
check "each refresh is the four commands in order" \
  "$(for _ in $(seq "$refreshes"); do lines "${listing[@]}"; done)" "$polled"
driver wait-window Tarnwick select-tab 0 wait-page 0 >/dev/null
from=$(mark)
sleep 3.5
check "leaving the page stops the polling" "" "$(received "$from")"

echo "Close after the changes"
from=$(mark)
driver wait-window Tarnwick press 1 >/dev/null
ended=no
for _ in $(seq 200); do kill -0 "$program" 2>/dev/null || { ended=yes; break; }; sleep 0.1; done
check "Close ends the program" yes $ended
check "it saves on a fresh log-in" 'config save\r\n' "$(after_login)"
check "a log-in came first" yes "$(received "$from" | grep -qxF 'home \r\n' && echo yes || echo no)"

echo "wine-e2e-pages: $failures failure(s) in $(($(date +%s) - start_time)) s"
[ "$failures" -eq 0 ] && passed=yes
