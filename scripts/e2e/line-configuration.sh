#!/usr/bin/env bash
# End-to-end: the Line Configuration page reads a PPPoE router, switches it to RFC 1483 Routed
# through the real page, and a later run switches it back.
# Usage: scripts/e2e/line-configuration.sh --routersim PATH --bin DIR [--prefix DIR]
set -euo pipefail
. "$(dirname "$0")/lib.sh"
e2e_setup "$@"
load_ids line/CLINEIds.h
start_routersim --preset pppoe
login_to_sheet

page="Line Configuration"
listings=('ip nat\r\n' 'bridge device\r\n' 'ip device\r\n' 'ip subnet\r\n' 'flashfs cat initppp\r\n')

echo "run 1: the page reads PPPoE; Apply switches the router to RFC 1483 Routed"
from=$(mark)
out=$(open_page "$page" wait-text "$IDC_LINE_VPI" 8 read-checked "$IDC_LINE_PPPOE" \
  read-text "$IDC_LINE_VCI" read-text "$IDC_LINE_USER_NAME" read-text "$IDC_LINE_CHANNEL" \
  read-checked "$IDC_LINE_NAT" read-enabled "$IDC_LINE_WAN_IP1" read-text "$IDC_LINE_LAN_IP4")
check "the router's PPPoE settings, WAN boxes disabled" \
  "$(lines 1 35 subscriber@isp.example 1 1 0 1)" "$out"
check "the page read the five listings" "$(lines "${listings[@]}")" "$(received "$from" | head -n 5)"

from=$(mark)
out=$(on_page "$page" click "$IDC_LINE_ROUTED" wait-enabled "$IDC_LINE_WAN_IP1" 1 \
  set-text "$IDC_LINE_WAN_IP1" 192 set-text "$IDC_LINE_WAN_IP2" 0 set-text "$IDC_LINE_WAN_IP3" 2 \
  set-text "$IDC_LINE_WAN_IP4" 10 set-text "$IDC_LINE_GATEWAY1" 192 set-text "$IDC_LINE_GATEWAY2" 0 \
  set-text "$IDC_LINE_GATEWAY3" 2 set-text "$IDC_LINE_GATEWAY4" 1 \
  set-text "$IDC_LINE_WAN_MASK1" 255 set-text "$IDC_LINE_WAN_MASK2" 255 \
  set-text "$IDC_LINE_WAN_MASK3" 255 set-text "$IDC_LINE_WAN_MASK4" 252 \
  read-enabled "$IDC_LINE_USER_NAME" press "$IDC_LINE_APPLY" read-message read-caption \
  press-message-button)
check "Routed greys out the PPP log-in; Apply succeeds" \
  "$(lines 0 'Configuration Successful' Complete)" "$out"
check "the routed script ran as one batch" \
  "$(lines 'batch add ip device add wan1 ptp //bun/port=atm/rfc1483=true/mode=vcmuxrouted/txvpi=8/txvci=35/rxvpi=8/rxvci=35 192.0.2.10\r\n' \
    'batch add ip nat add wan1\r\n' 'batch execute\r\n')" \
  "$(received "$from" | grep -F -e 'wan1 ptp' -e 'nat add wan1' -e 'batch execute')"
close_sheet
check "Close saved the new set-up" yes "$(received "$from" | grep -qxF 'config save\r\n' && echo yes || echo no)"

echo "run 2: the page reads RFC 1483 Routed; Apply switches back to PPPoE"
login_to_sheet
from=$(mark)
out=$(open_page "$page" wait-text "$IDC_LINE_WAN_IP4" 10 read-checked "$IDC_LINE_ROUTED" \
  read-text "$IDC_LINE_WAN_MASK4" read-text "$IDC_LINE_GATEWAY4" read-checked "$IDC_LINE_NAT")
check "the router now runs RFC 1483 Routed" "$(lines 1 252 1 1)" "$out"
out=$(on_page "$page" click "$IDC_LINE_PPPOE" wait-enabled "$IDC_LINE_USER_NAME" 1 \
  set-text "$IDC_LINE_USER_NAME" subscriber@isp.example set-text "$IDC_LINE_PASSWORD" s3cret \
  read-enabled "$IDC_LINE_WAN_IP1" read-text "$IDC_LINE_CHANNEL" press "$IDC_LINE_APPLY" \
  read-message press-message-button)
check "PPPoE greys out the WAN boxes, channel 1, Apply succeeds" \
  "$(lines 0 1 'Configuration Successful')" "$out"
check "the PPPoE lines" \
  "$(lines 'batch add ppp 1 pppoe 8 35 \r\n' 'batch add ppp 1 welogin subscriber@isp.example s3cret\r\n')" \
  "$(received "$from" | grep -F -e ' pppoe ' -e 'welogin')"
close_sheet

e2e_finish
