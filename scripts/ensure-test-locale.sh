#!/bin/sh
# Makes a comma-decimal locale (de_DE.UTF-8) available for the test that
# proves numbers are read and written with a full stop whatever the host
# process's locale. Installs Debian's locale data when it is missing. Exits
# with status 1, saying why, when the locale cannot be made: CI then stops
# rather than run without the test.
set -eu
has_locale() { locale -a 2>/dev/null | grep -qi '^de_DE\.utf-\?8$'; }
if has_locale; then exit 0; fi
if [ ! -f /usr/share/i18n/locales/de_DE ] && [ "$(id -u)" = 0 ]; then
  (apt-get update -qq && DEBIAN_FRONTEND=noninteractive apt-get install -y -qq locales) >/dev/null 2>&1 ||
    echo "ensure-test-locale: could not install the Debian package 'locales'" >&2
fi
# localedef may warn with a non-zero status and still write the locale: the
# check below decides.
localedef -i de_DE -f UTF-8 de_DE.UTF-8 || true
if ! has_locale; then
  echo "ensure-test-locale: the locale de_DE.UTF-8 could not be made" >&2
  exit 1
fi
