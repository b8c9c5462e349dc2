#!/bin/bash
# CTest fixture clean-up of the Wine tests: ends the run's Wine processes and its Xvfb. The
# prefix stays for a look after the run; the next set-up removes it.
set -uo pipefail
# shellcheck source=tests/wine/wine-env.sh
source "$(dirname "$(readlink -f "${BASH_SOURCE[0]}")")/wine-env.sh"

if [ -d "$wine_prefix" ]; then as_wine_user wineserver -k 2> /dev/null; fi
if [ -f "$wine_state/xvfb.pid" ]; then
    pid=$(cat "$wine_state/xvfb.pid")
    kill "$pid" 2> /dev/null
    for _ in $(seq 50); do
        kill -0 "$pid" 2> /dev/null || break
        sleep 0.1
    done
    rm -f "$wine_state/xvfb.pid" "$wine_state/display"
fi
# Wine keeps folders of its own ("wine-XXXXXX") in the temporary directory while it runs; with
# its server ended they are left, and they are Wine's, not a test's.
if [ -n "${TMPDIR:-}" ]; then
    for folder in "$TMPDIR"/wine-??????; do
        [ -d "$folder" ] && rm -rf "$folder"
    done
fi
echo "cleanup-prefix: Wine and Xvfb ended"
exit 0
