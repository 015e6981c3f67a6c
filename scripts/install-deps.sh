#!/bin/sh
# Installs the Debian packages a part of the work needs, by group, when they
# are missing (safe to run again: what is there is left alone):
#
#   sh scripts/install-deps.sh GROUP...
#
#   build       g++, CMake, make: all that `make demo` needs
#   test        GoogleTest, Google Benchmark, Python (the script tests), unzip
#               (the export test reads workbooks back), pkg-config (the
#               install check)
#   host-tools  Chromium, a Japanese font for its pages' report headings, and
#               libpng (the browser test of `lumaveil plot`),
#               libxlsxwriter, ISA-L and zlib (`lumaveil export` writes
#               workbooks), pkg-config (the install check; it finds
#               ISA-L and zlib), unzip (the workbook tests read workbooks
#               back), clang-format (the check of the host's source layout)
#   quality     FFTW and pkg-config, which finds it (`lumaveil quality`)
#   locale      the locale data and the comma-decimal locale de_DE.UTF-8 made
#               from it (the locale test)
#   fuzz        clang with libFuzzer and the sanitizer runtimes, and the
#               libraries the host's harnesses link: libxlsxwriter, ISA-L, zlib,
#               FFTW and pkg-config, which finds them (`make fuzz`)
#   windows     the MinGW-w64 cross compilers and both Wines, the 32-bit one
#               from the i386 architecture, added here (`make windows-check`)
#   fresh-machine  debootstrap (scripts/fresh-machine-check.sh)
#   bench       hyperfine and valgrind (bench/compare_modes.sh times two builds
#               of the host against each other and counts their instructions)
#
# One policy for every group: as root it installs them with apt-get (running
# `apt-get update` once first); otherwise through sudo when sudo is there;
# otherwise it prints the one command to run as root and exits with status 1.
set -eu

usage() {
  echo "usage: sh scripts/install-deps.sh GROUP... (build test host-tools quality locale fuzz windows fresh-machine bench)" >&2
  exit 2
}

packages_of() {
  case $1 in
    build) echo "g++ cmake make" ;;
    test) echo "libgtest-dev libbenchmark-dev python3 unzip pkgconf" ;;
    host-tools) echo "chromium fonts-ipafont-gothic libpng-dev libxlsxwriter-dev libreoffice-calc libisal-dev zlib1g-dev pkgconf unzip clang-format" ;;
    quality) echo "libfftw3-dev pkgconf" ;;
    locale) echo "locales" ;;
    fuzz) echo "clang libclang-rt-dev libxlsxwriter-dev libisal-dev zlib1g-dev libfftw3-dev pkgconf" ;;
    windows) echo "g++-mingw-w64-i686 g++-mingw-w64-x86-64 wine64 wine32:i386 python3" ;;
    fresh-machine) echo "debootstrap" ;;
    bench) echo "hyperfine valgrind python3" ;;
    *) echo "install-deps: unknown group '$1'" >&2; usage ;;
  esac
}

# One query for all the packages (each dpkg-query start is slow): lines of
# "name:architecture status", e.g. "cmake:amd64 ii ".
read_status() {
  status=$(dpkg-query -W -f='${Package}:${Architecture} ${db:Status-Abbrev}\n' $wanted 2>/dev/null || true)
}
installed() {
  case $1 in
    *:*) names=$1 ;;
    *) names="$1:$native $1:all" ;;
  esac
  for name in $names; do
    printf '%s\n' "$status" | grep -q "^$name ii" && return 0
  done
  return 1
}
has_test_locale() { locale -a 2>/dev/null | grep -qi '^de_DE\.utf-\?8$'; }
has_i386() { dpkg --print-foreign-architectures | grep -qx i386; }

[ $# -gt 0 ] || usage
wanted=""
want_locale=false
want_i386=false
for group in "$@"; do
  list=$(packages_of "$group") || exit 2
  wanted="$wanted $list"
  [ "$group" = locale ] && want_locale=true
  [ "$group" = windows ] && want_i386=true
done

native=$(dpkg --print-architecture)
read_status
missing=""
for package in $wanted; do
  case " $missing " in *" $package "*) continue ;; esac
  installed "$package" || missing="$missing $package"
done
missing=${missing# }
add_i386=false
if $want_i386 && ! has_i386; then add_i386=true; fi
make_locale=false
if $want_locale && ! has_test_locale; then make_locale=true; fi
if [ -z "$missing" ] && ! $add_i386 && ! $make_locale; then exit 0; fi

# The steps, in order, as one command line a person could paste.
steps=""
and() { steps="${steps:+$steps && }$*"; }
$add_i386 && and "dpkg --add-architecture i386"
if [ -n "$missing" ]; then
  and "apt-get update -qq"
  and "apt-get install -y -qq --no-install-recommends $missing"
fi
# localedef may warn and return non-zero yet write the locale: the check
# after it decides.
$make_locale && and "{ localedef -i de_DE -f UTF-8 de_DE.UTF-8 || true; }"

if [ "$(id -u)" = 0 ]; then
  as_root=""
elif command -v sudo >/dev/null 2>&1; then
  as_root="sudo"
else
  echo "install-deps: missing for $*: ${missing:-the locale de_DE.UTF-8}" >&2
  echo "install-deps: not root and no sudo; run as root:" >&2
  echo "    $steps" >&2
  exit 1
fi

echo "install-deps: installing for $*: ${missing:-the locale de_DE.UTF-8}" >&2
if ! $as_root env DEBIAN_FRONTEND=noninteractive sh -c "$steps" </dev/null; then
  echo "install-deps: the installation failed; the command was:" >&2
  echo "    $steps" >&2
  exit 1
fi

read_status
for package in $missing; do
  installed "$package" || { echo "install-deps: $package did not install" >&2; exit 1; }
done
if $want_locale && ! has_test_locale; then
  echo "install-deps: the locale de_DE.UTF-8 could not be made" >&2
  exit 1
fi
