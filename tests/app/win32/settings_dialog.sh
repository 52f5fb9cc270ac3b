#!/bin/bash
# The settings dialog of the real program through the GUI driver in the test run's Wine session:
# a refused entry, Defaults, Cancel, the folder browser, the probe-tone tool, OK into VORN.ini.
set -uo pipefail
tree=$(cd "$1" && pwd)
source "$(dirname "$0")/../../../scripts/e2e-lib.sh"
in_wine_session "$0" "$@"

dialog=Settings probe="Add Probe Tone " browser="Browse for Folder"
make_workspace settings
mkdir -p "$work/data/Output"
data=$(winpath "$work/data")
ini="$work/bin/VORN.ini"
trap '[ -n "${vorn_pid:-}" ] && kill "$vorn_pid" 2>/dev/null; true' EXIT

open_settings() { driver click "$caption" IDC_SETTINGS >/dev/null && driver wait "$dialog" 10000 >/dev/null; }
close() { driver click "$1" IDCANCEL >/dev/null && driver gone "$1" 5000; }  # its Cancel or Done
enter() { local e; for e in "$@"; do driver settext "$dialog" "${e%%=*}" "${e#*=}"; done; }
shows() { check "$1 $2 shows \"$3\"" equals "$(driver "$1" "$dialog" "$2")" "$3"; }
# centred WINDOW OWNER: owned by OWNER ("" for none) and centred on it (on the screen without one).
centred() {
    local placed
    placed=$(driver placement "$1")
    [ "${placed%%|*}" = "$2" ] && [[ "${placed#*|}" =~ ^-?[01]\ -?[01]$ ]] || { echo "     got \"$placed\""; return 1; }
}
ini_holds() { grep -qxF "$1"$'\r' "$ini" || { echo "     no line \"$1\" in VORN.ini"; return 1; }; }

write_ini "$ini" "$data" "" 5.0 1.0 1
start_vorn "$work/bin/VORN.exe"
check "the main dialog is centred on the screen" centred "$caption" ""
open_settings
check "the settings dialog is centred on the main dialog" centred "$dialog" "$caption"
shows combo IDC_INPUT_DEVICE "0 -1"

# A refused entry: the first failing check's message, and the dialog keeps the entries.
enter IDC_AUTO_PROCESS_DELAY=abc IDC_SPAN_START=1000 IDC_SPAN_STOP=200
driver mouseclick "$dialog" IDOK >/dev/null
check "a refused entry names the first failing check" equals "$(driver answer VORN ok 10000)" \
    "Start Frequency must be less than the Stop Frequency"
driver gone VORN 5000
shows text IDC_AUTO_PROCESS_DELAY abc
sleep 0.3
check "after a click on OK the refused entry has the keyboard" equals "$(driver focus "$dialog")" IDC_SPAN_STOP

driver click "$dialog" IDC_DEFAULTS >/dev/null
shows text IDC_AUTO_PROCESS_DELAY 10.0
shows text IDC_OUTPUT_FOLDER_NAME "$data"
close "$dialog"
open_settings
check "after Cancel the record is unchanged" equals "$(driver text "$dialog" IDC_TEST_DURATION)" "5.0"

driver click "$dialog" IDC_OUTPUT_FOLDER >/dev/null
driver wait "$browser" 10000 >/dev/null
check "the folder browser is owned by the settings dialog" equals "$(driver placement "$browser" | cut -d'|' -f1)" "$dialog"
check "the folder browser has its title" equals "$(driver browse "$browser" "$data\\Output")" "Select folder to store output files"
driver gone "$browser" 2000 >/dev/null || close "$browser"  # a failed choice must not hold up the rest
check "the chosen folder is shown" equals "$(driver waittext "$dialog" IDC_OUTPUT_FOLDER_NAME "$data\\Output" 5000)" "$data\\Output"
enter IDC_TEST_DURATION=12.5 IDC_SCALE_FACTOR=1.26
driver check "$dialog" IDC_MINIMIZE_ANALYZER 1
driver click "$dialog" IDOK >/dev/null
check "OK closes the dialog" driver gone "$dialog" 5000
open_settings
shows text IDC_SCALE_FACTOR "1.26"  # the digits it needs, not rounded to one decimal

# The probe-tone tool stores its values in the main record: they outlive this Cancel.
driver click "$dialog" IDC_ADD_PROBE_TONE >/dev/null
check "the button opens the probe-tone tool" driver wait "$probe" 10000
check "the probe-tone tool is centred on the settings dialog" centred "$probe" "$dialog"
driver settext "$probe" IDC_PROBE_FREQ 1000
driver click "$probe" IDC_FILTER_AND_ADD_PROBE_TONE >/dev/null
check "accepted probe values lead to the stimulus file dialog" driver wait "Select Stimulus File" 10000
close "Select Stimulus File"
close "$probe"
driver click "$dialog" IDOK >/dev/null  # nothing touched: OK stores every value as it was
driver gone "$dialog" 5000 >/dev/null
driver close "$caption"
wait "$vorn_pid"
vorn_pid=
while read -r line; do check "VORN.ini holds $line" ini_holds "$line"; done <<EOF
TestDuration=12.500000
OutputFolder=$data\\Output
CorwithNumberScaleFactor=1.260000
InputDevIndex=-1
MinimizeAnalyzer=1
ProbeFreq=1000.000000
EOF

echo "$passed passed, $failed failed"
[ "$failed" -eq 0 ]
