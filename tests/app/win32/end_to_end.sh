#!/bin/bash
# The real program against the real substitute analyzer, worked through the GUI driver
# as an operator would, with real mouse clicks and key presses (they meet the focus and
# the input queue, as posted messages do not), inside the Wine session of the test run:
#  1. a step button with no analyzer running asks; Yes starts it through the registry,
#     and the next press runs the step;
#  2. a double-click on "Capture Sealed Data": the second click, made while the
#     start-up script blocks, is dropped instead of cancelling; then Cancel, which has
#     the keyboard, by Space;
#  3. Escape during a capture asks, and No keeps the capture running;
#  4. a whole AutoProcess test by keyboard alone, with TestDuration 5: both total powers
#     and the Corwith Number shown, Test1.wav, Test2.wav and Merged.wav written and
#     readable by sox, and the keyboard back on "Capture Sealed Data".
# Prints "N passed, M failed" and exits non-zero on any failure.
set -uo pipefail
tree=$(cd "$1" && pwd)
source "$(dirname "$0")/../../../scripts/e2e-lib.sh"
in_wine_session "$0" "$@"

make_workspace e2e 5.0 1.0
cleanup() {
    [ -n "${vorn_pid:-}" ] && kill "$vorn_pid" 2>/dev/null
    stop_analyzer
    stop_session_analyzers
}
trap cleanup EXIT

register_analyzer
start_vorn "$work/bin/VORN.exe"

# 1. No analyzer yet: the question, Yes, and the analyzer comes up through the registry.
driver click "$caption" IDC_CAPTURE_SEALED >/dev/null
question=$(driver answer VORN yes 15000)
check "a step without an analyzer asks to start it" starts "$question" "Failure establishing a communication link to the Tonalith-SC signal processor."
check "Yes starts the registered analyzer" wait_for_x_window "VORN substitute analyzer - Tonaserv" 20
check "the step did not start on that press" equals "$(driver text "$caption" IDC_CAPTURE_SEALED)" "Capture Sealed Data"
driver click "$caption" IDC_CAPTURE_SEALED >/dev/null
check "the next press runs the step" equals "$(driver waittext "$caption" IDC_CAPTURE_SEALED Cancel 15000)" "Cancel"
check "the sealed label says it captures" equals "$(driver text "$caption" IDC_SEALED_RESULT)" "Capturing data..."

driver click "$caption" IDC_CAPTURE_SEALED >/dev/null
driver waittext "$caption" IDC_CAPTURE_SEALED "Capture Sealed Data" 15000 >/dev/null

# 2. A double-click: the capture starts and keeps running; Cancel has the keyboard.
driver activate "$caption"
driver mouseclick "$caption" IDC_CAPTURE_SEALED 2
sleep 0.5
check "the buttons look disabled while the start-up script blocks" equals "$(driver enabled "$caption" IDC_CAPTURE_SEALED)" "0"
driver waittext "$caption" IDC_CAPTURE_SEALED Cancel 15000 >/dev/null
sleep 1
check "the second click of a double-click does not cancel" equals "$(driver text "$caption" IDC_CAPTURE_SEALED IDC_SEALED_RESULT | tr '\n' '|')" "Cancel|Capturing data...|"
check "Cancel has the keyboard while the capture runs" equals "$(driver focus "$caption")" "IDC_CAPTURE_SEALED"
driver keys "$caption" Space
check "Space on Cancel ends the capture" equals "$(driver waittext "$caption" IDC_CAPTURE_SEALED "Capture Sealed Data" 15000)" "Capture Sealed Data"
check "a cancelled capture says so" equals "$(driver text "$caption" IDC_SEALED_RESULT)" "Capture cancelled"
check "after Cancel every step is enabled again" equals "$(driver enabled "$caption" IDC_PROCESS_RESULTS)" "1"

# 3. Escape during a capture asks; No keeps it running.
driver keys "$caption" Space
driver waittext "$caption" IDC_CAPTURE_SEALED Cancel 15000 >/dev/null
driver keys "$caption" Escape
question=$(driver answer VORN no 15000)
check "Escape during a capture asks" equals "$question" "The test is still running - are you sure you want to exit?"
sleep 0.5
check "No keeps the capture running" equals "$(driver text "$caption" IDC_CAPTURE_SEALED)" "Cancel"
check "and gives the keyboard back to Cancel" equals "$(driver focus "$caption")" "IDC_CAPTURE_SEALED"
driver keys "$caption" Enter
driver waittext "$caption" IDC_CAPTURE_SEALED "Capture Sealed Data" 15000 >/dev/null

# 4. One key press runs the whole automatic test.
rm -f "$work/data/Output/"*.wav
driver keys "$caption" Enter
result=$(driver waittext "$caption" IDC_CORWITH_RESULT "Corwith Number =" 120000)
check "the whole test ends with the Corwith Number" starts "$result" "Corwith Number ="
check "the sealed total power is shown" starts "$(driver text "$caption" IDC_SEALED_RESULT)" "Total Power (SPL) ="
check "the open total power is shown" starts "$(driver text "$caption" IDC_OPEN_RESULT)" "Total Power (SPL) ="
check "the test is back to idle" equals "$(driver text "$caption" IDC_PROCESS_RESULTS)" "Process Results"
check "the keyboard is on Capture Sealed Data again" equals "$(driver focus "$caption")" "IDC_CAPTURE_SEALED"
value=${result#Corwith Number =}
check "the Corwith Number is a positive number" awk -v v="$value" 'BEGIN { exit !(v + 0 > 0) }'
for f in Test1 Test2 Merged; do
    check "$f.wav written and readable" soxi "$work/data/Output/$f.wav" >/dev/null
done
echo "     $(driver text "$caption" IDC_SEALED_RESULT) / $(driver text "$caption" IDC_OPEN_RESULT) / $result"

driver close "$caption"
wait "$vorn_pid"
vorn_pid=
check "the INI holds the stimulus after a normal close" grep -q "StimulusFilename=.*PinkNoise.wav" "$work/bin/VORN.ini"

echo "$passed passed, $failed failed"
[ "$failed" -eq 0 ]
