# The common start of the scripts that run vornwave over files, sourced with the script's own
# arguments: vornwave (the command line that runs it, an emulator first when there is one),
# a scratch folder that is the working folder and goes at exit (read-only files too), and
# fail, which counts and prints a failure.
set -u
vornwave=("$@")
work=$(mktemp -d)
trap 'chmod -R u+w "$work"; rm -rf "$work"' EXIT
cd "$work" || exit 1
failures=0
fail() { echo "FAIL: $*"; failures=$((failures + 1)); }
