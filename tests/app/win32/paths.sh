#!/bin/bash
# OutputFolder and stimulus paths the operator may give, one table row each: the program
# starts with them in VORN.ini, one automatic test is pressed through the GUI driver,
# and the row's outcome must follow: the whole test to its Corwith Number with every
# file where it belongs, or exactly one clear message or failed label, never a crash.
# Paths hold blanks and letters of the ANSI code page (1252 here), and the longest
# folder the program takes (236 characters: its longest file below it then has 259).
# What the analyzer makes of a missing folder is its own affair: the substitute one
# takes it, its saves then fail, and the operator sees a failed capture.
# Prints one line per row and "N passed, M failed"; exits non-zero on any failure.
set -uo pipefail
tree=$(cd "$1" && pwd)
source_dir=$(cd "$(dirname "$0")/../../.." && pwd)
source "$source_dir/scripts/e2e-lib.sh"
in_wine_session "$0" "$@"
capture_failed=$(sed -n 's/.*kCaptureFailedText = "\([^"]*\)".*/\1/p' "$source_dir/app/TestSequence.h")

make_workspace paths
cleanup() {
    [ -n "${vorn_pid:-}" ] && kill "$vorn_pid" 2>/dev/null
    stop_analyzer
}
trap cleanup EXIT
start_analyzer --speed 5

# A folder NAME below $work; with LENGTH (not "-") its Windows path (Z:\...) is padded
# with "x" to exactly that many characters.
folder_of_length() {
    local base="$work/$2" length=$1
    [ "$length" = - ] && { printf '%s' "$base"; return; }
    local pad=$((length - $(winpath "$base" | iconv -f UTF-8 -t CP1252 | wc -c)))
    [ "$pad" -ge 0 ] || { echo "folder_of_length: $base is longer than $length" >&2; exit 2; }
    printf '%s%s' "$base" "$(printf '%*s' "$pad" '' | tr ' ' x)"
}

# name | output folder ("LEN:name": that many characters) | makes Config, Output, Stimulus |
# stimulus ("in": in the folder's Stimulus, "beside": in a short folder of its own) | outcome
rows=$(cat <<'EOF'
blanks and accents          | -:Mess daten é ü   | yes | in     | corwith
longest folder              | 236:Längste Mappe  | yes | beside | corwith
one character too long      | 237:Längste Mappe  | yes | beside | message
folder does not exist       | -:nowhere          | no  | beside | failed
EOF
)
mkdir -p "$work/Stimulus é"
sox -q -n -r 48000 -b 16 -c 2 "$work/Stimulus é/Rosa Rauschen é.wav" synth 12 pinknoise gain -12
passed=0 failed=0
while IFS='|' read -r name spec make where outcome; do
    name=$(echo $name) spec=$(echo $spec) make=$(echo $make) where=$(echo $where) outcome=$(echo $outcome)
    folder=$(folder_of_length "${spec%%:*}" "${spec#*:}")
    [ "$make" = yes ] && prepare_data_folder "$folder" && mv "$folder/Stimulus/PinkNoise.wav" "$folder/Stimulus/Rosa Rauschen é.wav"
    stimulus="$(winpath "$folder")\\Stimulus\\Rosa Rauschen é.wav"
    [ "$where" = beside ] && stimulus="$(winpath "$work/Stimulus é")\\Rosa Rauschen é.wav"
    rm -f "$work/bin/VORN.ini"
    write_ini "$work/bin/VORN.ini.utf8" "$(winpath "$folder")" "$stimulus" 1.0 0.1 1
    iconv -f UTF-8 -t CP1252 "$work/bin/VORN.ini.utf8" >"$work/bin/VORN.ini"
    start_vorn "$work/bin/VORN.exe"
    driver click "$caption" IDC_CAPTURE_SEALED >/dev/null
    case $outcome in
    corwith)
        result=$(driver waittext "$caption" IDC_CORWITH_RESULT "Corwith Number =" 60000) || result="$(driver text "$caption" IDC_SEALED_RESULT IDC_OPEN_RESULT IDC_CORWITH_RESULT | tr "\n" "|")"
        ok=0
        for f in Test1 Test2 Merged; do soxi "$folder/Output/$f.wav" >/dev/null 2>&1 || ok=1; done
        [[ "$result" == "Corwith Number ="* ]] || ok=1 ;;
    message)
        result=$(driver answer VORN ok 15000)
        [[ "$result" == "The output folder (OutputFolder in VORN.ini) is too long"* ]]
        ok=$? ;;
    failed)
        result=$(driver waittext "$caption" IDC_SEALED_RESULT "$capture_failed" 30000)
        ok=$? ;;
    esac
    sleep 0.5
    extra=$(driver boxowner VORN 0 2>/dev/null) && { ok=1; result="$result; then a box: $extra"; }
    if [ "$ok" -eq 0 ]; then passed=$((passed + 1)); echo "ok   $name: $result"
    else failed=$((failed + 1)); echo "FAIL $name: $result"; fi
    driver close "$caption"
    driver answer VORN yes 2000 >/dev/null 2>&1  # a row that failed may leave a test running
    wait "$vorn_pid"
    vorn_pid=
done <<<"$rows"
echo "$passed passed, $failed failed"
[ "$failed" -eq 0 ]
