#!/bin/bash
# Screenshots of the main dialog and the settings dialog at 96, 144 and 192 DPI (Wine's
# LogPixels), for the README: build/windows then docs/dpi-<dpi>-<dialog>.png. Not part of
# the test run; it changes the prefix's DPI and sets it back to 96 at the end.
#   tests/app/win32/dpi_screenshots.sh build/windows docs
set -uo pipefail
tree=$(cd "$1" && pwd)
out=$(mkdir -p "$2" && cd "$2" && pwd)
source "$(dirname "$0")/../../../scripts/e2e-lib.sh"
in_wine_session "$0" "$@"

set_dpi() {
    for key in 'HKCU\Control Panel\Desktop' 'HKCC\Software\Fonts'; do
        "$wine_run" reg add "$key" /v LogPixels /t REG_DWORD /d "$1" /f >/dev/null 2>&1
    done
}
trap 'set_dpi 96; [ -n "${vorn_pid:-}" ] && kill "$vorn_pid" 2>/dev/null' EXIT

make_workspace dpi 5.0 1.0
for dpi in 96 144 192; do
    set_dpi "$dpi"
    start_vorn "$work/bin/VORN.exe"
    sleep 1
    screenshot "$caption" "$out/dpi-$dpi-main.png"
    driver click "$caption" IDC_SETTINGS >/dev/null
    driver wait Settings 10000 >/dev/null && sleep 1 && screenshot Settings "$out/dpi-$dpi-settings.png"
    driver click Settings IDCANCEL >/dev/null
    driver close "$caption"
    wait "$vorn_pid"
    vorn_pid=
    echo "$dpi DPI: $(identify -format '%wx%h' "$out/dpi-$dpi-main.png") main, $(identify -format '%wx%h' "$out/dpi-$dpi-settings.png") settings"
done
