#!/usr/bin/env bash
# End-to-end: the Multiple PVC dialog, opened from the Line Configuration page, refuses a bad
# octet as its box loses the focus, adds two PVCs, applies them, and reads them back.
# Usage: scripts/e2e/multiple-pvc.sh --routersim PATH --bin DIR [--prefix DIR]
set -euo pipefail
. "$(dirname "$0")/lib.sh"
e2e_setup "$@"
load_ids line/CLINEIds.h multipvc/CMULTIPVCIds.h
start_routersim --preset pppoe
login_to_sheet

dialog="Multiple PVC"
open_dialog() {
  open_page "Line Configuration" wait-text "$IDC_LINE_VPI" 8 press "$IDC_LINE_MULTIPLE_PVC" \
    >/dev/null
  driver wait-window "$dialog" wait-row "$IDC_MULTIPVC_LIST" "RFC 2516 (PPPoE)" >/dev/null
}

echo "The dialog opens on the router's PVCs"
open_dialog
check "the router's PPPoE PVC" "$(printf 'RFC 2516 (PPPoE)\t8/35\tEnable\tVC MUX\t\t\t')" \
  "$(driver wait-window "$dialog" read-rows "$IDC_MULTIPVC_LIST")"

echo "A WAN IP octet of 256 is refused as its box loses the focus"
out=$(driver wait-window "$dialog" click "$IDC_MULTIPVC_ROUTED" wait-enabled "$IDC_MULTIPVC_WANIP1" 1 \
  focus "$IDC_MULTIPVC_WANIP1" wait-focus "$IDC_MULTIPVC_WANIP1" set-text "$IDC_MULTIPVC_WANIP1" 256 \
  focus "$IDC_MULTIPVC_WANIP2" read-message read-caption press-message-button \
  wait-window "$dialog" wait-focus "$IDC_MULTIPVC_WANIP1" read-selection "$IDC_MULTIPVC_WANIP1" \
  set-text "$IDC_MULTIPVC_WANIP1" "")
check "its message, then the focus back in the box with its text selected" \
  "$(lines 'Error in Wan IP1 address.' Error '0 3')" "$out"

echo "Two PVCs added and applied"
add() {  # protocol vpi vci ip1..4 mask1..4 [remote1..4]
  local args=(click "$1" wait-enabled "$IDC_MULTIPVC_WANIP1" 1 set-text "$IDC_MULTIPVC_VPI" "$2"
    set-text "$IDC_MULTIPVC_VCI" "$3")
  local ids=("$IDC_MULTIPVC_WANIP1" "$IDC_MULTIPVC_WANIP2" "$IDC_MULTIPVC_WANIP3" "$IDC_MULTIPVC_WANIP4"
    "$IDC_MULTIPVC_WANMASK1" "$IDC_MULTIPVC_WANMASK2" "$IDC_MULTIPVC_WANMASK3" "$IDC_MULTIPVC_WANMASK4"
    "$IDC_MULTIPVC_REMOTE1" "$IDC_MULTIPVC_REMOTE2" "$IDC_MULTIPVC_REMOTE3" "$IDC_MULTIPVC_REMOTE4")
  shift 3
  local i=0
  for value in "$@"; do
    args+=(set-text "${ids[$i]}" "$value")
    i=$((i + 1))
  done
  driver wait-window "$dialog" "${args[@]}" press "$IDC_MULTIPVC_ADD" >/dev/null
}
add "$IDC_MULTIPVC_ROUTED" 8 40 198 51 100 2 255 255 255 252
add "$IDC_MULTIPVC_IPOA" 0 41 203 0 113 2 255 255 255 0 203 0 113 1
want=$(printf '%s\n' \
  "$(printf 'RFC 1577(IPoA)\t0/41\tDisable\tLLC SNAP\t203.0.113.2\t255.255.255.0\t203.0.113.1')" \
  "$(printf 'RFC 1483 Routed\t8/40\tDisable\tLLC SNAP\t198.51.100.2\t255.255.255.252\t')" \
  "$(printf 'RFC 2516 (PPPoE)\t8/35\tEnable\tVC MUX\t\t\t')")
check "the new rows go to the top" "$want" "$(driver wait-window "$dialog" read-rows "$IDC_MULTIPVC_LIST")"
from=$(mark)
out=$(driver wait-window "$dialog" press "$IDC_MULTIPVC_APPLY" read-message press-message-button)
check "Apply succeeds" "Configuration Successful" "$out"
check "each row's device, numbered by kind" \
  "$(lines 'batch add ip device add wanIPOA1 atm //atm 203.0.113.2\r\n' \
    'batch add ip device add wan1 ptp //bun/port=atm/rfc1483=true/mode=llcrouted/txvpi=8/txvci=40/rxvpi=8/rxvci=40 198.51.100.2\r\n' \
    'batch add ip device add ppp_device ether //ppp/DEVICE=1 mtu 1492 \r\n')" \
  "$(received "$from" | grep '^batch add ip device add [wp]')"
driver wait-window "$dialog" press "$IDC_MULTIPVC_CLOSE" wait-gone "$dialog" >/dev/null

echo "Opened again, the dialog reads the applied PVCs back"
open_dialog
got=$(driver wait-window "$dialog" read-rows "$IDC_MULTIPVC_LIST" | sort)
check "the same three PVCs" "$(sort <<<"$want" | sed 's/255\.255\.255\.252/255:255:255:252/; s/255\.255\.255\.0/255:255:255:0/')" "$got"
driver wait-window "$dialog" press "$IDC_MULTIPVC_CLOSE" wait-gone "$dialog" >/dev/null
close_sheet
e2e_finish
