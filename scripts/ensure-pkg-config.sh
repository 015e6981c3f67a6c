#!/bin/sh
# Makes pkg-config available for the install check (scripts/install-check.sh).
# Installs Debian's pkgconf when it is missing.
set -eu
if command -v pkg-config >/dev/null 2>&1; then exit 0; fi
if [ "$(id -u)" = 0 ]; then
  (apt-get update -qq && DEBIAN_FRONTEND=noninteractive apt-get install -y -qq pkgconf) >/dev/null 2>&1 || true
fi
command -v pkg-config >/dev/null 2>&1
