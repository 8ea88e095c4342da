#!/usr/bin/env bash
# End-to-end: the DHCP page switches the router's DHCP server on with a range and a lease, a
# later run reads them back; the NAT inbound dialog, opened from the Line Configuration page,
# adds a port forward and removes it.
# Usage: scripts/e2e/dhcp.sh --routersim PATH --bin DIR [--prefix DIR]
set -euo pipefail
. "$(dirname "$0")/lib.sh"
e2e_setup "$@"
load_ids lan/CDHCPIds.h lan/CINBOUNDIds.h line/CLINEIds.h
start_routersim --preset pppoe
login_to_sheet

echo "run 1: a router without DHCP server; the page sets one up"
from=$(mark)
open_page DHCP >/dev/null
wait_line "$from" 'ppp config\r\n'
out=$(on_page DHCP read-checked "$IDC_DHCP_ENABLE" read-enabled "$IDC_DHCP_NET1" \
  read-checked "$IDC_DHCP_RELAY" read-enabled "$IDC_DHCP_RELAY")
check "no server: DHCP unticked and its boxes greyed; the relay offered" "$(lines 0 0 0 1)" "$out"
check "the page read the server, the relay (reset, as nothing uses it) and the PPP link" \
  "$(lines 'dhcpserver config\r\n' 'dnsrelay status\r\n' 'dnsrelay config reset\r\n' 'ppp config\r\n')" \
  "$(after_login)"

from=$(mark)
boxes=()
for id_value in NET1:192 NET2:168 NET3:1 NET4:0 MASK1:255 MASK2:255 MASK3:255 MASK4:0 \
  START1:192 START2:168 START3:1 START4:50 END1:192 END2:168 END3:1 END4:99; do
  id=IDC_DHCP_${id_value%%:*}
  boxes+=(set-text "${!id}" "${id_value#*:}")
done
out=$(on_page DHCP click "$IDC_DHCP_ENABLE" wait-enabled "$IDC_DHCP_NET1" 1 "${boxes[@]}" \
  set-text "$IDC_DHCP_LEASE" 2 press "$IDC_DHCP_APPLY" read-message read-caption \
  press-message-button)
check "Apply succeeds" "$(lines 'Configuration Successful' Complete)" "$out"
check "the range and the lease in seconds went to the router" \
  "$(lines 'dhcpserver config add range 192.168.1.50 192.168.1.99;\r\n' \
    'dhcpserver config add max-lease-time 172800;\r\n' 'dhcpserver config confirm\r\n')" \
  "$(received "$from" | grep -F -e 'range' -e 'max-lease-time' -e 'confirm')"

echo "the NAT inbound dialog from the Line Configuration page"
open_page "Line Configuration" wait-enabled "$IDC_LINE_INBOUND" 1 press "$IDC_LINE_INBOUND" \
  >/dev/null
from=$(mark)
out=$(driver wait-window Inbound set-text "$IDC_INBOUND_PORT" 8080 \
  set-text "$IDC_INBOUND_HOST1" 192 set-text "$IDC_INBOUND_HOST2" 168 \
  set-text "$IDC_INBOUND_HOST3" 1 set-text "$IDC_INBOUND_HOST4" 20 click "$IDC_INBOUND_UDP" \
  press "$IDC_INBOUND_ADD" wait-row "$IDC_INBOUND_LIST" 8080/UDP)
check "Add shows the router's new rule" "$(printf 'ppp_device\t8080/UDP\t 192.168.1.20')" "$out"
check "the add command on a fresh log-in, then the listing" \
  "$(lines 'nat inbound add ppp_device 8080/udp 192.168.1.20\r\n' 'nat inbound list\r\n')" \
  "$(after_login)"
from=$(mark)
driver wait-window Inbound select-row "$IDC_INBOUND_LIST" 8080/UDP press "$IDC_INBOUND_REMOVE" \
  wait-no-row "$IDC_INBOUND_LIST" 8080/UDP press "$IDC_INBOUND_EXIT" wait-gone Inbound >/dev/null
check "Remove deletes rule 1, then lists" \
  "$(lines 'nat inbound delete 1\r\n' 'nat inbound list\r\n')" "$(after_login)"
close_sheet

echo "run 2: the page reads back what run 1 applied"
login_to_sheet
out=$(open_page DHCP wait-text "$IDC_DHCP_LEASE" 2.000000 read-checked "$IDC_DHCP_ENABLE" \
  read-text "$IDC_DHCP_START4" read-text "$IDC_DHCP_END4" read-enabled "$IDC_DHCP_NET1")
check "DHCP ticked, the range, its boxes enabled" "$(lines 1 50 99 1)" "$out"
close_sheet

e2e_finish
