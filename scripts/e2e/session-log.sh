#!/usr/bin/env bash
# End-to-end: tarnwick.exe --log FILE records the session, its passwords hidden.
# Usage: scripts/e2e/session-log.sh --routersim PATH --bin DIR [--prefix DIR]
set -euo pipefail
. "$(dirname "$0")/lib.sh"
e2e_setup "$@"
load_ids routing/CSMNPIds.h line/CLINEIds.h
start_routersim --preset pppoe

echo "run 1: --log, log in, the Line Configuration and SNMP pages, Close"
log=$work/session.log
login_to_sheet --log session.log
open_page "Line Configuration" wait-text "$IDC_LINE_VCI" 35 >/dev/null
open_page SNMP wait-row "$IDC_SNMP_LIST" public >/dev/null
close_sheet
check "the log is written" yes "$([ -s "$log" ] && echo yes || echo no)"
check "every line: time, mark, text" 0 \
  "$(grep -cvE '^[0-9]{4}-[0-9]{2}-[0-9]{2}T[0-9]{2}:[0-9]{2}:[0-9]{2}\.[0-9]{3}Z [<>*]( [ -~]*)?$' "$log" || true)"
check "neither password anywhere" 0 "$(grep -cE 'admin|s3cret' "$log" || true)"
check "the typed log-in password hidden" yes \
  "$(grep -qE 'Z > \*{8}$' "$log" && echo yes || echo no)"
check "the PPP password hidden in its listing" yes \
  "$(grep -qE 'Z < 1 welogin subscriber@isp\.example \*{8}$' "$log" && echo yes || echo no)"
check "the log-in community hidden in the SNMP listing" yes \
  "$(grep -qE 'Z < access write \*{8}$' "$log" && echo yes || echo no)"

echo "run 2: a log file that cannot be opened"
start_program --log "no-such-folder\\session.log"
out=$(driver read-message read-caption press-message-button)
mapfile -t got <<<"$out"
check "the message" 'Cannot open the log file no-such-folder\session.log.' "${got[0]:-}"
check "its caption" Error "${got[1]:-}"
ended=no
for _ in $(seq 100); do kill -0 "$program" 2>/dev/null || { ended=yes; break; }; sleep 0.1; done
check "the program ends" yes $ended

e2e_finish
