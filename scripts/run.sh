#!/bin/bash
# `make run`: the program against the substitute analyzer under Wine.
# With a display the operator works it (C:\VORNData is prepared, the analyzer is
# registered and started) and the script returns when the program ends. Without one
# (no DISPLAY, or VORN_HEADLESS=1) it runs one whole automatic test on a private Xvfb
# screen, prints the results and saves a screenshot (scripts/run-headless.sh).
#   scripts/run.sh build/windows
set -euo pipefail
tree=$(cd "${1:-build/windows}" && pwd)
here=$(cd "$(dirname "$0")/.." && pwd)
export WINEPREFIX="${WINEPREFIX:-$tree/wineprefix}"

if [ -n "${DISPLAY:-}" ] && [ -z "${VORN_HEADLESS:-}" ]; then
    exec "$here/scripts/wine-session.sh" bash "$here/scripts/run-interactive.sh" "$tree"
fi
unset DISPLAY
exec "$here/scripts/wine-session.sh" bash "$here/scripts/run-headless.sh" "$tree"
