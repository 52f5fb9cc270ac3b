#!/bin/bash
# Builds the Windows package from a Windows build tree:
#   scripts/make-package.sh TREE OUTDIR [VERSION]
# OUTDIR/VORN-<version>.msi (wixl, per user) and OUTDIR/VORN-<version>-portable.zip with the
# same files. VERSION defaults to the tree's own (project() in CMakeLists.txt); the package
# test passes a higher one to build an upgrade from the same files.
set -euo pipefail
tree=$(cd "$1" && pwd)
mkdir -p "$2"
out=$(cd "$2" && pwd)
version=${3:-$(cat "$tree/VERSION")}
here=$(cd "$(dirname "$0")/.." && pwd)
analyzer_key=$(sed -n 's/.*kAnalyzerRegistryKey = "\(.*\)";/\1/p' "$here/analyzer/AnalyzerService.h" | sed 's/\\\\/\\/g')
[ -n "$analyzer_key" ] || { echo "make-package.sh: analyzer registry key not found" >&2; exit 1; }

stage="$out/VORN-$version"
rm -rf "$stage"
mkdir -p "$stage"
cp "$tree/app/VORN.exe" "$tree/tools/vornwave/vornwave.exe" "$tree/simulator/VornAnalyzerSim.exe" "$stage/"
# The build tree keeps the symbols for debugging; the shipped copies do without them.
x86_64-w64-mingw32-strip "$stage"/*.exe
# Debian's python3, which has python3-markdown (scripts/setup-deps.sh).
/usr/bin/python3 "$here/packaging/manual-html.py" "$here/docs/manual.md" "$stage/Manual.html" "$version"

msi="$out/VORN-$version.msi"
rm -f "$msi"
(cd "$stage" && wixl -a x64 -D Version="$version" -D AnalyzerKey="$analyzer_key" -o "$msi" "$here/packaging/VORN.wxs")
# wixl writes no component or feature conditions. The substitute analyzer's registration is
# installed only when no analyzer is registered, or when the entry is the one this package
# made; its feature is chosen by default where it is installed already (an upgrade).
msibuild "$msi" -q "UPDATE \`Component\` SET \`Condition\` = 'NOT REGISTEREDANALYZER OR OURANALYZER' WHERE \`Component\` = 'AnalyzerRegistration'"
msibuild "$msi" -q "CREATE TABLE \`Condition\` (\`Feature_\` CHAR(38) NOT NULL, \`Level\` SHORT NOT NULL, \`Condition\` CHAR(255) PRIMARY KEY \`Feature_\`, \`Level\`)"
msibuild "$msi" -q "INSERT INTO \`Condition\` (\`Feature_\`, \`Level\`, \`Condition\`) VALUES ('SubstituteAnalyzer', 1, 'ANALYZERINSTALLED')"

zip="$out/VORN-$version-portable.zip"
rm -f "$zip"
(cd "$out" && zip -qr "$zip" "VORN-$version")
rm -rf "$stage"
ls -l "$msi" "$zip" | awk '{ print $5, $9 }'
