# Shared part of the end-to-end scenarios: tarnwick.exe under Wine against tarnwick-routersim.
#
# A scenario sources this file and calls e2e_setup "$@" (--routersim PATH --bin DIR
# [--prefix DIR]; DIR holds tarnwick.exe and tarnwick-driver.exe, the prefix defaults to
# DIR/e2e-wineprefix), then start_routersim [OPTIONS...], its steps, and e2e_finish.
# As root (where unshare and ip exist) the scenario runs in a network namespace holding
# only loopback, so nothing the program dials can leave the machine. The screenshots and the
# demo use the prefix, X server and simulator parts only.

e2e_root=$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)
e2e_name=$(basename "$0" .sh)
password="admin"
# Windows' own ids of a dialog's OK and Cancel buttons; the sheet's Close is OK.
IDOK=1
IDCANCEL=2
driver_options=(timeout 30000)

# Every "#define NAME NUMBER" of an id header becomes the shell variable NAME.
load_ids() {  # header (relative to the project)...
  local header name value count
  for header in "$@"; do
    [ -f "$e2e_root/$header" ] || { echo "$e2e_name: no id header $header" >&2; exit 2; }
    count=0
    while read -r name value; do
      printf -v "$name" '%d' "$value"
      count=$((count + 1))
    done < <(sed -En 's@^#define[ \t]+([A-Za-z_][A-Za-z0-9_]*)[ \t]+(0[xX][0-9a-fA-F]+|[0-9]+)[ \t]*(//.*)?$@\1 \2@p' \
      "$e2e_root/$header")
    [ "$count" -gt 0 ] || { echo "$e2e_name: no ids in $header" >&2; exit 2; }
  done
}
load_ids app/LoginDialogIds.h

parse_args() {
  routersim="" bin="" prefix=""
  while [ $# -gt 0 ]; do
    case "$1" in
      --routersim) routersim=$2; shift 2 ;;
      --bin) bin=$2; shift 2 ;;
      --prefix) prefix=$2; shift 2 ;;
      *) echo "$e2e_name: unknown argument $1" >&2; exit 2 ;;
    esac
  done
  [ -x "$routersim" ] ||
    { echo "$e2e_name: no simulator at '$routersim' (build the native preset first)" >&2; exit 1; }
  [ -f "$bin/tarnwick.exe" ] && [ -f "$bin/tarnwick-driver.exe" ] ||
    { echo "$e2e_name: tarnwick.exe or tarnwick-driver.exe missing in '$bin'" >&2; exit 1; }
  routersim=$(cd "$(dirname "$routersim")" && pwd)/$(basename "$routersim")
  bin=$(cd "$bin" && pwd)
  prefix=${prefix:-$bin/e2e-wineprefix}
}

# Runs the calling script again inside a loopback-only network namespace when that is possible.
isolate() {  # the script's arguments
  if [ -z "${TARNWICK_E2E_ISOLATED:-}" ] && [ "$(id -u)" -eq 0 ] && command -v unshare >/dev/null &&
    command -v ip >/dev/null && unshare -n true 2>/dev/null; then
    export TARNWICK_E2E_ISOLATED=1
    exec unshare -n bash -c 'ip link set lo up && exec bash "$0" "$@"' "$0" "$@"
  fi
  [ -n "${TARNWICK_E2E_ISOLATED:-}" ] && echo "$e2e_name: in a loopback-only network namespace" ||
    echo "$e2e_name: no network namespace (not root, or unshare/ip missing); loopback addresses only"
}

# A scratch directory and the clean-up of everything started from here on.
begin_work() {
  work=$(mktemp -d)
  pids=()
  trap e2e_cleanup EXIT
}

e2e_cleanup() {
  if [ -n "${e2e_started:-}" ] && [ "${e2e_passed:-}" != yes ]; then
    echo "$e2e_name: windows and the end of the transcript, for diagnosis:"
    timeout 20 wine "$bin/tarnwick-driver.exe" "${driver_options[@]}" dump 2>&1 | tr -d '\r' || true
    [ -s "${transcript:-}" ] && tail -n 30 "$transcript"
  fi
  [ -n "${WINEPREFIX:-}" ] && { wineserver -k 2>/dev/null || true; }
  for p in "${pids[@]}"; do kill "$p" 2>/dev/null || true; done
  wait 2>/dev/null || true
  rm -rf "$work"
}

# The project's own Wine prefix, held for this run alone: closing down kills its wineserver.
use_prefix() {  # dir
  export WINEPREFIX=$1 WINEDEBUG=-all
  mkdir -p "$(dirname "$1")"
  exec 9>"$1.lock"
  flock 9
  "$e2e_root/scripts/wine-prefix.sh" "$1"
}

start_xvfb() {  # [WIDTHxHEIGHT, default 1024x768]
  Xvfb -displayfd 3 -nolisten tcp -screen 0 "${1:-1024x768}x24" 3>"$work/display" >/dev/null 2>&1 &
  pids+=($!)
  for _ in $(seq 100); do [ -s "$work/display" ] && break; sleep 0.05; done
  [ -s "$work/display" ] || { echo "$e2e_name: Xvfb did not start" >&2; exit 1; }
  DISPLAY=:$(head -n1 "$work/display")
  export DISPLAY
}

# Sets address (ADDR:PORT) and transcript; OPTIONS come after the defaults, so --port wins.
start_routersim() {  # options...
  transcript=$work/transcript.txt
  "$routersim" --listen 127.0.0.1 --port 0 --password "$password" --transcript "$transcript" \
    "$@" >"$work/sim.out" 2>&1 &
  local sim=$!
  pids+=("$sim")
  for _ in $(seq 200); do
    grep -q "listening on" "$work/sim.out" && break
    kill -0 "$sim" 2>/dev/null || break
    sleep 0.05
  done
  address=$(sed -n 's/.*listening on \([0-9.]*:[0-9]*\).*/\1/p;T;q' "$work/sim.out")
  [ -n "$address" ] || { echo "$e2e_name: the simulator did not start:" >&2; cat "$work/sim.out" >&2; exit 1; }
}

# What the Log In dialog offers at start: the simulator's address.
offer_address() {
  wine reg add 'HKCU\software\Quorvane\Tarnwick' /v IPAddress /t REG_SZ /d "$address" /f \
    >/dev/null 2>&1
}

e2e_setup() {  # the scenario's arguments
  parse_args "$@"
  isolate "$@"
  begin_work
  use_prefix "$prefix"
  start_xvfb
  e2e_started=$(date +%s)
  failures=0
}

driver() { wine "$bin/tarnwick-driver.exe" "${driver_options[@]}" "$@" | tr -d '\r'; }
# The sheet shows the page with tab LABEL, which becomes current for the commands after it.
open_page() { driver wait-window Tarnwick select-tab "$1" wait-page "$1" "${@:2}"; }
on_page() { driver wait-window Tarnwick wait-page "$1" "${@:2}"; }

start_program() {  # [program arguments...]
  (cd "$work" && exec wine "$bin/tarnwick.exe" "$@") &
  program=$!
}

# Starts the program and logs in to the simulator; the sheet is up when this returns.
login_to_sheet() {  # [program arguments...]
  start_program "$@"
  driver wait-window "Log In" set-text "$IDC_LOGIN_ADDRESS" "$address" \
    set-text "$IDC_LOGIN_PASSWORD" "$password" press "$IDOK" wait-window Tarnwick >/dev/null
}

# Presses the sheet's Close; the program ends within 20 s, after saving when it saves.
close_sheet() {
  driver wait-window Tarnwick press "$IDOK" >/dev/null
  program_ends "Close ends the program"
}

program_ends() {  # what is checked
  local ended=no
  for _ in $(seq 200); do kill -0 "$program" 2>/dev/null || { ended=yes; break; }; sleep 0.1; done
  check "$1" yes $ended
}

check() {  # what expected actual
  if [ "$2" == "$3" ]; then
    echo "  ok: $1"
  else
    echo "  FAIL: $1: expected [$2], got [$3]"
    failures=$((failures + 1))
  fi
}

lines() { printf '%s\n' "$@"; }

# Received lines as the transcript spells them ("\r\n" written out), from line FROM on.
received() { awk -F'\t' -v from="${1:-1}" 'NR >= from {print $2}' "$transcript"; }
mark() { echo $(($(wc -l <"$transcript") + 1)); }
count_line() { received "$1" | grep -cxF -- "$2" || true; }
# A wait that times out counts as a failure; the checks after it say what was missing.
wait_count() {  # from line count [seconds, default 10]
  local end=$((${EPOCHREALTIME/./} + ${4:-10} * 1000000))
  until [ "$(count_line "$1" "$2")" -ge "$3" ]; do
    if [ "${EPOCHREALTIME/./}" -gt "$end" ]; then
      echo "  FAIL: no $3 of [$2] within ${4:-10} s"
      failures=$((failures + 1))
      return 0
    fi
    sleep 0.05
  done
}
wait_line() { wait_count "$1" "$2" 1; }  # from line
# What came after the last log-in.
after_login() {
  received | awk '/^home \\r\\n$/ {out=""; seen=1; next} seen {out = out $0 "\n"} END {printf "%s", out}'
}

e2e_finish() {
  echo "$e2e_name: $failures failure(s) in $(($(date +%s) - e2e_started)) s"
  [ "$failures" -eq 0 ] && e2e_passed=yes
  [ "$failures" -eq 0 ]
}
