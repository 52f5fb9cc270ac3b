#!/bin/bash
# Writes the manual page of vornwave from the program's own help texts, so that
# `man vornwave` and `vornwave --help` always say the same:
#   packaging/vornwave-man.sh VORNWAVE VERSION > vornwave.1
set -euo pipefail
exe=$1 version=$2

# Help text as roff, kept line for line: no filling, backslashes, dashes and leading dots escaped.
verbatim() {
    echo ".nf"
    sed -e 's/\\/\\e/g' -e 's/-/\\-/g' -e "s/^\([.']\)/\\\\\&\1/"
    echo ".fi"
}

help=$("$exe" --help)
commands=$(printf '%s\n' "$help" | sed -n '/^commands:/,/^$/s/^  \([a-z][a-z-]*\) .*/\1/p')
[ -n "$commands" ] || { echo "vornwave-man.sh: no commands in $exe --help" >&2; exit 1; }

cat <<ROFF
.TH VORNWAVE 1 "" "VORN $version" "User Commands"
.SH NAME
vornwave \- make, filter and inspect the stimulus wave files of VORN Test Control
.SH DESCRIPTION
ROFF
printf '%s\n' "$help" | verbatim
echo ".SH COMMANDS"
for c in $commands; do
    echo ".SS $c"
    "$exe" "$c" --help | verbatim
done
