#!/usr/bin/env bash
# End-to-end: the Route Table page lists the routes, adds one and removes it.
# Usage: scripts/e2e/route-table.sh --routersim PATH --bin DIR [--prefix DIR]
set -euo pipefail
. "$(dirname "$0")/lib.sh"
e2e_setup "$@"
load_ids routing/CROUTEIds.h
start_routersim
login_to_sheet

echo "Route Table: add and remove a route"
from=$(mark)
open_page "Route Table" >/dev/null
# Opening the page lists the routes once on the old connection, then again after a new log-in.
wait_count "$from" 'ip route\r\n' 2
check "the page lists the routes, then again on a fresh log-in" \
  "$(lines 'ip route\r\n' 'home \r\n' 'ip route\r\n')" \
  "$(received "$from" | grep -xF -e 'ip route\r\n' -e 'home \r\n')"
out=$(on_page "Route Table" read-text "$IDC_ROUTE_DEST1" read-text "$IDC_ROUTE_DEST4" \
  read-text "$IDC_ROUTE_MASK1" read-text "$IDC_ROUTE_MASK4" read-text "$IDC_ROUTE_COST" \
  read-text "$IDC_ROUTE_TIMEOUT")
check "an empty table offers a default route, cost 1, time-out 0" "$(lines 0 0 0 0 1 0)" "$out"

from=$(mark)
out=$(on_page "Route Table" set-text "$IDC_ROUTE_LABEL" e2e \
  set-text "$IDC_ROUTE_DEST1" 10 set-text "$IDC_ROUTE_DEST2" 9 set-text "$IDC_ROUTE_DEST3" 8 \
  set-text "$IDC_ROUTE_DEST4" 0 set-text "$IDC_ROUTE_HOP1" 127 set-text "$IDC_ROUTE_HOP2" 0 \
  set-text "$IDC_ROUTE_HOP3" 0 set-text "$IDC_ROUTE_HOP4" 9 set-text "$IDC_ROUTE_MASK1" 255 \
  set-text "$IDC_ROUTE_MASK2" 255 set-text "$IDC_ROUTE_MASK3" 255 set-text "$IDC_ROUTE_MASK4" 0 \
  press "$IDC_ROUTE_ADD" wait-row "$IDC_ROUTE_LIST" e2e)
check "Add shows the route in the list" "$(printf 'e2e\t10.9.8.0\t127.0.0.9\tff:ff:ff:0')" "$out"
check "the add command, then the listing" \
  "$(lines 'ip route add e2e 10.9.8.0 127.0.0.9 ff:ff:ff:0 1 0 \r\n' 'ip route\r\n')" "$(received "$from")"

from=$(mark)
on_page "Route Table" select-row "$IDC_ROUTE_LIST" e2e press "$IDC_ROUTE_REMOVE" \
  wait-no-row "$IDC_ROUTE_LIST" e2e >/dev/null
wait_line "$from" 'ip route delete e2e\r\n'
check "Remove sends the delete" 'ip route delete e2e\r\n' "$(received "$from" | grep -v '^ip route\\r\\n$')"

e2e_finish
