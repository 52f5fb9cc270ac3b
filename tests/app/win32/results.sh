#!/bin/bash
# What the program keeps of each test, through the real program and the substitute
# analyzer: two whole tests (the second with the journal held open without write sharing
# by another process), a cancelled capture and a failed processing step. The journal must
# hold one row each, in order, with the values the labels showed; each test's archive
# must hold byte-identical copies of the analyzer's three files as the test left them.
# Prints "N passed, M failed" and exits non-zero on any failure.
set -uo pipefail
tree=$(cd "$1" && pwd)
source "$(dirname "$0")/../../../scripts/e2e-lib.sh"
in_wine_session "$0" "$@"

make_workspace results 3.0 1.0
printf 'CorwithLimitLow=0\r\nCorwithLimitHigh=1000\r\n' >>"$work/bin/VORN.ini"
out="$work/data/Output"
cleanup() {
    [ -n "${vorn_pid:-}" ] && kill "$vorn_pid" 2>/dev/null
    [ -n "${hold_pid:-}" ] && touch "$work/release"
    stop_analyzer
    stop_session_analyzers
}
trap cleanup EXIT

start_analyzer --speed 5
start_vorn "$work/bin/VORN.exe"
labels="$work/labels.txt"
: >"$labels"

# whole_test: one press, the whole automatic test; its labels go to labels.txt and the
# analyzer's three files are compared with the newest archive folder.
whole_test() {
    driver click "$caption" IDC_CAPTURE_SEALED >/dev/null
    local result
    result=$(driver waittext "$caption" IDC_CORWITH_RESULT "Corwith Number =" 120000)
    check "$1: the test ends with the Corwith Number" starts "$result" "Corwith Number ="
    printf '%s|%s|%s\n' "$(driver text "$caption" IDC_SEALED_RESULT)" "$(driver text "$caption" IDC_OPEN_RESULT)" \
        "$result" >>"$labels"
    local newest
    newest=$(ls -d "$out/History/"*/ 2>/dev/null | sort -V | tail -1)
    for f in Test1 Test2 Merged; do
        check "$1: the archive's $f.wav equals the analyzer's" cmp -s "$out/$f.wav" "$newest/$f.wav"
    done
}

whole_test "first test"

# The journal held open by another process for the whole second test.
driver hold "$(winpath "$out/Results.csv")" "$(winpath "$work/release")" >"$work/hold.txt" &
hold_pid=$!
for _ in $(seq 100); do grep -q held "$work/hold.txt" 2>/dev/null && break; sleep 0.1; done
whole_test "held journal"
told=$(driver answer VORN ok 15000)
check "the operator is told the journal waits" starts "$told" "The results journal"
check "the row waits in the pending file" test -s "$out/Results-pending.csv"
touch "$work/release"
wait "$hold_pid"
hold_pid=

# Cancelled: the first write after the hold also moves the waiting row in, ahead of it.
driver click "$caption" IDC_CAPTURE_SEALED >/dev/null
driver waittext "$caption" IDC_CAPTURE_SEALED Cancel 15000 >/dev/null
driver click "$caption" IDC_CAPTURE_SEALED >/dev/null
driver waittext "$caption" IDC_CAPTURE_SEALED "Capture Sealed Data" 15000 >/dev/null
check "the pending rows moved into the journal" test ! -e "$out/Results-pending.csv"

# A processing step the analyzer refuses.
stop_analyzer
stop_session_analyzers
start_analyzer --speed 5 --refuse "[File Merge"
driver click "$caption" IDC_CAPTURE_SEALED >/dev/null
failed_label=$(driver waittext "$caption" IDC_CORWITH_RESULT "Processing failed" 120000)
check "the refused processing fails its step" starts "$failed_label" "Processing failed"
printf '%s|%s|%s\n' "$(driver text "$caption" IDC_SEALED_RESULT)" "$(driver text "$caption" IDC_OPEN_RESULT)" \
    "$failed_label" >>"$labels"

driver close "$caption"
wait "$vorn_pid"
vorn_pid=

check "the journal rows match the labels, in order" python3 - "$out" "$labels" <<'PY'
import csv, os, sys
out, labels = sys.argv[1], sys.argv[2]
with open(f'{out}/Results.csv', encoding='utf-8-sig', newline='') as f:
    rows = list(csv.DictReader(f))
shown = [line.rstrip('\n').split('|') for line in open(labels, encoding='latin-1')]
want = ['ok', 'ok', 'cancelled', shown[2][2]]
problems = []
if [r['status'] for r in rows] != want:
    problems.append(f"statuses {[r['status'] for r in rows]}, expected {want}")
label = lambda text, value: text.split('=', 1)[1].strip() == '%.2f' % float(value)
for row, (sealed, opened, result) in zip([rows[0], rows[1], rows[3]], shown):
    if not label(sealed, row['sealed_spl']) or not label(opened, row['open_spl']):
        problems.append(f'powers {row["sealed_spl"]}/{row["open_spl"]} against "{sealed}"/"{opened}"')
    if row['status'] == 'ok':
        if not label(result, row['corwith']): problems.append(f'{row["corwith"]} against "{result}"')
        if row['verdict'] != 'pass' or row['limit_low'] != '0' or row['limit_high'] != '1000':
            problems.append(f'verdict {row["verdict"]} with limits {row["limit_low"]}..{row["limit_high"]}')
        folder = os.path.join(out, *row['archive'].split('\\'))
        if not os.path.getsize(os.path.join(folder, 'Spectrum.csv')): problems.append(f'no spectrum in {folder}')
    elif row['corwith'] or row['archive']:
        problems.append(f'a failed step with a number or an archive: {row}')
if rows[2]['sealed_spl'] or rows[2]['corwith']: problems.append(f'the cancelled row: {rows[2]}')
print('\n'.join('     ' + p for p in problems))
sys.exit(1 if problems else 0)
PY

echo "$passed passed, $failed failed"
[ "$failed" -eq 0 ]
