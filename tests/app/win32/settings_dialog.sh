#!/bin/bash
# The settings dialog of the real program, worked through the GUI driver as an operator
# would, inside the Wine session of the test run:
#  1. "Settings..." opens it showing the record: numbers with one decimal, folder, ticks,
#     and empty device lists (no sound card here);
#  2. each refused entry shows its message and the dialog stays open with the entries;
#  3. Defaults; 4. Cancel stores nothing; 5. the folder browser, cancelled and used;
#  6. OK stores, and VORN.ini holds the values after the program closes, with the probe
#     values that the probe-tone tool opened from the dialog stored in the main record;
#  7. with exactly one sound device (ALSA's null device) both indexes become 0 as soon
#     as the dialog opens, even when it is then cancelled.
# Prints "N passed, M failed" and exits non-zero on any failure.
set -uo pipefail
tree=$(cd "$1" && pwd)
scripts=$(cd "$(dirname "$0")/../../../scripts" && pwd)
if [ -z "${VORN_WINE_SESSION:-}" ]; then  # run on its own: make a Wine session for it
    export WINEPREFIX="${WINEPREFIX:-$tree/wineprefix}"
    exec "$scripts/wine-session.sh" bash "$0" "$@"
fi
source "$scripts/e2e-lib.sh"

dialog=Settings
browser="Browse for Folder"
probe="Add Probe Tone "
work="$tree/settings-scratch"
rm -rf "$work"
mkdir -p "$work/bin" "$work/data/Output"
cp "$tree/app/VORN.exe" "$work/bin/"
data=$(winpath "$work/data")
ini="$work/bin/VORN.ini"
cleanup() {
    [ -n "${vorn_pid:-}" ] && kill "$vorn_pid" 2>/dev/null
    return 0
}
trap cleanup EXIT

open_settings() {
    driver click "$caption" 1024 >/dev/null
    driver wait "$dialog" 10000 >/dev/null
}
close_vorn() {
    driver close "$caption"
    wait "$vorn_pid"
    vorn_pid=
}
set_entries() {  # set_entries ID=TEXT...
    local a
    for a in "$@"; do driver settext "$dialog" "${a%%=*}" "${a#*=}"; done
}
ini_holds() { grep -qxF "$1"$'\r' "$ini" || { echo "     no line \"$1\" in VORN.ini"; return 1; }; }

write_ini "$ini" "$data" "" 5.0 1.0 1
start_vorn "$work/bin/VORN.exe"

# 1. What the dialog shows of the record.
open_settings
check "Settings... opens the settings dialog" driver wait "$dialog" 1000
while IFS='|' read -r command id expected; do
    check "$command $id shows \"$expected\"" equals "$(driver "$command" "$dialog" "$id")" "$expected"
done <<'EOF'
text|1025|   5.0
text|1026|  30.0
text|1027| 150.0
text|1043|   1.0
text|1048|   1.0
checked|1044|1
checked|1058|0
combo|1056|0 -1
combo|1057|0 -1
EOF
check "1039 shows the output folder" equals "$(driver text "$dialog" 1039)" "$data"

# 2. Refused entries: the first failing check's message, and the dialog keeps the entries.
while IFS='|' read -r entries message; do
    driver click "$dialog" 1037 >/dev/null  # start each case from valid values
    set_entries $entries
    driver click "$dialog" 1 >/dev/null
    check "$entries is refused" equals "$(driver answer VORN ok 10000)" "$message"
    first=${entries%% *}
    driver gone VORN 5000
    check "the dialog stays open with $first" equals "$(driver text "$dialog" "${first%%=*}")" "${first#*=}"
done <<'EOF'
1025=4.0|Test Duration must be between 4.0 and 360.0
1025=360.1|Test Duration must be between 4.0 and 360.0
1026=10|Invalid Start Frequency
1027=10000.1|Invalid Stop Frequency
1026=1000 1027=200|Start Frequency must be less than the Stop Frequency
1043=0|Corwith scale factor must be greater than zero.
1048=abc|Start delay time must be greater than zero.
1025=0 1048=0|Test Duration must be between 4.0 and 360.0
EOF

# 3. Defaults: the store's defaults, no ticks; the folder stays.
driver check "$dialog" 1044 1
driver check "$dialog" 1058 1
driver click "$dialog" 1037 >/dev/null
while IFS='|' read -r command id expected; do
    check "after Defaults $command $id is \"$expected\"" equals "$(driver "$command" "$dialog" "$id")" "$expected"
done <<EOF
text|1025|10.0
text|1026|30.0
text|1027|150.0
text|1043|1.0
text|1048|10.0
checked|1044|0
checked|1058|0
text|1039|$data
EOF

# 4. Cancel stores nothing: the record still holds the duration of the INI.
driver click "$dialog" 2 >/dev/null
check "Cancel closes the dialog" driver gone "$dialog" 5000
open_settings
check "after Cancel the record is unchanged" equals "$(driver text "$dialog" 1025)" "   5.0"

# 5. The folder browser: Cancel leaves the display, a chosen folder replaces it.
driver click "$dialog" 1038 >/dev/null
driver wait "$browser" 10000 >/dev/null
driver click "$browser" 2 >/dev/null
driver gone "$browser" 5000
check "a cancelled browser leaves the folder" equals "$(driver text "$dialog" 1039)" "$data"
driver click "$dialog" 1038 >/dev/null
driver wait "$browser" 10000 >/dev/null
check "the browser has its title" equals "$(driver browse "$browser" "$data\\Output")" "Select folder to store output files"
check "the chosen folder is shown" equals "$(driver waittext "$dialog" 1039 "$data\\Output" 5000)" "$data\\Output"

# 6. OK stores the entries; the INI holds them after a normal close.
set_entries 1025=12.5 1026=40 1027=2000 1043=1.26 1048=3
driver check "$dialog" 1044 0
driver check "$dialog" 1058 1
driver click "$dialog" 1 >/dev/null
check "OK closes the dialog" driver gone "$dialog" 5000
open_settings
check "the record holds what OK stored" equals "$(driver text "$dialog" 1043)" "   1.3"

# The probe-tone tool from this dialog stores its values in the main record: they stay
# when the settings dialog is then cancelled.
driver click "$dialog" 1050 >/dev/null
check "the button opens the probe-tone tool" driver wait "$probe" 10000
check "the tool shows the record's probe frequency" equals "$(driver text "$probe" 1052)" " 226.0"
driver settext "$probe" 1052 1000
driver settext "$probe" 1053 -20
driver click "$probe" 1055 >/dev/null
check "accepted probe values lead to the stimulus file dialog" driver wait "Select Stimulus File" 10000
driver click "Select Stimulus File" 2 >/dev/null
driver gone "Select Stimulus File" 5000
driver click "$probe" 2 >/dev/null
driver gone "$probe" 5000
driver click "$dialog" 2 >/dev/null
driver gone "$dialog" 5000
close_vorn
while read -r line; do
    check "VORN.ini holds $line" ini_holds "$line"
done <<EOF
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

# 7. One sound device: the indexes become 0 at once and stay 0 after Cancel.
cat >"$work/alsa-null.conf" <<'EOF'
</usr/share/alsa/alsa.conf>
pcm.!default { type null }
ctl.!default { type hw card 0 }
EOF
write_ini "$ini" "$data" "" 5.0 1.0 0
sed -i 's/^InputDevIndex=0/InputDevIndex=3/; s/^OutputDevIndex=0/OutputDevIndex=2/' "$ini"
ALSA_CONFIG_PATH="$work/alsa-null.conf" start_vorn "$work/bin/VORN.exe"
open_settings
check "one input device is listed and selected" equals "$(driver combo "$dialog" 1056)" "1 0"
check "one output device is listed and selected" equals "$(driver combo "$dialog" 1057)" "1 0"
driver click "$dialog" 2 >/dev/null
driver gone "$dialog" 5000
close_vorn
check "the input index is 0 after Cancel" ini_holds "InputDevIndex=0"
check "the output index is 0 after Cancel" ini_holds "OutputDevIndex=0"

echo "$passed passed, $failed failed"
[ "$failed" -eq 0 ]
