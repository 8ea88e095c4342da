#!/usr/bin/env bash
# End-to-end: the DSL Monitoring page polls the line while it is shown, and only then.
# Usage: scripts/e2e/dsl-monitoring.sh --routersim PATH --bin DIR [--prefix DIR]
set -euo pipefail
. "$(dirname "$0")/lib.sh"
e2e_setup "$@"
load_ids monitor/CMONITORIds.h
start_routersim
login_to_sheet

echo "DSL Monitoring: polling while the page is shown"
listing=('bsp channel\r\n' 'bsp mode\r\n' 'bsp line\r\n' 'bun list channels\r\n')
from=$(mark)
out=$(open_page "DSL Monitoring" wait-text "$IDC_DSL_LINK_STATUS" Alive read-text "$IDC_DSL_LINK_STATUS")
check "the line is up" "Alive" "$out"
wait_line "$from" 'bun list channels\r\n'
check "a fresh log-in, then the four listings" "$(lines "${listing[@]}")" "$(after_login | sed -n 1,4p)"
# The next refresh comes a poll period (3 s) after this one ended; then let it finish.
wait_count "$from" 'bsp channel\r\n' 2 4
wait_count "$from" 'bun list channels\r\n' 2
# Opening the page reads the mode once on the old connection; from the log-in on, only
# whole refreshes.
polled=$(after_login)
refreshes=$(grep -cxF 'bsp channel\r\n' <<<"$polled" || true)
check "the page refreshed more than once in 4 s" yes "$([ "$refreshes" -ge 2 ] && echo yes || echo "no: $refreshes")"
check "each refresh is the four commands in order" \
  "$(for _ in $(seq "$refreshes"); do lines "${listing[@]}"; done)" "$polled"

open_page General >/dev/null
from=$(mark)
# Longer than a poll period: proving that nothing comes needs the time.
sleep 3.5
check "leaving the page stops the polling" "" "$(received "$from")"

e2e_finish
