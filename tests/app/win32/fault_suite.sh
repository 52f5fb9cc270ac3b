#!/bin/bash
# The real program against the substitute analyzer in each of its fault modes, one table
# row per scenario, in one run of VORN.exe that is never restarted (until the last row
# closes it). Each row starts the analyzer as it says, works the program through the GUI
# driver, answers the boxes that come up, and then checks within the row's bound (in
# seconds, from the press to the end of the step) the three result labels, the boxes
# shown, and that every step button is usable again. Unless the row says otherwise, a
# healthy analyzer then replaces the faulty one and the next test must run to its
# Corwith Number: a whole automatic test after a capture fault ("full"), Process Results
# after a processing fault ("process").
#
# Bounds: a transaction waits at most 10 s, the scripts' fixed waits before "[Record]"
# take 3.75 s, a capture 1 s (TestDuration) and its save 0.25 s, the close probe 1 s;
# each bound is what the row can reach of these plus 8 s for a loaded machine. An
# analyzer that dies may still take one transaction's 10 s with it (its window outlives
# it for a moment); the rows that kill it allow for that.
# VORN_FAULT_ROWS=REGEX runs only the rows whose names match.
# Prints one line per check and "N passed, M failed"; exits non-zero on any failure.
set -uo pipefail
tree=$(cd "$1" && pwd)
source_dir=$(cd "$(dirname "$0")/../../.." && pwd)
source "$source_dir/scripts/e2e-lib.sh"
in_wine_session "$0" "$@"
analyzer_window="VORN substitute analyzer - Tonaserv"

# The program's own texts, read from where the program defines them.
constant() { sed -n "s/.*$1 = \"\([^\"]*\)\".*/\1/p" "$source_dir/$2" | head -n1; }
capture_failed=$(constant kCaptureFailedText app/TestSequence.h)
processing_failed=$(constant kProcessingFailedText app/TestSequence.h)
no_link_question="Failure establishing a communication link to the Tonalith-SC signal processor."

# name | analyzer options ("-": keep the one running, "none": none) | action |
# sealed label | open label | result label | boxes ("-": none; texts joined by ";") | bound s | afterwards
# Labels: P a total power, C a Corwith Number, CF/PF the failed capture/processing text, - empty.
scenarios=$(cat <<'EOF'
healthy                     | --speed 5                                  | sealed         | P  | P  | C  | -                               | 25 | -
Total Power answered late   | --late "Total Power" --late-ms 10500       | sealed         | CF | -  | -  | -                               | 23 | full-same
conversation dropped        | --drop-after 12                            | sealed         | CF | -  | -  | -                               | 14 | full
exits in the open capture   | --exit-after 18                            | sealed         | P  | CF | -  | -                               | 28 | -
step after it died          | none                                       | sealed         | CF | *  | -  | Failure establishing            | 10 | full
killed mid-capture          | --speed 5                                  | kill-capture   | CF | -  | -  | -                               | 23 | full
window closed mid-capture   | --speed 5                                  | close-capture  | CF | -  | -  | -                               | 23 | full
[File Merge] refused        | --refuse "[File Merge"                     | process        | *  | *  | PF | -                               | 10 | process
Current Time garbage        | --garbage "Current Time"                   | process        | *  | *  | PF | -                               | 10 | process
Current Time answered late  | --late "Current Time" --late-ms 10500      | process-held   | *  | *  | PF | -                               | 20 | process-same
killed in a request         | --late "Current Time" --late-ms 30000      | kill-request   | *  | *  | PF | -                               | 20 | process
Delay Finder never answered | --silent "Delay Finder"                    | process        | *  | *  | PF | -                               | 20 | process
[Set Delay] refused         | --refuse "[Set Delay"                      | process        | *  | *  | PF | -                               | 10 | process
Marked Spectrum garbage     | --garbage "Marked Spectrum"                | process-beside | *  | *  | PF | Failure Parsing Spectral Data   | 12 | process
Marked Phase empty          | --empty "Marked Phase"                     | process        | *  | *  | PF | Failure Reading Phase Data      | 10 | process
two analyzers               | --speed 5                                  | sealed-twice   | P  | P  | C  | -                               | 25 | -
frozen, Cancel              | --hang-after 10                            | cancel         | *  | -  | -  | -                               | 18 | -
frozen, close               | --hang-after 10                            | close          | *  | *  | *  | The test is still running       | 19 | -
EOF
)

passed=0 failed=0
check() {  # check DESCRIPTION COMMAND...
    local what=$1
    shift
    if "$@"; then
        passed=$((passed + 1))
    else
        failed=$((failed + 1))
        echo "FAIL $what"
    fi
}
matches() {  # matches ACTUAL EXPECTED-CODE
    case $2 in
    '*') return 0 ;;
    -) [ -z "$1" ] ;;
    P) [[ "$1" =~ ^"Total Power (SPL) = "\ *-?[0-9]+\.[0-9][0-9]$ ]] ;;
    C) [[ "$1" =~ ^"Corwith Number = "\ *[0-9]+\.[0-9][0-9]$ ]] ;;
    CF) [ "$1" = "$capture_failed" ] ;;
    PF) [ "$1" = "$processing_failed" ] ;;
    esac
}
now() { date +%s.%N; }
seconds_since() { awk -v a="$1" -v b="$(now)" 'BEGIN { printf "%.1f", b - a }'; }
within() { awk -v t="$1" -v b="$2" 'BEGIN { exit !(t <= b) }'; }

make_workspace fault 1.0 0.1
cleanup() {
    [ -n "${vorn_pid:-}" ] && kill "$vorn_pid" 2>/dev/null
    stop_analyzers
    stop_session_analyzers
}
trap cleanup EXIT

analyzer_pids=()
log_number=0
start_one() {  # start_one OPTIONS...: one more analyzer, serving once its log says so
    log_number=$((log_number + 1))
    local log="$work/analyzer$log_number.log"
    "$wine_run" "$tree/simulator/VornAnalyzerSim.exe" --log "$(winpath "$log")" "$@" >/dev/null 2>&1 &
    analyzer_pids+=($!)
    current_log=$log
    for _ in $(seq 100); do grep -q "^.*serving" "$log" 2>/dev/null && return 0; sleep 0.1; done
    echo "     the analyzer did not come up" >&2
    return 1
}
stop_analyzers() {
    local pid
    for pid in "${analyzer_pids[@]}"; do kill -9 "$pid" 2>/dev/null; done
    for pid in "${analyzer_pids[@]}"; do wait "$pid" 2>/dev/null; done
    analyzer_pids=()
    return 0
}
labels() {
    driver text "$caption" IDC_SEALED_RESULT IDC_OPEN_RESULT IDC_CORWITH_RESULT IDC_CAPTURE_SEALED IDC_PROCESS_RESULTS
}

# run_until SEALED OPEN RESULT BOUND: answers boxes (No to questions) until the labels
# hold what is expected and every step is idle, or BOUND + 10 s pass. Sets boxes and took.
run_until() {
    local start=$4 limit=$(($5 + 10)) box
    boxes=()
    while :; do
        box=$(driver boxowner VORN 0 2>/dev/null) && {
            boxes+=("${box%%|*}")
            [[ "$box" == "$no_link_question"* || "$box" == "The test is still running"* ]] &&
                driver answer VORN "${answer:-no}" 1000 >/dev/null || driver answer VORN ok 1000 >/dev/null
            continue
        }
        mapfile -t now_labels < <(labels)
        if matches "${now_labels[0]}" "$1" && matches "${now_labels[1]}" "$2" && matches "${now_labels[2]}" "$3" &&
            [ "${now_labels[3]}" = "Capture Sealed Data" ] && [ "${now_labels[4]}" = "Process Results" ]; then
            took=$(seconds_since "$start")
            sleep 0.5  # nothing may follow: no further box, no step started by itself
            box=$(driver boxowner VORN 0 2>/dev/null) && boxes+=("${box%%|*}") && driver answer VORN ok 1000 >/dev/null
            return 0
        fi
        within "$(seconds_since "$start")" "$limit" || { took=$(seconds_since "$start"); return 1; }
        sleep 0.2
    done
}

# The press of each action; each sets press_time when the step was started.
press() { press_time=$(now); driver click "$caption" "$1" >/dev/null; }
wait_capturing() { driver waittext "$caption" IDC_CAPTURE_SEALED Cancel 15000 >/dev/null; }
act_sealed() { press IDC_CAPTURE_SEALED; }
act_process() { press IDC_PROCESS_RESULTS; }
act_kill-capture() { press IDC_CAPTURE_SEALED; wait_capturing; sleep 0.3; stop_analyzers; }
act_close-capture() { press IDC_CAPTURE_SEALED; wait_capturing; sleep 0.3; driver close "$analyzer_window"; }
buttons() {  # each button's enabled state, 1 or 0, in one word
    driver enabled "$caption" IDC_SELECT_STIMULUS IDC_CAPTURE_SEALED IDC_CAPTURE_OPEN IDC_PROCESS_RESULTS IDC_SETTINGS | tr -d '\n'
}
# While the window waits for a late reading, no button can act: each looks disabled
# all along, and a click on the Cancel does nothing (the row's label would say cancelled).
act_process-held() {
    press IDC_PROCESS_RESULTS
    driver waittext "$caption" IDC_PROCESS_RESULTS Cancel 15000 >/dev/null
    local moment
    for moment in 1 2 3; do
        sleep 0.8
        check "$name: every button disabled in the wait ($moment)" equals "$(buttons)" 00000
        driver mouseclick "$caption" IDC_PROCESS_RESULTS >/dev/null
    done
}
act_kill-request() { press IDC_PROCESS_RESULTS; sleep 3; stop_analyzers; }
act_sealed-twice() { first_log=$current_log; start_one --speed 5 ; press IDC_CAPTURE_SEALED; }
act_cancel() { press IDC_CAPTURE_SEALED; wait_capturing; press IDC_CAPTURE_SEALED; }
# The analyzer's window is the active one while the result computation's box comes up:
# the box must still be modal to the main dialog, and a click on the step button
# behind it must not start anything.
act_process-beside() {
    driver move "$analyzer_window" 700 500 >/dev/null
    driver activate "$analyzer_window" >/dev/null
    press IDC_PROCESS_RESULTS
    local box
    box=$(driver boxowner VORN 15000)
    check "the box is owned by the main dialog" [ "$(cut -d'|' -f2 <<<"$box")" = "$caption" ]
    check "the main dialog is disabled under the box" [ "$(cut -d'|' -f3 <<<"$box")" = 0 ]
    driver mouseclick "$caption" IDC_PROCESS_RESULTS >/dev/null
    sleep 0.5
}
act_close() {
    press IDC_CAPTURE_SEALED
    wait_capturing
    press_time=$(now)
    driver close "$caption"
    run_close
}
run_close() {  # the question, then the program must end within the bound
    # The capture's 1 s may run out under the question: the step must wait for the answer
    # rather than block the box behind the frozen analyzer's time-outs.
    box=$(driver answer VORN yes 15000) && boxes=("$box")
    local pid_gone=1
    for _ in $(seq $((bound * 10))); do kill -0 "$vorn_pid" 2>/dev/null || { pid_gone=0; break; }; sleep 0.1; done
    took=$(seconds_since "$press_time")
    check "closing ends the program within ${bound} s (took $took s)" [ "$pid_gone" = 0 ]
    wait "$vorn_pid" 2>/dev/null
    vorn_pid=
}

recover() {  # recover full|process[-same]
    [[ "$1" == *-same ]] || { stop_analyzers; start_one --speed 5 ; }
    local press_id=IDC_CAPTURE_SEALED expect=(P P C)
    [[ "$1" == process* ]] && press_id=IDC_PROCESS_RESULTS expect=('*' '*' C)
    press "$press_id"
    run_until "${expect[@]}" "$press_time" 40 ||
        echo "     recovery ended with: $(labels | tr '\n' '|')"
    check "$name: the next test after the fault runs to its Corwith Number" matches "${now_labels[2]}" C
    check "$name: no box in the healthy test" [ "${#boxes[@]}" -eq 0 ]
}

start_vorn "$work/bin/VORN.exe"
while IFS='|' read -r name options action sealed open result expected_boxes bound afterwards; do
    trim() { sed 's/^ *//;s/ *$//' <<<"$1"; }
    name=$(trim "$name")
    options=$(trim "$options") action=$(trim "$action") sealed=$(trim "$sealed")
    open=$(trim "$open") result=$(trim "$result") expected_boxes=$(trim "$expected_boxes")
    bound=$(trim "$bound") afterwards=$(trim "$afterwards")
    [[ "$name" =~ ${VORN_FAULT_ROWS:-.} ]] || continue  # a subset, when looking into one
    case $options in
    -) ;;
    none) stop_analyzers ;;
    *) stop_analyzers; eval "start_one --speed 5  $options" ;;
    esac
    boxes=() took=0 failed_before=$failed
    "act_$action"
    if [ "$action" = close ]; then
        shown=$(IFS=';'; echo "${boxes[*]:-}")
        check "$name: boxes \"$shown\"" eval '[[ "$shown" == "$expected_boxes"* ]]'
        [ "$failed" = "$failed_before" ] && echo "ok   $name (closed in $took s of $bound s)"
        continue
    fi
    run_until "$sealed" "$open" "$result" "$press_time" "$bound" ||
        echo "     labels: $(labels | tr '\n' '|')"
    check "$name: labels \"${now_labels[0]}\" / \"${now_labels[1]}\" / \"${now_labels[2]}\"" \
        eval 'matches "${now_labels[0]}" "$sealed" && matches "${now_labels[1]}" "$open" && matches "${now_labels[2]}" "$result"'
    check "$name: ended within $bound s (took $took s)" within "$took" "$bound"
    check "$name: every button enabled afterwards" equals "$(buttons)" 11111
    shown=$(IFS=';'; echo "${boxes[*]:-}")
    if [ "$expected_boxes" = - ]; then
        check "$name: no box (got \"$shown\")" [ -z "$shown" ]
    else
        check "$name: one box \"$expected_boxes\" (got \"$shown\")" eval '[ "${#boxes[@]}" -eq 1 ] && [[ "$shown" == "$expected_boxes"* ]]'
    fi
    [ "$action" = sealed-twice ] && check "$name: the whole test went to one analyzer" \
        eval '[ "$(grep -c "ok      \[Record\]" "$first_log" "$current_log" | cut -d: -f2 | sort | tr "\n" " ")" = "0 2 " ]'
    [ "$failed" = "$failed_before" ] && echo "ok   $name (took $took s of $bound s; boxes: ${#boxes[@]})"
    [ "$afterwards" = - ] || recover "$afterwards"
done <<<"$scenarios"

echo "$passed passed, $failed failed"
[ "$failed" -eq 0 ]
