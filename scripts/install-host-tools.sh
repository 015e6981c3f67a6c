#!/bin/sh
# Debian packages the command-line host's extras need, installed when
# missing (safe to run again):
#   chromium          the browser test of `lumaveil plot` renders its page
#   libpng-dev        that test reads the screenshot
#   libxlsxwriter-dev `lumaveil export` writes workbooks with it
#   libfftw3-dev      `lumaveil quality` takes its PSF and MTF transforms from it
#   unzip             the workbook tests read the workbooks back
#   clang-format      the check of the host's source layout
# The library and the DLL need none of them.
set -eu
missing=""
for package in chromium libpng-dev libxlsxwriter-dev libfftw3-dev unzip clang-format; do
  if ! dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q "install ok installed"; then
    missing="$missing $package"
  fi
done
[ -z "$missing" ] && exit 0
if [ "$(id -u)" != 0 ]; then
  echo "install-host-tools: not root, cannot install:$missing" >&2
  exit 1
fi
apt-get update -qq
DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --no-install-recommends $missing
