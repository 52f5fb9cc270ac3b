#!/bin/bash
# The real program against the real substitute analyzer, worked through the GUI driver
# as an operator would, inside the Wine session of the test run:
#  1. a step button with no analyzer running asks; Yes starts it through the registry,
#     and the next press runs the step;
#  2. Cancel during a capture;
#  3. Escape during a capture asks, and No keeps the capture running;
#  4. a whole AutoProcess test with TestDuration 5: both total powers and the Corwith
#     Number shown, Test1.wav, Test2.wav and Merged.wav written and readable by sox.
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

# 2. Cancel mid-capture.
driver click "$caption" IDC_CAPTURE_SEALED >/dev/null
check "Cancel ends the capture" equals "$(driver waittext "$caption" IDC_CAPTURE_SEALED "Capture Sealed Data" 15000)" "Capture Sealed Data"
check "after Cancel the label is left as it was" equals "$(driver text "$caption" IDC_SEALED_RESULT)" "Capturing data..."
check "after Cancel every step is enabled again" equals "$(driver enabled "$caption" IDC_PROCESS_RESULTS)" "1"

# 3. Escape during a capture asks; No keeps it running.
driver click "$caption" IDC_CAPTURE_SEALED >/dev/null
driver waittext "$caption" IDC_CAPTURE_SEALED Cancel 15000 >/dev/null
driver escape "$caption"
question=$(driver answer VORN no 15000)
check "Escape during a capture asks" equals "$question" "The test is still running - are you sure you want to exit?"
sleep 0.5
check "No keeps the capture running" equals "$(driver text "$caption" IDC_CAPTURE_SEALED)" "Cancel"
driver click "$caption" IDC_CAPTURE_SEALED >/dev/null
driver waittext "$caption" IDC_CAPTURE_SEALED "Capture Sealed Data" 15000 >/dev/null

# 4. One press runs the whole automatic test.
rm -f "$work/data/Output/"*.wav
driver click "$caption" IDC_CAPTURE_SEALED >/dev/null
result=$(driver waittext "$caption" IDC_CORWITH_RESULT "Corwith Number =" 120000)
check "the whole test ends with the Corwith Number" starts "$result" "Corwith Number ="
check "the sealed total power is shown" starts "$(driver text "$caption" IDC_SEALED_RESULT)" "Total Power (SPL) ="
check "the open total power is shown" starts "$(driver text "$caption" IDC_OPEN_RESULT)" "Total Power (SPL) ="
check "the test is back to idle" equals "$(driver text "$caption" IDC_PROCESS_RESULTS)" "Process Results"
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
