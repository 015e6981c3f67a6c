#!/bin/sh
# Installs what the Windows build and its check need, from Debian's archive,
# when missing (safe to run again):
#   g++-mingw-w64-i686, g++-mingw-w64-x86-64   the cross compilers of the DLLs
#   wine64                                     the 64-bit loader (the 64-bit twin)
#   wine32:i386                                the 32-bit loader: runs lumaveil.dll itself
#   python3                                    the export-table reader and the comparer
# wine32 needs the i386 architecture next to amd64; it is added once.
# No check installs anything: `.ci/run` runs this first, and so does a
# developer on a fresh machine.
set -eu
as_root() {
  if [ "$(id -u)" = 0 ]; then "$@"; else sudo "$@"; fi
}
installed() {
  dpkg-query -W -f='${Status}' "$1" 2>/dev/null | grep -q "install ok installed"
}
if ! dpkg --print-foreign-architectures | grep -qx i386; then
  as_root dpkg --add-architecture i386
fi
missing=""
for package in g++-mingw-w64-i686 g++-mingw-w64-x86-64 wine64 wine32:i386 python3; do
  installed "$package" || missing="$missing $package"
done
[ -z "$missing" ] && exit 0
echo "install-windows-tools: installing$missing" >&2
export DEBIAN_FRONTEND=noninteractive
as_root apt-get update -qq </dev/null
as_root apt-get install -y -qq --no-install-recommends $missing </dev/null >/dev/null
for package in $missing; do
  installed "$package" || { echo "install-windows-tools: $package did not install" >&2; exit 1; }
done
