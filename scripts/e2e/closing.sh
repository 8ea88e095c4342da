#!/usr/bin/env bash
# End-to-end: every way of closing the sheet ends it as Close does, saving a change first.
# Usage: scripts/e2e/closing.sh --routersim PATH --bin DIR [--prefix DIR]
set -euo pipefail
. "$(dirname "$0")/lib.sh"
e2e_setup "$@"
load_ids routing/CSMNPIds.h line/CLINEIds.h
start_routersim

# way|page|the driver commands that close the sheet with that page shown. Enter in a field
# of a page without a default button of its own is the sheet's Enter.
ways=(
  "the close box|SNMP|wait-window Tarnwick close"
  "Escape|SNMP|key escape"
  "Enter in a field|Line Configuration|focus $IDC_LINE_VCI wait-focus $IDC_LINE_VCI key enter"
)
for entry in "${ways[@]}"; do
  IFS='|' read -r way page commands <<<"$entry"
  read -ra commands <<<"$commands"
  echo "a community added, then $way"
  login_to_sheet
  open_page SNMP set-text "$IDC_SNMP_COMMUNITY" "closing" press "$IDC_SNMP_ADD" \
    wait-row "$IDC_SNMP_LIST" "closing" >/dev/null
  from=$(mark)
  open_page "$page" "${commands[@]}" >/dev/null
  ended=no
  for _ in $(seq 200); do kill -0 "$program" 2>/dev/null || { ended=yes; break; }; sleep 0.1; done
  check "$way ends the program" yes $ended
  check "after saving on a fresh log-in" 'config save\r\n' "$(after_login)"
  check "a log-in came first" yes "$(received "$from" | grep -qxF 'home \r\n' && echo yes || echo no)"
done

echo "a value typed and not applied: asked first"
login_to_sheet
out=$(open_page "Line Configuration" set-text "$IDC_LINE_VCI" 99 wait-window Tarnwick close \
  read-message answer-message 7)
check "the question" \
  "The Line Configuration page has changes that were not applied. Close anyway?" "$out"
out=$(on_page "Line Configuration" read-text "$IDC_LINE_VCI" key escape read-message \
  answer-message 6)
check "No keeps the sheet open with the value; Yes closes" \
  "$(lines 99 "The Line Configuration page has changes that were not applied. Close anyway?")" "$out"
ended=no
for _ in $(seq 200); do kill -0 "$program" 2>/dev/null || { ended=yes; break; }; sleep 0.1; done
check "Yes ends the program" yes $ended

e2e_finish
