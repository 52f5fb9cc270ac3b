#!/bin/bash
# `make run`: starts VORN.exe under Wine. With a display the operator works it and the
# script returns when the program ends. Without one (no DISPLAY), it runs on a private
# Xvfb screen: the script takes a screenshot of the main dialog, then closes the program
# normally so that VORN.ini is written beside it.
#   scripts/run.sh build/windows
set -euo pipefail
tree=$(cd "${1:-build/windows}" && pwd)
here=$(cd "$(dirname "$0")/.." && pwd)
export WINEPREFIX="${WINEPREFIX:-$tree/wineprefix}"

if [ -n "${DISPLAY:-}" ] && [ -z "${VORN_HEADLESS:-}" ]; then
    exec "$here/scripts/wine-session.sh" "$here/cmake/wine-run.sh" "$tree/app/VORN.exe"
fi
unset DISPLAY
exec "$here/scripts/wine-session.sh" bash "$here/scripts/run-headless.sh" "$tree"
