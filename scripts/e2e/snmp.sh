#!/usr/bin/env bash
# End-to-end: the SNMP page lists the access list, adds a community and removes it, but never
# the one the program logged in with.
# Usage: scripts/e2e/snmp.sh --routersim PATH --bin DIR [--prefix DIR]
set -euo pipefail
. "$(dirname "$0")/lib.sh"
e2e_setup "$@"
load_ids routing/CSMNPIds.h
start_routersim
login_to_sheet

echo "SNMP: add and remove a community"
from=$(mark)
out=$(open_page SNMP wait-row "$IDC_SNMP_LIST" public read-rows "$IDC_SNMP_LIST" | sed 1d)
check "the page lists the access list" "$(printf 'Write\tadmin\t\nRead\tpublic\t')" "$out"
wait_line "$from" 'snmp access list\r\n'
check "after a fresh log-in" 'snmp access list\r\n' "$(after_login)"

out=$(on_page SNMP set-text "$IDC_SNMP_COMMUNITY" e2ecomm press "$IDC_SNMP_ADD" \
  wait-row "$IDC_SNMP_LIST" e2ecomm)
check "Add shows the community" "$(printf 'Write\te2ecomm\t')" "$out"
check "the add command after a fresh log-in, then the listing" \
  "$(lines 'ip snmp access write e2ecomm\r\n' 'snmp access list\r\n')" "$(after_login)"

from=$(mark)
out=$(on_page SNMP select-row "$IDC_SNMP_LIST" "$password" press "$IDC_SNMP_REMOVE" read-message \
  read-caption press-message-button | sed 1d)
check "the log-in community cannot be removed" \
  "$(printf 'You are trying to remove the password with which you have logged in with.\nThis action is not allowed.\nERROR')" \
  "$out"
check "and nothing is sent for it" "" \
  "$(received "$from" | grep -vxF -e 'home \r\n' -e "$password"'\r\n' || true)"

from=$(mark)
on_page SNMP select-row "$IDC_SNMP_LIST" e2ecomm press "$IDC_SNMP_REMOVE" \
  wait-no-row "$IDC_SNMP_LIST" e2ecomm >/dev/null
wait_line "$from" 'snmp access list\r\n'
check "Remove sends the delete with an empty address, then lists" \
  "$(lines 'ip snmp access delete e2ecomm \r\n' 'snmp access list\r\n')" "$(after_login)"

e2e_finish
