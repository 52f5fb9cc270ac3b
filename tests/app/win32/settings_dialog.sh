#!/bin/bash
# The settings dialog of the real program, worked through the GUI driver inside the Wine
# session of the test run: what it shows of the record, refused entries, Defaults,
# Cancel, the folder browser, the probe-tone tool on the main record, OK into VORN.ini,
# and one sound device (ALSA's null device) stored as index 0 at once.
# Prints "N passed, M failed" and exits non-zero on any failure.
set -uo pipefail
tree=$(cd "$1" && pwd)
scripts=$(cd "$(dirname "$0")/../../../scripts" && pwd)
if [ -z "${VORN_WINE_SESSION:-}" ]; then  # run on its own: make a Wine session for it
    export WINEPREFIX="${WINEPREFIX:-$tree/wineprefix}"
    exec "$scripts/wine-session.sh" bash "$0" "$@"
fi
source "$scripts/e2e-lib.sh"

dialog=Settings probe="Add Probe Tone " browser="Browse for Folder"
work="$tree/settings-scratch"
rm -rf "$work"
mkdir -p "$work/bin" "$work/data/Output"
cp "$tree/app/VORN.exe" "$work/bin/"
data=$(winpath "$work/data")
ini="$work/bin/VORN.ini"
trap '[ -n "${vorn_pid:-}" ] && kill "$vorn_pid" 2>/dev/null; true' EXIT

open_settings() { driver click "$caption" 1024 >/dev/null && driver wait "$dialog" 10000 >/dev/null; }
close() { driver click "$1" 2 >/dev/null && driver gone "$1" 5000; }  # its Cancel or Done
close_vorn() { driver close "$caption" && wait "$vorn_pid"; vorn_pid=; }
ini_holds() { grep -qxF "$1"$'\r' "$ini" || { echo "     no line \"$1\" in VORN.ini"; return 1; }; }
shows() {  # lines "driver-command|id|expected"
    while IFS='|' read -r command id expected; do
        check "$1: $command $id is \"$expected\"" equals "$(driver "$command" "$dialog" "$id")" "$expected"
    done
}

write_ini "$ini" "$data" "" 5.0 1.0 1
start_vorn "$work/bin/VORN.exe"
open_settings
check "Settings... opens the settings dialog" driver wait "$dialog" 1000
shows "at start" <<EOF
text|1025|   5.0
text|1026|  30.0
text|1027| 150.0
text|1043|   1.0
text|1048|   1.0
text|1039|$data
checked|1044|1
checked|1058|0
combo|1056|0 -1
combo|1057|0 -1
EOF

# Refused entries: the first failing check's message, and the dialog keeps the entries.
while IFS='|' read -r entries message; do
    driver click "$dialog" 1037 >/dev/null  # each case starts from valid values
    for e in $entries; do driver settext "$dialog" "${e%%=*}" "${e#*=}"; done
    driver click "$dialog" 1 >/dev/null
    check "$entries is refused" equals "$(driver answer VORN ok 10000)" "$message"
    driver gone VORN 5000
    first=${entries%% *}
    check "the dialog stays open with $first" equals "$(driver text "$dialog" "${first%%=*}")" "${first#*=}"
done <<'EOF'
1025=4.0|Test Duration must be between 4.0 and 360.0
1026=10|Invalid Start Frequency
1027=10000.1|Invalid Stop Frequency
1026=1000 1027=200|Start Frequency must be less than the Stop Frequency
1043=0|Corwith scale factor must be greater than zero.
1048=abc 1025=0|Test Duration must be between 4.0 and 360.0
EOF

driver check "$dialog" 1044 1
driver check "$dialog" 1058 1
driver click "$dialog" 1037 >/dev/null
shows "after Defaults" <<EOF
text|1025|10.0
text|1026|30.0
text|1027|150.0
text|1043|1.0
text|1048|10.0
checked|1044|0
checked|1058|0
text|1039|$data
EOF

check "Cancel closes the dialog" close "$dialog"
open_settings
check "after Cancel the record is unchanged" equals "$(driver text "$dialog" 1025)" "   5.0"

driver click "$dialog" 1038 >/dev/null
driver wait "$browser" 10000 >/dev/null
check "the folder browser has its title" equals "$(driver browse "$browser" "$data\\Output")" "Select folder to store output files"
check "the chosen folder is shown" equals "$(driver waittext "$dialog" 1039 "$data\\Output" 5000)" "$data\\Output"

for e in 1025=12.5 1026=40 1027=2000 1043=1.26 1048=3; do driver settext "$dialog" "${e%%=*}" "${e#*=}"; done
driver check "$dialog" 1044 0
driver check "$dialog" 1058 1
driver click "$dialog" 1 >/dev/null
check "OK closes the dialog" driver gone "$dialog" 5000
open_settings
check "the record holds what OK stored" equals "$(driver text "$dialog" 1043)" "   1.3"

# The probe-tone tool stores its values in the main record: they outlive this Cancel.
driver click "$dialog" 1050 >/dev/null
check "the button opens the probe-tone tool" driver wait "$probe" 10000
check "the tool shows the record's probe frequency" equals "$(driver text "$probe" 1052)" " 226.0"
driver settext "$probe" 1052 1000
driver settext "$probe" 1053 -20
driver click "$probe" 1055 >/dev/null
check "accepted probe values lead to the stimulus file dialog" driver wait "Select Stimulus File" 10000
close "Select Stimulus File"
close "$probe"
close "$dialog"
close_vorn
while read -r line; do check "VORN.ini holds $line" ini_holds "$line"; done <<EOF
TestDuration=12.500000
SpanStartFreq=40.000000
SpanStopFreq=2000.000000
OutputFolder=$data\\Output
AutoProcess=0
AutoProcessDelay=3.000000
CorwithNumberScaleFactor=1.260000
InputDevIndex=-1
OutputDevIndex=-1
MinimizeAnalyzer=1
ProbeFreq=1000.000000
ProbeLevelDBr=-20.000000
EOF

# One sound device: both indexes become 0 as the dialog opens and stay 0 after Cancel.
printf '</usr/share/alsa/alsa.conf>\npcm.!default { type null }\nctl.!default { type hw card 0 }\n' >"$work/alsa-null.conf"
write_ini "$ini" "$data" "" 5.0 1.0 0
sed -i 's/^InputDevIndex=0/InputDevIndex=3/; s/^OutputDevIndex=0/OutputDevIndex=2/' "$ini"
ALSA_CONFIG_PATH="$work/alsa-null.conf" start_vorn "$work/bin/VORN.exe"
open_settings
shows "one device" <<'EOF'
combo|1056|1 0
combo|1057|1 0
EOF
close "$dialog"
close_vorn
check "the input index is 0 after Cancel" ini_holds "InputDevIndex=0"
check "the output index is 0 after Cancel" ini_holds "OutputDevIndex=0"

echo "$passed passed, $failed failed"
[ "$failed" -eq 0 ]
