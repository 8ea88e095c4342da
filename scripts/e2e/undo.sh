#!/usr/bin/env bash
# End-to-end: a change of the Line page is undone from the system menu. The router runs PPPoE;
# Apply switches it to RFC 1483 Routed; Undo Last Change lists what differs from the snapshot
# taken before it and, applied, brings back PPPoE with the same log-in, PVC and NAT. A LAN
# address change then ends the program, and its next start offers to undo that change.
# Usage: scripts/e2e/undo.sh --routersim PATH --bin DIR [--prefix DIR]
set -euo pipefail
. "$(dirname "$0")/lib.sh"
e2e_setup "$@"
load_ids app/SheetIds.h app/CompareDialogIds.h line/CLINEIds.h
start_routersim --preset pppoe
# Snapshots of earlier runs would be this router's too.
rm -rf "$WINEPREFIX/drive_c/users"/*/AppData/Local/Tarnwick
login_to_sheet

page="Line Configuration"
echo "Line Configuration: PPPoE switched to RFC 1483 Routed"
open_page "$page" wait-text "$IDC_LINE_VPI" 8 >/dev/null
out=$(on_page "$page" click "$IDC_LINE_ROUTED" wait-enabled "$IDC_LINE_WAN_IP1" 1 \
  set-text "$IDC_LINE_WAN_IP1" 192 set-text "$IDC_LINE_WAN_IP2" 0 set-text "$IDC_LINE_WAN_IP3" 2 \
  set-text "$IDC_LINE_WAN_IP4" 10 set-text "$IDC_LINE_GATEWAY1" 192 set-text "$IDC_LINE_GATEWAY2" 0 \
  set-text "$IDC_LINE_GATEWAY3" 2 set-text "$IDC_LINE_GATEWAY4" 1 \
  set-text "$IDC_LINE_WAN_MASK1" 255 set-text "$IDC_LINE_WAN_MASK2" 255 \
  set-text "$IDC_LINE_WAN_MASK3" 255 set-text "$IDC_LINE_WAN_MASK4" 252 \
  press "$IDC_LINE_APPLY" read-message press-message-button)
check "Apply succeeds" "Configuration Successful" "$out"
snapshots=$(ls "$WINEPREFIX/drive_c/users"/*/AppData/Local/Tarnwick/snapshots/*.json 2>/dev/null | wc -l)
check "one snapshot was kept" 1 "$snapshots"

echo "Undo Last Change: the differences, before anything is sent"
from=$(mark)
out=$(driver wait-window Tarnwick syscommand "$IDM_UNDO_CHANGE" wait-window "Restore Settings" \
  read-rows "$IDC_COMPARE_LIST")
check "the protocol and WAN side, router value then file value" \
  "$(printf 'Line Configuration\tProtocol\tRFC 1483 Routed\tRFC2516 (PPPoE)\n')" \
  "$(grep -F $'\tProtocol\t' <<<"$out")"
check "the PPP password is masked" "" "$(grep -F s3cret <<<"$out" || true)"
check "nothing was sent yet" "" \
  "$(received "$from" | grep -F -e batch -e 'config save' || true)"

echo "Undo Last Change: Apply"
out=$(driver wait-window "Restore Settings" press "$IDOK" wait-gone "Restore Settings" \
  wait-window Tarnwick read-message read-caption press-message-button)
check "the Line page was restored" "$(lines 'Restored: Line Configuration.' 'Restore Settings')" "$out"
check "the PPPoE lines went out" \
  "$(lines 'batch add ppp 1 pppoe 8 35 \r\n' 'batch add ppp 1 welogin subscriber@isp.example s3cret\r\n')" \
  "$(received "$from" | grep -F -e ' pppoe ' -e 'welogin')"
out=$(on_page "$page" read-checked "$IDC_LINE_PPPOE" read-text "$IDC_LINE_VPI" \
  read-text "$IDC_LINE_VCI" read-text "$IDC_LINE_USER_NAME" read-checked "$IDC_LINE_NAT")
check "the page reads PPPoE again, same PVC, log-in and NAT" \
  "$(lines 1 8 35 subscriber@isp.example 1)" "$out"

echo "A LAN address change ends the program; the next start, at the new address, offers Undo"
out=$(on_page "$page" set-text "$IDC_LINE_LAN_IP4" 2 press "$IDC_LINE_APPLY" \
  wait-window "Exiting program due to LAN IP changes..." press "$IDOK" read-message \
  press-message-button)
check "Apply succeeds" "Configuration Successful" "$out"
program_ends "the program ended"
address=127.0.0.2:${address##*:}
login_to_sheet
out=$(driver wait-window Tarnwick read-message answer-message 6 wait-window "Restore Settings" \
  read-rows "$IDC_COMPARE_LIST" press "$IDCANCEL" wait-gone "Restore Settings")
check "the offer names the new address" 1 "$(grep -c "LAN address to $address and ended" <<<"$out")"
check "Undo offered with the LAN address it would bring back" \
  "$(printf 'Line Configuration\tLAN IP Configuration\t127.0.0.2\t127.0.0.1\n')" \
  "$(grep -F $'\tLAN IP Configuration\t' <<<"$out")"
close_sheet

e2e_finish
