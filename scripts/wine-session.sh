#!/bin/bash
# Runs a command inside a private Wine session: an Xvfb display when DISPLAY is unset,
# a prefix of its own (WINEPREFIX, made on first use), and one warm wineserver for
# the whole command. Only what this script started is stopped afterwards.
#   scripts/wine-session.sh ctest --test-dir build/windows
set -euo pipefail
: "${WINEPREFIX:?set WINEPREFIX to a private prefix, e.g. build/windows/wineprefix}"
: "${WINEDEBUG:=-all,err+module}"
: "${WINEDLLOVERRIDES:=mscoree,mshtml=}"
export WINEPREFIX WINEDEBUG WINEDLLOVERRIDES
export VORN_WINE_SESSION=1   # tells the build tree's CTest emulator that a session is running

tmp=$(mktemp -d)
xvfb_pid=
cleanup() {
    wineserver -k 2>/dev/null || true
    if [ -n "$xvfb_pid" ]; then
        kill "$xvfb_pid" 2>/dev/null || true
        wait "$xvfb_pid" 2>/dev/null || true
    fi
    rm -rf "$tmp"
}
trap cleanup EXIT

if [ -z "${DISPLAY:-}" ]; then
    # Xvfb picks a free display and writes its number to fd 3 once it accepts clients.
    Xvfb -displayfd 3 -screen 0 1280x1024x24 -nolisten tcp 3>"$tmp/display" >"$tmp/xvfb.log" 2>&1 &
    xvfb_pid=$!
    for _ in $(seq 100); do [ -s "$tmp/display" ] && break; sleep 0.1; done
    [ -s "$tmp/display" ] || { cat "$tmp/xvfb.log" >&2; exit 1; }
    export DISPLAY=":$(head -n1 "$tmp/display")"
fi

# A wineserver of this prefix started without a display breaks DDE and windows: stop it.
wineserver -k 2>/dev/null || true
wineserver -w 2>/dev/null || true
mkdir -p "$WINEPREFIX"
wineserver -p
if [ ! -f "$WINEPREFIX/system.reg" ] || [ ! -f "$WINEPREFIX/.vorn-ready" ]; then
    wineboot -i >/dev/null 2>&1
    # No window manager under Xvfb: without this every closing window stalls about 2 s.
    wine reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /t REG_SZ /d N /f >/dev/null 2>&1
    # This Wine does not read /usr/share/wine/fonts; Tahoma and Marlett must be in the prefix.
    if ls /usr/share/wine/fonts/*.ttf >/dev/null 2>&1; then
        cp /usr/share/wine/fonts/*.ttf "$WINEPREFIX/drive_c/windows/Fonts/"
    fi
    touch "$WINEPREFIX/.vorn-ready"
    wineserver -k 2>/dev/null || true
    wineserver -w 2>/dev/null || true
    wineserver -p
fi
wine cmd /c exit 0 >/dev/null 2>&1   # start Wine's services before timing-sensitive work

"$@"
