#!/usr/bin/env bash
# Screenshots of tarnwick.exe under Wine for the README: docs/screenshots/*.png.
# Usage: scripts/screenshots.sh [--bin DIR] [--routersim PATH] [--dpi N] [--out DIR]
#   DIR holds tarnwick.exe and tarnwick-driver.exe (default build/windows); the simulator
#   defaults to the native build's. --dpi sets the screen's dots per inch (default 96); shots
#   at another setting are named NAME-Ndpi.png. --out is where they go (docs/screenshots). Every page after General is shot, as NAME.png from its
#   tab label ("Route Table": route-table.png), then the NAT inbound dialog (nat-inbound.png)
#   the comparison Undo Last Change shows after a Line change (restore-settings.png)
#   and the Line History window after two minutes of polling (line-history.png);
#   TARNWICK_SHOT_PAGES="NAME..." picks some.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
. "$root/scripts/e2e/lib.sh"
bin=$root/build/windows
routersim=$root/build/native/routersim/tarnwick-routersim
dpi=96
out=$root/docs/screenshots
while [ $# -gt 0 ]; do
  case "$1" in
    --bin) bin=$2; shift 2 ;;
    --routersim) routersim=$2; shift 2 ;;
    --dpi) dpi=$2; shift 2 ;;
    --out) out=$2; shift 2 ;;
    *) echo "screenshots: unknown argument $1" >&2; exit 2 ;;
  esac
done
parse_args --bin "$bin" --routersim "$routersim"
mkdir -p "$out"
out=$(cd "$out" && pwd)
suffix=""
[ "$dpi" = 96 ] || suffix="-${dpi}dpi"
# The screen grows with the dots per inch, so the windows keep their room on it.
screen=$((1024 * dpi / 96))x$((768 * dpi / 96))

begin_work
use_prefix "$bin/shots-wineprefix-$dpi"
wine reg add 'HKCU\Control Panel\Desktop' /v LogPixels /t REG_DWORD /d "$dpi" /f >/dev/null 2>&1
start_xvfb "$screen"
# The line's figures wander quickly enough for the Line History shot to show it.
start_routersim --firmware 3.12.0 --preset pppoe --dsl-drift 90
offer_address
driver_options=(desktop tarnwick timeout 30000)

# The current window of the driver commands given, with a margin of the desktop around it.
shot() {  # name driver-commands...
  local name=$1$suffix
  shift
  local rect
  rect=$(driver "$@" screenshot-ready read-rect | tail -n1)
  read -r x y w h <<<"$rect"
  local m=12
  import -window root "$work/full.png"
  convert "$work/full.png" -crop "$((w + 2 * m))x$((h + 2 * m))+$((x > m ? x - m : 0))+$((y > m ? y - m : 0))" \
    +repage "$out/$name.png"
  echo "screenshots: $out/$name.png"
}

(cd "$work" && exec wine explorer /desktop=tarnwick,"$screen" "$bin/tarnwick.exe") &
pids+=($!)
driver wait-window "Log In" >/dev/null
# A refused connection: the Possible Errors dialog.
driver wait-window "Log In" set-text "$IDC_LOGIN_ADDRESS" 127.0.0.1:1 \
  set-text "$IDC_LOGIN_PASSWORD" "$password" press "$IDOK" >/dev/null
shot possible-errors wait-window "Possible Errors"
driver wait-window "Possible Errors" press "$IDOK" wait-gone "Possible Errors" >/dev/null
driver wait-window "Log In" set-text "$IDC_LOGIN_ADDRESS" "$address" \
  set-text "$IDC_LOGIN_PASSWORD" "$password" >/dev/null
shot login wait-window "Log In"
driver wait-window "Log In" press "$IDOK" >/dev/null
shot general wait-window Tarnwick
load_ids app/SheetIds.h
driver wait-window Tarnwick syscommand "$IDM_ABOUT" >/dev/null
shot about wait-window "About Tarnwick"
driver wait-window "About Tarnwick" press "$IDOK" wait-gone "About Tarnwick" >/dev/null
# A DHCP server and DNS relay for the DHCP page and two port forwards for the NAT inbound
# dialog to show, set up through the console client.
dhcp=("flush" "add allow unknown-clients;" "add subnet 192.168.1.0 netmask 255.255.255.0" "add {"
  "add range 192.168.1.100 192.168.1.199;" "add option subnet-mask 255.255.255.0;"
  "add option routers 192.168.1.1;" "add option domain-name-servers 192.0.2.53,192.0.2.54;"
  "add max-lease-time 86400;" "add }" "confirm")
TARNWICK_PASSWORD=$password "$(dirname "$routersim")/../cli/tarnwick-cli" \
  --port "${address##*:}" "${address%:*}" "${dhcp[@]/#/dhcpserver config }" \
  "dnsrelay server 192.0.2.53" "nat inbound add ppp_device 80/tcp 192.168.1.10" \
  "nat inbound add ppp_device 8080/udp 192.168.1.20" >/dev/null
# A page reads the router when it is shown.
mapfile -t labels < <(driver wait-window Tarnwick read-tabs | tail -n +2)
for label in "${labels[@]}"; do
  name=$(sed -E 's/[^A-Za-z0-9]+/-/g' <<<"$label" | tr 'A-Z' 'a-z')
  [ -z "${TARNWICK_SHOT_PAGES:-}" ] || [[ " $TARNWICK_SHOT_PAGES " == *" $name "* ]] || continue
  driver wait-window Tarnwick select-tab "$label" sleep 1500 >/dev/null
  shot "$name" wait-window Tarnwick
done
if [ -z "${TARNWICK_SHOT_PAGES:-}" ] || [[ " $TARNWICK_SHOT_PAGES " == *" nat-inbound "* ]]; then
  load_ids line/CLINEIds.h lan/CINBOUNDIds.h
  open_page "Line Configuration" wait-enabled "$IDC_LINE_INBOUND" 1 press "$IDC_LINE_INBOUND" \
    >/dev/null
  shot nat-inbound wait-window Inbound wait-row "$IDC_INBOUND_LIST" 8080/UDP
  driver wait-window Inbound press "$IDCANCEL" wait-gone Inbound >/dev/null
fi
wanted() { [ -z "${TARNWICK_SHOT_PAGES:-}" ] || [[ " $TARNWICK_SHOT_PAGES " == *" $1 "* ]]; }
if wanted multiple-pvc; then
  load_ids line/CLINEIds.h multipvc/CMULTIPVCIds.h
  open_page "Line Configuration" press "$IDC_LINE_MULTIPLE_PVC" >/dev/null
  shot multiple-pvc wait-window "Multiple PVC" wait-row "$IDC_MULTIPVC_LIST" "RFC 2516 (PPPoE)"
  driver wait-window "Multiple PVC" press "$IDC_MULTIPVC_CLOSE" wait-gone "Multiple PVC" >/dev/null
fi
# The Line Configuration page's look in two more protocols (chosen, not applied).
for protocol in routed pppoa; do
  wanted "line-configuration-$protocol" || continue
  load_ids line/CLINEIds.h
  id=IDC_LINE_${protocol^^}
  open_page "Line Configuration" click "${!id}" screenshot-ready >/dev/null
  shot "line-configuration-$protocol" wait-window Tarnwick
done
if wanted restore-settings; then
  # A change applied on the Line page, then Undo Last Change: the comparison before it restores.
  load_ids line/CLINEIds.h app/CompareDialogIds.h
  open_page "Line Configuration" click "$IDC_LINE_ROUTED" wait-enabled "$IDC_LINE_WAN_IP1" 1 \
    set-text "$IDC_LINE_WAN_IP1" 192 set-text "$IDC_LINE_WAN_IP2" 0 set-text "$IDC_LINE_WAN_IP3" 2 \
    set-text "$IDC_LINE_WAN_IP4" 10 set-text "$IDC_LINE_GATEWAY1" 192 set-text "$IDC_LINE_GATEWAY2" 0 \
    set-text "$IDC_LINE_GATEWAY3" 2 set-text "$IDC_LINE_GATEWAY4" 1 \
    set-text "$IDC_LINE_WAN_MASK1" 255 set-text "$IDC_LINE_WAN_MASK2" 255 \
    set-text "$IDC_LINE_WAN_MASK3" 255 set-text "$IDC_LINE_WAN_MASK4" 252 \
    press "$IDC_LINE_APPLY" read-message press-message-button >/dev/null
  driver wait-window Tarnwick syscommand "$IDM_UNDO_CHANGE" >/dev/null
  shot restore-settings wait-window "Restore Settings" wait-row "$IDC_COMPARE_LIST" Protocol
  driver wait-window "Restore Settings" press "$IDOK" wait-gone "Restore Settings" \
    wait-window Tarnwick press-message-button >/dev/null
fi
if wanted line-history; then
  # The DSL Monitoring page polls while it is shown; halfway the line is retrained.
  driver wait-window Tarnwick select-tab "DSL Monitoring" syscommand "$IDM_LINE_HISTORY" \
    wait-window "Line History" >/dev/null
  sleep 60
  TARNWICK_PASSWORD=$password "$(dirname "$routersim")/../cli/tarnwick-cli" \
    --port "${address##*:}" "${address%:*}" " bsp down" " bsp up" >/dev/null
  sleep 60
  shot line-history wait-window "Line History"
fi
driver wait-window Tarnwick press "$IDOK" >/dev/null
