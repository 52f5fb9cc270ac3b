#!/bin/bash
# Installs the Debian packages the build, the tests and `make run` need.
# As root it runs apt-get; otherwise it prints the command and fails.
set -euo pipefail
packages=(
    cmake ninja-build ccache g++ clang libclang-rt-14-dev libgtest-dev libbenchmark-dev
    g++-mingw-w64-x86-64 wine64 wine xvfb xauth fonts-wine imagemagick x11-utils
    sox python3 python3-numpy python3-scipy chromium
    wixl msitools zip python3-markdown man-db groff-base
)
missing=()
for p in "${packages[@]}"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
[ ${#missing[@]} -eq 0 ] && exit 0
cmd="apt-get install -y --no-install-recommends ${missing[*]}"
if [ "$(id -u)" -ne 0 ]; then
    echo "Missing packages. Run as root:" >&2
    echo "  apt-get update && $cmd" >&2
    exit 1
fi
echo "Installing: ${missing[*]}"
export DEBIAN_FRONTEND=noninteractive
apt-get update -qq
$cmd -qq >/dev/null
