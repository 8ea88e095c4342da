#!/usr/bin/env bash
# End-to-end: Line History opens from the sheet's system menu, plots what the DSL Monitoring
# page reads at each refresh, survives a resize, and exports its samples as CSV.
# Usage: scripts/e2e/line-history.sh --routersim PATH --bin DIR [--prefix DIR]
set -euo pipefail
. "$(dirname "$0")/lib.sh"
e2e_setup "$@"
load_ids app/SheetIds.h monitor/CMONITORIds.h win32/PlotWindowIds.h
start_routersim --dsl-drift 30
login_to_sheet

plot_window() { driver wait-window "Line History" "$@"; }
samples() { plot_window read-text "$IDC_PLOT_SUMMARY" | sed -n 's/^\([0-9]*\) samples\{0,1\},.*/\1/p'; }
# Waits until the window counts at least N samples (10 s at most); prints the count.
wait_samples() {  # n
  local n=0
  for _ in $(seq 100); do
    n=$(samples)
    [ "${n:-0}" -ge "$1" ] && break
    sleep 0.1
  done
  echo "${n:-0}"
}
# Pixels in the window of the colour the downstream series is drawn in.
downstream_pixels() {
  local x y w h
  read -r x y w h < <(plot_window screenshot-ready read-rect | tail -n1)
  import -window root "$work/screen.png"
  convert "$work/screen.png" -crop "${w}x${h}+${x}+${y}" +repage -fill black +opaque "rgb(31,95,191)" \
    -fill white -opaque "rgb(31,95,191)" -format "%[fx:round(mean*w*h)]" info:
}

echo "Line History: opened from the system menu before anything was read"
out=$(driver wait-window Tarnwick syscommand "$IDM_LINE_HISTORY" wait-window "Line History" \
  read-text "$IDC_PLOT_SUMMARY")
check "it says there is nothing yet" "No samples yet: the DSL Monitoring page adds one at each refresh." "$out"
legend=$(downstream_pixels)

echo "Line History: a sample at each refresh of the page, plotted as it comes"
from=$(mark)
open_page "DSL Monitoring" wait-text "$IDC_DSL_LINK_STATUS" Alive >/dev/null
n=$(wait_samples 3)
check "three refreshes, three samples" yes "$([ "$n" -ge 3 ] && echo yes || echo "no: $n")"
check "no traffic beyond the page's own listings" "" \
  "$(received "$from" | grep -vxF -e 'admin\r\n' -e 'home \r\n' -e 'bsp channel\r\n' -e 'bsp mode\r\n' \
    -e 'bsp line\r\n' -e 'bun list channels\r\n' || true)"
plotted=$(downstream_pixels)
check "the downstream series is drawn beyond its legend" yes \
  "$([ "$plotted" -gt $((legend + 40)) ] && echo yes || echo "no: $plotted vs $legend")"

echo "Line History: resized, it keeps plotting"
check "the new size" "560 380" "$(plot_window resize 560 380 read-rect | tail -n1 | cut -d' ' -f3-)"
n=$(wait_samples $((n + 1)))
plotted=$(downstream_pixels)
check "still drawn at the new size" yes \
  "$([ "$plotted" -gt $((legend + 40)) ] && echo yes || echo "no: $plotted vs $legend")"

echo "Line History: Export CSV writes every sample"
csv="$work/history.csv"
file_name_box=1148  # of the common Save As dialog
plot_window press "$IDC_PLOT_EXPORT" wait-window "Export CSV" \
  set-text "$file_name_box" "Z:$(tr / '\\' <<<"$csv")" press "$IDOK" wait-gone "Export CSV" >/dev/null
for _ in $(seq 50); do [ -s "$csv" ] && break; sleep 0.1; done
check "the header row" "time,link,adsl_mode,operation_mode,down_fast_kbps,down_interleaved_kbps,up_fast_kbps,up_interleaved_kbps,down_noise_margin_db,up_noise_margin_db,down_attenuation_db,up_attenuation_db,down_power_dbm,up_power_dbm,tx_packets,rx_good_packets,rx_bad_packets" \
  "$(head -n1 "$csv" | tr -d '\r')"
rows=$(($(wc -l <"$csv") - 1))
check "a row per sample shown" yes "$([ "$rows" -ge "$n" ] && echo yes || echo "no: $rows < $n")"
check "every row is the line up" "" "$(tail -n +2 "$csv" | cut -d, -f2 | grep -vx Alive || true)"

close_sheet
e2e_finish
