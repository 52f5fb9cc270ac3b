#!/bin/bash
# Soak run: one VORN.exe runs SOAK_TESTS (200) whole AutoProcess tests in a row against
# the substitute analyzer sped up, pressed through the GUI driver as an operator would.
# After the first test and every SOAK_EVERY (20) tests it prints the program's handles,
# GDI and USER objects (GetGuiResources; 0 under Wine, which does not count them), its
# windows, its private memory as Windows reports it, and the resident and anonymous
# memory of its Wine process as Linux sees it. It fails when a test does not reach its
# Corwith Number, or when handles or windows grew, or anonymous memory grew by more
# than SOAK_MEMORY_SLACK_KIB (4096) between the first sample and the last.
# Not part of `make test`: 200 tests take about 40 minutes (each waits the 2 x 3.75 s
# the capture scripts prescribe).
#   tests/soak/soak.sh build/windows
set -uo pipefail
tree=$(cd "$1" && pwd)
source "$(dirname "$0")/../../scripts/e2e-lib.sh"
in_wine_session "$0" "$@"
tests=${SOAK_TESTS:-200} every=${SOAK_EVERY:-20} slack=${SOAK_MEMORY_SLACK_KIB:-4096}

make_workspace soak 1.0 0.1
cleanup() {
    [ -n "${vorn_pid:-}" ] && kill "$vorn_pid" 2>/dev/null
    stop_analyzer
}
trap cleanup EXIT
start_analyzer --speed 5 --log "$(winpath "$work/analyzer.log")"
start_vorn "$work/bin/VORN.exe"

linux_memory() {  # resident and anonymous KiB of the program's Wine process
    awk '/^VmRSS:/ { rss = $2 } /^RssAnon:/ { anon = $2 } END { print rss, anon }' "/proc/$vorn_pid/status"
}
printf '%6s %8s %6s %6s %8s %10s %10s %10s %8s\n' test handles gdi user windows private-KiB rss-KiB anon-KiB seconds
first= last= failures=0
for i in $(seq "$tests"); do
    took=$(driver clickwait "$caption" IDC_CAPTURE_SEALED IDC_CORWITH_RESULT "Corwith Number =" 120000) || {
        failures=$((failures + 1))
        echo "test $i did not reach its Corwith Number: $(driver text "$caption" IDC_SEALED_RESULT IDC_OPEN_RESULT IDC_CORWITH_RESULT | tr '\n' '|')"
        grep -v "^ok " "$work/analyzer.log" | tail -n 5
    }
    if [ "$i" -eq 1 ] || [ $((i % every)) -eq 0 ]; then
        sample="$(driver counts "$caption") $(linux_memory)"
        read -r handles gdi user windows private rss anon <<<"$sample"
        printf '%6d %8s %6s %6s %8s %10s %10s %10s %8s\n' "$i" "$handles" "$gdi" "$user" "$windows" "$private" "$rss" "$anon" "$took"
        [ -z "$first" ] && first=$sample
        last=$sample
    fi
done
driver close "$caption"
wait "$vorn_pid"
vorn_pid=

read -r h0 _ _ w0 _ _ a0 <<<"$first"
read -r h1 _ _ w1 _ _ a1 <<<"$last"
verdict=0
[ "$failures" -eq 0 ] || { echo "$failures tests failed"; verdict=1; }
[ "$h1" -le "$h0" ] || { echo "handles grew from $h0 to $h1"; verdict=1; }
[ "$w1" -le "$w0" ] || { echo "windows grew from $w0 to $w1"; verdict=1; }
[ $((a1 - a0)) -le "$slack" ] || { echo "anonymous memory grew by $((a1 - a0)) KiB"; verdict=1; }
[ "$verdict" -eq 0 ] && echo "flat over $tests tests: handles $h0 -> $h1, windows $w0 -> $w1, anonymous memory $a0 -> $a1 KiB"
exit "$verdict"
