#!/bin/bash
# The headless half of `make run`, inside a Wine session (scripts/wine-session.sh).
set -euo pipefail
tree=$1
here=$(cd "$(dirname "$0")/.." && pwd)
wine_run="$here/cmake/wine-run.sh"
driver() { "$wine_run" "$tree/tools/VornDriver.exe" "$@" | tr -d '\r'; }
shots="$tree/../screenshots"
mkdir -p "$shots"
caption="VORN Test Control"

"$wine_run" "$tree/app/VORN.exe" &
vorn=$!
trap 'kill $vorn 2>/dev/null || true' EXIT

driver wait "$caption" 20000 >/dev/null
sleep 0.5   # let Wine finish painting
wid=$(xwininfo -name "$caption" | awk '/Window id:/ {print $4}')
shot="$(cd "$shots" && pwd)/main-dialog.png"
import -window "$wid" "$shot"
echo "Screenshot of the main dialog: $shot"

driver close "$caption"
wait $vorn
trap - EXIT
echo "VORN.exe closed normally; settings written to $tree/app/VORN.ini"
