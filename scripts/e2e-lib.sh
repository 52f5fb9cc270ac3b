# Shared steps of `make run` and the end-to-end tests, sourced inside a Wine session
# (scripts/wine-session.sh): a data folder, the substitute analyzer, VORN.exe and the
# GUI driver. Needs: tree (the Windows build tree).
here_lib=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
wine_run="$here_lib/../cmake/wine-run.sh"
caption="VORN Test Control"

driver() { "$wine_run" "$tree/tools/VornDriver.exe" "$@" | tr -d '\r'; }

# check DESCRIPTION COMMAND...: runs one check, counts it in passed/failed, prints ok or FAIL.
passed=0 failed=0
check() {
    local what=$1
    shift
    if "$@"; then
        passed=$((passed + 1))
        echo "ok   $what"
    else
        failed=$((failed + 1))
        echo "FAIL $what"
    fi
}
equals() { [ "$1" = "$2" ] || { echo "     expected \"$2\", got \"$1\""; return 1; }; }
starts() { [[ "$1" == "$2"* ]] || { echo "     expected \"$2...\", got \"$1\""; return 1; }; }

# in_wine_session SCRIPT ARGS...: a script run on its own, outside the test run's Wine
# session, runs itself again inside a session of the tree's own prefix.
in_wine_session() {
    [ -n "${VORN_WINE_SESSION:-}" ] && return 0
    export WINEPREFIX="${WINEPREFIX:-$tree/wineprefix}"
    exec "$here_lib/wine-session.sh" bash "$@"
}

# make_workspace NAME [DURATION DELAY]: a fresh $tree/NAME-scratch (in `work`) with the
# program's own copy in bin/; with DURATION and DELAY also the data folder (in `data`,
# Windows form) and a VORN.ini for automatic tests of that TestDuration and AutoProcessDelay.
make_workspace() {
    work="$tree/$1-scratch"
    rm -rf "$work"
    mkdir -p "$work/bin"
    cp "$tree/app/VORN.exe" "$work/bin/"
    [ $# -ge 3 ] || return 0
    prepare_data_folder "$work/data"
    data=$(winpath "$work/data")
    write_ini "$work/bin/VORN.ini" "$data" "$data\\Stimulus\\PinkNoise.wav" "$2" "$3" 1
}

# The Windows form of a Unix path (Wine's drive Z:).
winpath() { printf 'Z:%s' "$1" | tr '/' '\\'; }

# prepare_data_folder UNIX_DIR: Config with the two analyzer configuration files,
# Output, and Stimulus holding a sample stimulus (12 s of pink noise, 48 kHz stereo).
prepare_data_folder() {
    local dir=$1
    mkdir -p "$dir/Config" "$dir/Output" "$dir/Stimulus"
    cp "$here_lib/vorndata/Config/"*.cfg "$dir/Config/"
    [ -f "$dir/Stimulus/PinkNoise.wav" ] ||
        sox -q -n -r 48000 -b 16 -c 2 "$dir/Stimulus/PinkNoise.wav" synth 12 pinknoise gain -12
}

# write_ini FILE OUTPUT_FOLDER STIMULUS DURATION DELAY AUTOPROCESS: the settings a run starts from.
write_ini() {
    printf '[Settings]\r\nTestDuration=%s\r\nSpanStartFreq=30.0\r\nSpanStopFreq=150.0\r\nOutputFolder=%s\r\nAutoProcess=%s\r\nAutoProcessDelay=%s\r\nCorwithNumberScaleFactor=1.0\r\nStimulusFilename=%s\r\nInputDevIndex=0\r\nOutputDevIndex=0\r\nMinimizeAnalyzer=0\r\n' \
        "$4" "$2" "$6" "$5" "$3" >"$1"
}

# start_analyzer [OPTIONS...]: starts the substitute analyzer in the background
# (pid in analyzer_pid) and waits until it serves.
start_analyzer() {
    "$wine_run" "$tree/simulator/VornAnalyzerSim.exe" "$@" >/dev/null 2>&1 &
    analyzer_pid=$!
    wait_for_x_window "VORN substitute analyzer - Tonaserv" 20
}

# stop_session_analyzers: ends the substitute analyzers of this Wine prefix only, also one
# the program started through the registry (whose pid this script never learnt). Other
# runs on the machine have prefixes of their own and keep theirs.
stop_session_analyzers() {
    local pid
    for pid in $(pgrep -f 'VornAnalyzerSim\.exe'); do
        tr '\0' '\n' <"/proc/$pid/environ" 2>/dev/null | grep -qxF "WINEPREFIX=$WINEPREFIX" &&
            kill "$pid" 2>/dev/null
    done
    return 0
}

register_analyzer() { "$wine_run" "$tree/simulator/VornAnalyzerSim.exe" /register "$@" >/dev/null; }

stop_analyzer() {
    if [ -n "${analyzer_pid:-}" ]; then
        kill "$analyzer_pid" 2>/dev/null || true
        wait "$analyzer_pid" 2>/dev/null || true  # its status is the signal's: not a failure
    fi
    analyzer_pid=
}

# start_vorn EXE: starts the program in the background (pid in vorn_pid) and waits for its window.
start_vorn() {
    "$wine_run" "$1" >/dev/null 2>&1 &
    vorn_pid=$!
    driver wait "$caption" 20000 >/dev/null
}

wait_for_x_window() {
    local name=$1 seconds=$2
    for _ in $(seq $((seconds * 10))); do
        xwininfo -name "$name" >/dev/null 2>&1 && return 0
        sleep 0.1
    done
    echo "window \"$name\" did not appear" >&2
    return 1
}

screenshot() {
    local name=$1 out=$2
    local wid
    wid=$(xwininfo -name "$name" | awk '/Window id:/ {print $4}')
    import -window "$wid" "$out"
}
