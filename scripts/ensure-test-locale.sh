#!/bin/sh
# Makes a comma-decimal locale (de_DE.UTF-8) available for the test that
# proves numbers are read and written with a full stop whatever the host
# process's locale. Installs Debian's locale data when it is missing.
set -eu
if locale -a 2>/dev/null | grep -qi '^de_DE\.utf-\?8$'; then exit 0; fi
if [ ! -f /usr/share/i18n/locales/de_DE ] && [ "$(id -u)" = 0 ]; then
  (apt-get update -qq && DEBIAN_FRONTEND=noninteractive apt-get install -y -qq locales) >/dev/null 2>&1 || true
fi
localedef -i de_DE -f UTF-8 de_DE.UTF-8
