#!/bin/bash
# `make install` into a scratch PREFIX: the vornwave it installs is the Release build (no
# sanitizer runtime) and `man vornwave` shows the same text as its --help.
# Prints "N passed, M failed" and exits non-zero on any failure.
set -uo pipefail
source_dir=$(cd "$1" && pwd)
prefix="$(cd "$2" && pwd)/install-scratch"
source "$source_dir/scripts/e2e-lib.sh"
rm -rf "$prefix"

check "make install succeeds" make -s -C "$source_dir" install PREFIX="$prefix" >/dev/null
bin="$prefix/bin/vornwave"
check "vornwave is installed" test -x "$bin"
check "it carries no sanitizer" bash -c "! nm '$bin' | grep -q __asan_init && ! ldd '$bin' | grep -q -e asan -e ubsan"

page=$(MANPATH="$prefix/share/man" MANWIDTH=200 man -P cat vornwave 2>/dev/null)
check "man shows the page" starts "$page" "VORNWAVE(1)"
# Every line of the help texts appears in the page as it is (the page indents them).
same_text() {
    local line missing=0
    while IFS= read -r line; do
        [ -z "$line" ] && continue
        grep -qF -- "$line" <<<"$page" || { echo "     not in the page: $line"; missing=1; }
    done
    return $missing
}
check "the page holds vornwave --help" same_text < <("$bin" --help)
for command in info probe filter calibrate; do
    check "the page holds vornwave $command --help" same_text < <("$bin" "$command" --help)
done
version=$(sed -n 's/^project(VORN VERSION \([0-9.]*\).*/\1/p' "$source_dir/CMakeLists.txt")
check "the page names the version" grep -qF "VORN $version" <<<"$page"

echo "$passed passed, $failed failed"
[ "$failed" -eq 0 ]
