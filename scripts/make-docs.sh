#!/bin/bash
# `make docs`: the manual's screenshots (docs/manual-*.png), taken from the real program
# against the substitute analyzer in a Wine session, worked through the GUI driver:
# the main dialog during and after a whole automatic test, the settings dialog, the
# probe-tone tool, and a test whose processing the analyzer refuses.
#   scripts/make-docs.sh WINDOWS_TREE
set -euo pipefail
tree=$(cd "$1" && pwd)
here=$(cd "$(dirname "$0")/.." && pwd)
source "$here/scripts/e2e-lib.sh"
in_wine_session "$0" "$@"
docs="$here/docs"

# The data folder where an installation keeps it, so the pictures show C:\VORNData.
make_workspace docs
data="$WINEPREFIX/drive_c/VORNData"
prepare_data_folder "$data"
write_ini "$work/bin/VORN.ini" 'C:\VORNData' 'C:\VORNData\Stimulus\PinkNoise.wav' 5.0 2.0 1
cleanup() {
    [ -n "${vorn_pid:-}" ] && kill "$vorn_pid" 2>/dev/null
    stop_analyzer
}
trap cleanup EXIT
shot() { sleep 0.5; screenshot "$1" "$docs/$2"; echo "docs/$2"; }
run_program() { start_vorn "$work/bin/VORN.exe"; }
close_program() { driver close "$caption" >/dev/null; wait "$vorn_pid" || true; vorn_pid=; }

start_analyzer
run_program
driver click "$caption" IDC_CAPTURE_SEALED >/dev/null
driver waittext "$caption" IDC_CAPTURE_SEALED Cancel 15000 >/dev/null
sleep 2
shot "$caption" manual-main-running.png
driver waittext "$caption" IDC_CORWITH_RESULT "Corwith Number =" 120000 >/dev/null
shot "$caption" manual-main-done.png

driver click "$caption" IDC_SETTINGS >/dev/null
driver wait Settings 10000 >/dev/null
shot Settings manual-settings.png
driver click Settings IDC_ADD_PROBE_TONE >/dev/null
driver wait "Add Probe Tone " 10000 >/dev/null
shot "Add Probe Tone " manual-probe.png
driver click "Add Probe Tone " IDCANCEL >/dev/null
driver gone "Add Probe Tone " 5000 >/dev/null
driver click Settings IDCANCEL >/dev/null
driver gone Settings 5000 >/dev/null
close_program
stop_analyzer

# The analyzer refuses to merge the captures: the processing step fails.
start_analyzer --refuse "[File Merge"
run_program
driver click "$caption" IDC_CAPTURE_SEALED >/dev/null
driver waittext "$caption" IDC_CORWITH_RESULT "Processing failed" 120000 >/dev/null
shot "$caption" manual-failed.png
close_program
