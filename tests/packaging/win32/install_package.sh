#!/bin/bash
# The Windows package as a station engineer meets it, in a Wine prefix made fresh for this
# run (the test run's own prefix already has the build's analyzer registered):
#  1. the substitute analyzer is an optional feature, off by default; a "real" analyzer's
#     registry entry survives install and removal of that feature unchanged;
#  2. a silent install: files, shortcut and the substitute analyzer's registration in place;
#     the installed program, launching the installed analyzer through that registration,
#     runs a whole automatic test to its Corwith Number and writes VORN.ini beside itself;
#  3. a package of a higher version installs over it, keeps the features chosen and VORN.ini
#     as it was;
#  4. removal leaves no program file, shortcut or registry key of ours, and leaves VORN.ini
#     and the output folder.
# Prints "N passed, M failed" and exits non-zero on any failure.
set -uo pipefail
tree=$(cd "$1" && pwd)
here=$(cd "$(dirname "$0")/../../.." && pwd)
scratch="$tree/package-scratch"

if [ "${2:-}" != inside ]; then
    rm -rf "$scratch"
    mkdir -p "$scratch"
    version=$(cat "$tree/VERSION")
    higher=$(echo "$version" | awk -F. '{ printf "%d.%d.%d", $1, $2, $3 + 1 }')
    "$here/scripts/make-package.sh" "$tree" "$scratch" >/dev/null || exit 1
    "$here/scripts/make-package.sh" "$tree" "$scratch" "$higher" >/dev/null || exit 1
    export WINEPREFIX="$scratch/wineprefix" PACKAGE_V1="$version" PACKAGE_V2="$higher"
    "$here/scripts/wine-session.sh" bash "$0" "$tree" inside || exit 1
    rm -rf "$scratch"   # the prefix alone is some 700 MB; a failed run keeps it to look into
    exit 0
fi

source "$here/scripts/e2e-lib.sh"
msi_v1=$(winpath "$scratch/VORN-$PACKAGE_V1.msi")
msi_v2=$(winpath "$scratch/VORN-$PACKAGE_V2.msi")
analyzer_key='HKLM\Software\Quillon Acoustics LLC\Tonalith'
our_key='HKCU\Software\VORN'
msiexec() { wine msiexec "$@" /qn >/dev/null 2>&1; }
unix_of() { winepath -u "$(wine cmd /c echo "$1" 2>/dev/null | tr -d '\r')" 2>/dev/null; }
reg_value() { wine reg query "$1" /v "$2" /reg:64 2>/dev/null | tr -d '\r' | sed -n "s/^ *$2 *REG_SZ *//p"; }
has_key() { wine reg query "$1" /reg:64 >/dev/null 2>&1; }
absent() { [ ! -e "$1" ] || { echo "     still there: $1"; return 1; }; }
present() { [ -e "$1" ] || { echo "     missing: $1"; return 1; }; }
no_key() { ! has_key "$1" || { echo "     registry key still there: $1"; return 1; }; }

install_dir="$(unix_of '%LOCALAPPDATA%')/Programs/VORN"
shortcut="$(unix_of '%APPDATA%')/Microsoft/Windows/Start Menu/Programs/VORN Test Control.lnk"
program_files=(VORN.exe vornwave.exe Manual.html VornAnalyzerSim.exe)
cleanup() {
    [ -n "${vorn_pid:-}" ] && kill "$vorn_pid" 2>/dev/null
    stop_session_analyzers
}
trap cleanup EXIT

# 1. The substitute analyzer is off by default. With a real analyzer registered, the feature
#    installs its program but leaves the entry alone.
check "a plain install succeeds" msiexec /i "$msi_v1"
check "a plain install has no substitute analyzer" absent "$install_dir/VornAnalyzerSim.exe"
check "a plain install registers no analyzer" no_key "$analyzer_key"
check "its removal succeeds" msiexec /x "$msi_v1"
real='"C:\Analyzer\Tonalith.exe" /dde'
wine reg add "$analyzer_key" /v EXE /t REG_SZ /d "$real" /f /reg:64 >/dev/null 2>&1
check "install with the substitute analyzer succeeds" msiexec /i "$msi_v1" ADDLOCAL=ALL
check "the analyzer program is installed" present "$install_dir/VornAnalyzerSim.exe"
check "the real analyzer's entry is unchanged by the install" equals "$(reg_value "$analyzer_key" EXE)" "$real"
check "removal succeeds" msiexec /x "$msi_v1"
check "the real analyzer's entry is unchanged by the removal" equals "$(reg_value "$analyzer_key" EXE)" "$real"
wine reg delete "$analyzer_key" /f /reg:64 >/dev/null 2>&1

# 2. Nothing registered: a silent install, then a whole test with what it installed.
data="$WINEPREFIX/drive_c/VORNData"
prepare_data_folder "$data"
check "install with the substitute analyzer succeeds" msiexec /i "$msi_v1" ADDLOCAL=ALL
for f in "${program_files[@]}"; do check "$f is installed" present "$install_dir/$f"; done
check "the Start-menu shortcut is there" present "$shortcut"
file_version() { strings -el "$1" | grep -A1 -x FileVersion | tail -n1; }
for f in VORN.exe vornwave.exe VornAnalyzerSim.exe; do
    check "$f carries the version in its file properties" equals "$(file_version "$install_dir/$f")" "$PACKAGE_V1"
done
local_appdata=$(wine cmd /c echo '%LOCALAPPDATA%' 2>/dev/null | tr -d '\r')
check "the substitute analyzer is registered" equals "$(reg_value "$analyzer_key" EXE)" \
    "\"$local_appdata\\Programs\\VORN\\VornAnalyzerSim.exe\""

ini="$install_dir/VORN.ini"
write_ini "$ini" 'C:\VORNData' 'C:\VORNData\Stimulus\PinkNoise.wav' 5.0 1.0 1
touch -d '2000-01-01' "$ini"
start_vorn "$install_dir/VORN.exe"
driver click "$caption" IDC_CAPTURE_SEALED >/dev/null
driver answer VORN yes 15000 >/dev/null
check "the program starts the installed analyzer through the registry" \
    wait_for_x_window "VORN substitute analyzer - Tonaserv" 20
driver click "$caption" IDC_CAPTURE_SEALED >/dev/null
result=$(driver waittext "$caption" IDC_CORWITH_RESULT "Corwith Number =" 120000)
check "the installed program runs a whole test to its Corwith Number" starts "$result" "Corwith Number ="
echo "     $result"
driver close "$caption"
wait "$vorn_pid"
vorn_pid=
stop_session_analyzers
check "the program writes VORN.ini in the install folder" test "$ini" -nt "$scratch/VORN-$PACKAGE_V1.msi"
check "the test's recordings are in the output folder" present "$data/Output/Merged.wav"

# 3. The higher version over it.
sed -i 's/^TestDuration=.*/TestDuration=7.5\r/' "$ini"
before=$(md5sum <"$ini")
check "the higher version installs over it" msiexec /i "$msi_v2"
check "the upgrade keeps VORN.ini as it was" equals "$(md5sum <"$ini")" "$before"
for f in "${program_files[@]}"; do check "$f is still installed after the upgrade" present "$install_dir/$f"; done
check "the substitute analyzer is still registered after the upgrade" starts "$(reg_value "$analyzer_key" EXE)" '"C:\'

# 4. Removal: ours gone, the operator's data kept.
check "removal succeeds" msiexec /x "$msi_v2"
for f in "${program_files[@]}"; do check "$f is removed" absent "$install_dir/$f"; done
check "the shortcut is removed" absent "$shortcut"
check "the analyzer registration is removed" no_key "${analyzer_key%\\*}"
check "no registry key of ours is left" no_key "$our_key"
check "VORN.ini is left" equals "$(md5sum <"$ini")" "$before"
check "the output folder is left" present "$data/Output/Merged.wav"

echo "$passed passed, $failed failed"
[ "$failed" -eq 0 ]
