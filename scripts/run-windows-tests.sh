#!/bin/bash
# The Windows tree's tests, inside its Wine session (scripts/wine-session.sh): those without
# windows side by side first, then the GUI tests (label gui), those on the shared desktop one
# at a time and beside them the ones with a Wine session of their own. Both passes always run.
#   scripts/run-windows-tests.sh build/windows JOBS [build/fuzz SECONDS]
# Given a fuzz tree (as make test does), the fuzzers run beside the GUI tests, which mostly
# wait on timers and the analyzer: in the idle scheduling class, so that the tests keep
# their pace, and only once the quick pass has passed. A failed GUI test stops them;
# otherwise their report follows the tests' and their result is the run's.
set -uo pipefail
tree=$1 jobs=$2 fuzz_tree=${3:-} fuzz_seconds=${4:-60}
here=$(cd "$(dirname "$0")" && pwd)

fuzz_pid=
stop_fuzzers() {
    [ -n "$fuzz_pid" ] || return 0
    kill -- -"$fuzz_pid" 2>/dev/null
    wait "$fuzz_pid" 2>/dev/null
    fuzz_pid=
}
trap stop_fuzzers EXIT
trap 'exit 130' INT TERM

ctest --test-dir "$tree" -LE gui --parallel "$jobs" --output-on-failure
quick=$?

if [ -n "$fuzz_tree" ] && [ "$quick" -eq 0 ]; then
    fuzz_log="$fuzz_tree/beside-gui.log"
    # A session of its own, so that stopping the fuzzers reaches every target they started;
    # the idle scheduling class, so that they only take the time nothing else wants,
    # whatever the niceness of the run.
    setsid chrt --idle 0 "$here/run-fuzzers.sh" "$fuzz_tree" "$fuzz_seconds" >"$fuzz_log" 2>&1 &
    fuzz_pid=$!
    echo "fuzzers started beside the GUI tests (${fuzz_seconds} s per target); their report follows the tests'"
fi

ctest --test-dir "$tree" -L gui --parallel "$jobs" --output-on-failure
gui=$?
[ "$quick" -eq 0 ] && [ "$gui" -eq 0 ] || exit 1
[ -n "$fuzz_pid" ] || exit 0

shown=$(stat -c %s "$fuzz_log")
head -c "$shown" "$fuzz_log"
wait "$fuzz_pid"
status=$?
fuzz_pid=
tail -c +"$((shown + 1))" "$fuzz_log"
exit "$status"
