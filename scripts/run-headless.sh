#!/bin/bash
# The headless half of `make run`, inside a Wine session (scripts/wine-session.sh):
# prepares C:\VORNData, registers and starts the substitute analyzer, starts VORN.exe,
# runs one whole automatic test through the GUI, prints the two total powers and the
# Corwith Number, saves a screenshot and closes the program normally.
set -euo pipefail
tree=$1
here=$(cd "$(dirname "$0")/.." && pwd)
source "$here/scripts/e2e-lib.sh"

data="$WINEPREFIX/drive_c/VORNData"
prepare_data_folder "$data"
rm -f "$data"/Output/*.wav
write_ini "$tree/app/VORN.ini" 'C:\VORNData' 'C:\VORNData\Stimulus\PinkNoise.wav' 5.0 2.0 1
register_analyzer
start_analyzer
trap 'stop_analyzer; kill ${vorn_pid:-} 2>/dev/null || true' EXIT
start_vorn "$tree/app/VORN.exe"

echo "Running one automatic test (sealed capture, open capture, processing)..."
started=$(date +%s.%N)
driver click "$caption" 1007 >/dev/null
driver waittext "$caption" 1042 "Corwith Number =" 180000 >/dev/null
finished=$(date +%s.%N)
sealed=$(driver text "$caption" 1045)
open=$(driver text "$caption" 1046)
corwith=$(driver text "$caption" 1042)
echo "Sealed capture: $sealed"
echo "Open capture:   $open"
echo "Result:         $corwith"
awk -v a="$started" -v b="$finished" 'BEGIN { printf "Whole test took %.1f s\n", b - a }'

sleep 0.5
shots=$(mkdir -p "$tree/../screenshots" && cd "$tree/../screenshots" && pwd)
screenshot "$caption" "$shots/main-dialog.png"
echo "Screenshot: $shots/main-dialog.png"
ls "$data/Output"

driver close "$caption"
wait "$vorn_pid"
vorn_pid=
echo "VORN.exe closed normally; settings in $tree/app/VORN.ini"
