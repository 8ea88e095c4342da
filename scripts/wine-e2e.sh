#!/usr/bin/env bash
# End-to-end runs of tarnwick.exe under Wine against tarnwick-routersim on loopback,
# worked through tarnwick-driver.exe. As root (where unshare and ip exist) everything runs
# in a network namespace holding only loopback, so nothing the program dials can leave
# the machine.
# Usage: scripts/wine-e2e.sh --routersim PATH --bin DIR [--prefix DIR]
#   DIR holds tarnwick.exe and tarnwick-driver.exe; the prefix defaults to DIR/e2e-wineprefix.
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
routersim="" bin="" prefix=""
while [ $# -gt 0 ]; do
  case "$1" in
    --routersim) routersim=$2; shift 2 ;;
    --bin) bin=$2; shift 2 ;;
    --prefix) prefix=$2; shift 2 ;;
    *) echo "wine-e2e: unknown argument $1" >&2; exit 2 ;;
  esac
done
[ -x "$routersim" ] || { echo "wine-e2e: no simulator at '$routersim' (build the native preset first)" >&2; exit 1; }
[ -f "$bin/tarnwick.exe" ] && [ -f "$bin/tarnwick-driver.exe" ] ||
  { echo "wine-e2e: tarnwick.exe or tarnwick-driver.exe missing in '$bin'" >&2; exit 1; }
routersim=$(cd "$(dirname "$routersim")" && pwd)/$(basename "$routersim")
bin=$(cd "$bin" && pwd)
prefix=${prefix:-$bin/e2e-wineprefix}

if [ -z "${TARNWICK_E2E_ISOLATED:-}" ] && [ "$(id -u)" -eq 0 ] && command -v unshare >/dev/null &&
  command -v ip >/dev/null && unshare -n true 2>/dev/null; then
  export TARNWICK_E2E_ISOLATED=1
  exec unshare -n bash -c 'ip link set lo up && exec "$0" "$@"' "$0" \
    --routersim "$routersim" --bin "$bin" --prefix "$prefix"
fi
[ -n "${TARNWICK_E2E_ISOLATED:-}" ] && echo "wine-e2e: in a loopback-only network namespace" ||
  echo "wine-e2e: no network namespace (not root, or unshare/ip missing); loopback addresses only"

export WINEPREFIX=$prefix WINEDEBUG=-all
work=$(mktemp -d)
pids=()
cleanup() {
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

firmware=7.42.1-e2e
transcript=$work/transcript.txt
"$routersim" --listen 127.0.0.1 --port 0 --password admin --firmware "$firmware" \
  --transcript "$transcript" >"$work/sim.out" 2>&1 &
pids+=($!)
for _ in $(seq 100); do grep -q "listening on" "$work/sim.out" && break; sleep 0.05; done
address=$(sed -n 's/.*listening on \([0-9.]*:[0-9]*\).*/\1/p' "$work/sim.out")
[ -n "$address" ] || { echo "wine-e2e: simulator did not start:" >&2; cat "$work/sim.out" >&2; exit 1; }

failures=0
check() {  # what expected actual
  if [ "$2" == "$3" ]; then
    echo "  ok: $1"
  else
    echo "  FAIL: $1: expected [$2], got [$3]"
    failures=$((failures + 1))
  fi
}
driver() { wine "$bin/tarnwick-driver.exe" timeout 30000 "$@" | tr -d '\r'; }
# Lines received since the last log-in, as the transcript spells them.
after_login() { awk -F'\t' '{print $2}' "$transcript" | awk '/^home \\r\\n$/ {n=NR; out=""; next} n {out = out $0 "\n"} END {printf "%s", out}'; }
start_program() {
  (cd "$work" && exec wine "$bin/tarnwick.exe") &
  program=$!
}
wait_program_end() {  # seconds
  for _ in $(seq $(($1 * 10))); do kill -0 "$program" 2>/dev/null || { wait "$program"; return 0; }; sleep 0.1; done
  return 1
}

start_time=$(date +%s)
echo "run 1: wrong password, right password, About, Close"
start_program
out=$(driver wait-window "Log In" set-text 1019 "$address" set-text 1020 wrong press 1 \
  read-message read-caption press-message-button \
  wait-window "Log In" read-text 1019 read-text 1020)
mapfile -t lines <<<"$out"
check "wrong password message" "Unable to receive message from modem for login via Telnet" "${lines[0]:-}"
check "its caption" "Error" "${lines[1]:-}"
check "Log In stays with the typed address" "$address" "${lines[2]:-}"
check "and the typed password" "wrong" "${lines[3]:-}"

out=$(driver wait-window "Log In" set-text 1020 admin press 1 wait-window Tarnwick read-text 1 \
  read-enabled 2 syscommand 0x10 wait-window "About Tarnwick" read-text 1191 read-enabled 1096 \
  press 1 wait-gone "About Tarnwick")
mapfile -t lines <<<"$out"
check "the sheet opens with Close" "Close" "${lines[0]:-}"
check "Cancel disabled" "0" "${lines[1]:-}"
check "About shows the firmware" "$firmware" "${lines[2]:-}"
check "Update disabled" "0" "${lines[3]:-}"
check "About asked once on the current connection" 'version\r\n' "$(after_login)"
: >"$transcript"
driver wait-window Tarnwick press 1 >/dev/null
if wait_program_end 20; then check "Close ends the program" yes yes; else check "Close ends the program" yes no; fi
check "Close without a change sends nothing" "" "$(cat "$transcript")"

echo "run 2: log in, Close at once"
: >"$transcript"
start_program
driver wait-window "Log In" set-text 1019 "$address" set-text 1020 admin press 1 \
  wait-window Tarnwick press 1 >/dev/null
if wait_program_end 20; then check "Close ends the program" yes yes; else check "Close ends the program" yes no; fi
check "nothing after the log-in" "" "$(after_login)"
check "the log-in ended with home" 'home \r\n' "$(awk -F'\t' 'END {print $2}' "$transcript")"

echo "wine-e2e: $failures failure(s) in $(($(date +%s) - start_time)) s"
[ "$failures" -eq 0 ]
