#!/usr/bin/env bash
# End-to-end: Save Settings, then a DHCP range and an inbound rule changed on their pages, then
# Restore Settings from the saved file: the comparison lists both, and Apply brings both back.
# Usage: scripts/e2e/restore.sh --routersim PATH --bin DIR [--prefix DIR]
set -euo pipefail
. "$(dirname "$0")/lib.sh"
e2e_setup "$@"
load_ids app/SheetIds.h app/CompareDialogIds.h lan/CDHCPIds.h lan/CINBOUNDIds.h line/CLINEIds.h
start_routersim --preset pppoe
cli() {
  TARNWICK_PASSWORD=$password "$(dirname "$routersim")/../cli/tarnwick-cli" \
    --port "${address##*:}" "${address%:*}" "$@"
}
dhcp=("flush" "add allow unknown-clients;" "add subnet 192.168.1.0 netmask 255.255.255.0" "add {"
  "add range 192.168.1.100 192.168.1.199;" "add option subnet-mask 255.255.255.0;"
  "add max-lease-time 86400;" "add }" "confirm")
cli "${dhcp[@]/#/dhcpserver config }" "nat inbound add ppp_device 80/tcp 192.168.1.10" >/dev/null
login_to_sheet
file_name_box=1148  # of the common Save As and Open dialogs
saved="$work/router.json"
windows_path() { echo "Z:$(tr / '\\' <<<"$1")"; }

echo "Save Settings"
out=$(driver wait-window Tarnwick syscommand "$IDM_SAVE_SETTINGS" wait-window "Save Settings" \
  set-text "$file_name_box" "$(windows_path "$saved")" press "$IDOK" wait-gone "Save Settings" \
  wait-window Tarnwick read-message press-message-button)
check "saved, and said so" yes "$(grep -q "were saved to" <<<"$out" && echo yes || echo "no: $out")"
check "the file holds the range and the rule" yes \
  "$(grep -q '"RangeEnd": "192.168.1.199"' "$saved" && grep -q '"80/TCP"' "$saved" && echo yes || echo no)"

echo "A DHCP range and an inbound rule changed"
open_page DHCP wait-text "$IDC_DHCP_END4" 199 >/dev/null
out=$(on_page DHCP set-text "$IDC_DHCP_END4" 150 press "$IDC_DHCP_APPLY" read-message \
  press-message-button)
check "DHCP Apply succeeds" "Configuration Successful" "$out"
open_page "Line Configuration" wait-enabled "$IDC_LINE_INBOUND" 1 press "$IDC_LINE_INBOUND" >/dev/null
driver wait-window Inbound set-text "$IDC_INBOUND_PORT" 8080 \
  set-text "$IDC_INBOUND_HOST1" 192 set-text "$IDC_INBOUND_HOST2" 168 \
  set-text "$IDC_INBOUND_HOST3" 1 set-text "$IDC_INBOUND_HOST4" 20 click "$IDC_INBOUND_UDP" \
  press "$IDC_INBOUND_ADD" wait-row "$IDC_INBOUND_LIST" 8080/UDP press "$IDC_INBOUND_EXIT" \
  wait-gone Inbound >/dev/null

echo "Restore Settings from the saved file"
from=$(mark)
out=$(driver wait-window Tarnwick syscommand "$IDM_RESTORE_SETTINGS" wait-window "Open Settings File" \
  set-text "$file_name_box" "$(windows_path "$saved")" press "$IDOK" wait-gone "Open Settings File" \
  wait-window "Restore Settings" read-rows "$IDC_COMPARE_LIST")
check "the range end differs" "$(printf 'DHCP\tIP Range End\t192.168.1.150\t192.168.1.199')" \
  "$(grep -F 'IP Range End' <<<"$out")"
check "the new rule is a row the file has not" yes \
  "$(grep -q $'List row\t.*8080/UDP.*\t(none)' <<<"$out" && echo yes || echo "no: $out")"
out=$(driver wait-window "Restore Settings" press "$IDOK" wait-gone "Restore Settings" \
  wait-window Tarnwick read-message press-message-button)
check "both pages restored" yes "$(grep -q 'Restored: .*DHCP' <<<"$out" && echo yes || echo "no: $out")"
out=$(open_page DHCP read-text "$IDC_DHCP_END4")
check "the open DHCP page shows the range end again" 199 "$out"
out=$(cli show nat)
check "the router's inbound rules: the saved one only" "80/TCP" \
  "$(grep -o -e '80/TCP' -e '8080/UDP' <<<"$out" | tr '\n' ' ' | sed 's/ $//')"
close_sheet

e2e_finish
