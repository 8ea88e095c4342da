#!/usr/bin/env bash
# End-to-end: Log In, the sheet's tabs, About, and what Close sends with and without a change.
# Usage: scripts/e2e/shell.sh --routersim PATH --bin DIR [--prefix DIR]
set -euo pipefail
. "$(dirname "$0")/lib.sh"
e2e_setup "$@"
load_ids app/SheetIds.h app/AboutDialogIds.h routing/CSMNPIds.h
firmware=7.42.1-e2e
start_routersim --firmware "$firmware"

echo "run 1: wrong password, right password, About, tabs, Close"
start_program
out=$(driver wait-window "Log In" set-text "$IDC_LOGIN_ADDRESS" "$address" \
  set-text "$IDC_LOGIN_PASSWORD" wrong press "$IDOK" read-message read-caption press-message-button \
  wait-window "Log In" read-text "$IDC_LOGIN_ADDRESS" read-text "$IDC_LOGIN_PASSWORD")
mapfile -t got <<<"$out"
check "wrong password message" "Unable to receive message from modem for login via Telnet" "${got[0]:-}"
check "its caption" "Error" "${got[1]:-}"
check "Log In stays with the typed address" "$address" "${got[2]:-}"
check "and the typed password" "wrong" "${got[3]:-}"

out=$(driver wait-window "Log In" set-text "$IDC_LOGIN_PASSWORD" "$password" press "$IDOK" \
  wait-window Tarnwick read-text "$IDOK" read-enabled "$IDCANCEL" \
  syscommand "$IDM_ABOUT" wait-window "About Tarnwick" \
  read-text "$IDC_ABOUT_FIRMWARE" read-enabled "$IDC_ABOUT_UPDATE" press "$IDOK" \
  wait-gone "About Tarnwick")
mapfile -t got <<<"$out"
check "the sheet opens with Close" "&Close" "${got[0]:-}"
check "Cancel disabled" "0" "${got[1]:-}"
check "About shows the firmware" "$firmware" "${got[2]:-}"
check "Update disabled" "0" "${got[3]:-}"
check "About asked once on the current connection" 'version\r\n' "$(after_login)"
# Pages registered later come after these.
check "the tabs in page order" \
  "$(lines General "Line Configuration" "Route Table" DHCP SNMP "DSL Monitoring")" \
  "$(driver wait-window Tarnwick read-tabs | head -n 6)"
from=$(mark)
close_sheet
check "Close without a change sends nothing" "" "$(received "$from")"

echo "run 2: log in, Close at once"
login_to_sheet
close_sheet
check "nothing after the log-in" "" "$(after_login)"
check "the log-in ended with home" 'home \r\n' "$(received | tail -n1)"

echo "run 3: a change, then Close"
login_to_sheet
open_page SNMP set-text "$IDC_SNMP_COMMUNITY" e2ecomm press "$IDC_SNMP_ADD" \
  wait-row "$IDC_SNMP_LIST" e2ecomm >/dev/null
from=$(mark)
close_sheet
check "it saves on a fresh log-in" 'config save\r\n' "$(after_login)"
check "a log-in came first" yes "$(received "$from" | grep -qxF 'home \r\n' && echo yes || echo no)"

e2e_finish
