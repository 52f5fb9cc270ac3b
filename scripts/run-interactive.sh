#!/bin/bash
# The interactive half of `make run`, inside a Wine session on the operator's display.
set -euo pipefail
tree=$1
here=$(cd "$(dirname "$0")/.." && pwd)
source "$here/scripts/e2e-lib.sh"

data="$WINEPREFIX/drive_c/VORNData"
prepare_data_folder "$data"
# A first run starts from a short automatic test on the sample stimulus.
[ -f "$tree/app/VORN.ini" ] ||
    write_ini "$tree/app/VORN.ini" 'C:\VORNData' 'C:\VORNData\Stimulus\PinkNoise.wav' 10.0 10.0 1
register_analyzer
start_analyzer
trap stop_analyzer EXIT
echo "VORN Test Control is running; close its window to end."
"$wine_run" "$tree/app/VORN.exe"
