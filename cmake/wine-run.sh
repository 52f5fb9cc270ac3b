#!/bin/sh
# Runs one Windows executable under Wine with quiet, prompt-free defaults.
# The caller (scripts/wine-session.sh) sets WINEPREFIX and DISPLAY.
# "exec" matters: this process then is the Windows process, so killing it ends the program.
: "${WINEPREFIX:?set WINEPREFIX (the build tree's prefix, e.g. build/windows/wineprefix)}"
: "${WINEDEBUG:=-all,err+module}"
: "${WINEDLLOVERRIDES:=mscoree,mshtml=}"
export WINEPREFIX WINEDEBUG WINEDLLOVERRIDES
if [ -z "${DISPLAY:-}" ]; then
    echo "wine-run.sh: DISPLAY is not set (run through scripts/wine-session.sh)" >&2
fi
exec wine "$@"
