#!/bin/sh
# Installs a build into a scratch prefix and builds a small C program against
# the installed library twice, once with pkg-config and once with CMake's
# find_package(lumaveil), and starts each the way the README says: the
# pkg-config one with LD_LIBRARY_PATH (and, linked with -Wl,-rpath, without;
# with neither it must fail to start), the CMake one from its build folder.
# Each program runs mode 1 on the installed Cooke triplet example, and its
# report must equal the one the installed host writes. Also checks a DESTDIR
# staging install.
#
#   sh scripts/install-check.sh [BUILD_DIR]    (default: build; takes ~10 s)
#
# Needs cc, cmake and pkg-config (`sh scripts/install-deps.sh test` installs them).
set -eu
build=$(cd "${1:-build}" && pwd)
for tool in cc cmake pkg-config; do
  if ! command -v "$tool" >/dev/null 2>&1; then
    echo "install-check: $tool is missing (sh scripts/install-deps.sh test installs it)" >&2
    exit 1
  fi
done
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT INT TERM
prefix="$scratch/prefix"
fail() { echo "install-check: FAILED: $*" >&2; exit 1; }

cmake --install "$build" --prefix "$prefix" >"$scratch/install.log" ||
  { cat "$scratch/install.log" >&2; fail "cmake --install"; }
libdir=$(pkg-config --variable=libdir "$prefix"/lib*/pkgconfig/lumaveil.pc)
for f in include/lumaveil/main5.h bin/lumaveil share/doc/lumaveil/docs/guide.md \
         share/doc/lumaveil/README.md share/doc/lumaveil/examples/cooke_triplet/IN_FM.txt; do
  [ -f "$prefix/$f" ] || fail "$f is not installed"
done
[ -f "$libdir/liblumaveil.so" ] || fail "the library is not in $libdir"

# The installed host, run without LD_LIBRARY_PATH: it finds the library itself.
run="$scratch/run-host"
mkdir -p "$run"
cp "$prefix"/share/doc/lumaveil/examples/cooke_triplet/IN_FM*.txt "$run"/
env -u LD_LIBRARY_PATH "$prefix/bin/lumaveil" -C "$run" 1 || fail "installed host"
[ -s "$run/OUT_M.xls" ] || fail "installed host wrote no report"

cat >"$scratch/app.c" <<'CODE'
#include <lumaveil/main5.h>
#include <stdio.h>
#include <unistd.h>

int main(int argc, char** argv) {
  if (argc != 2 || chdir(argv[1]) != 0) return 2;
  main5(1);
  FILE* report = fopen("OUT_M.xls", "rb");
  if (report == NULL) return 3;
  fclose(report);
  return 0;
}
CODE

# Compares the report a program wrote in a fresh copy of the example with the host's.
check_program() {
  name=$1
  shift
  dir="$scratch/run-$name"
  mkdir -p "$dir"
  cp "$prefix"/share/doc/lumaveil/examples/cooke_triplet/IN_FM*.txt "$dir"/
  "$@" "$dir" || fail "$name: the program failed"
  cmp -s "$dir/OUT_M.xls" "$run/OUT_M.xls" || fail "$name: report differs from the host's"
  echo "install-check: $name: built, ran, report identical"
}

# pkg-config, with the .pc file found through PKG_CONFIG_PATH: the README's
# command, then its run-time path (LD_LIBRARY_PATH from the .pc file's libdir).
PKG_CONFIG_PATH=$(dirname "$prefix"/lib*/pkgconfig/lumaveil.pc)
export PKG_CONFIG_PATH
# shellcheck disable=SC2046
cc -Wall -Wextra -Werror -o "$scratch/app-pc" "$scratch/app.c" $(pkg-config --cflags --libs lumaveil) ||
  fail "pkg-config build"
# (Unless a liblumaveil.so is in the loader's cache, from an install into /usr/local.)
if ! { ldconfig -p 2>/dev/null || /sbin/ldconfig -p 2>/dev/null; } | grep -q 'liblumaveil\.so'; then
  status=0
  env -u LD_LIBRARY_PATH "$scratch/app-pc" "$run" 2>/dev/null || status=$?
  [ "$status" = 127 ] ||
    fail "pkg-config: without a run-time path the program should not start (status $status, not 127)"
fi
check_program pkg-config env LD_LIBRARY_PATH="$(pkg-config --variable=libdir lumaveil)" "$scratch/app-pc"
# shellcheck disable=SC2046
cc -Wall -Wextra -Werror -o "$scratch/app-rpath" "$scratch/app.c" $(pkg-config --cflags --libs lumaveil) \
  -Wl,-rpath,"$(pkg-config --variable=libdir lumaveil)" || fail "pkg-config build with -rpath"
check_program pkg-config-rpath env -u LD_LIBRARY_PATH "$scratch/app-rpath"

# CMake: find_package(lumaveil) and the imported target.
mkdir -p "$scratch/cmake-app"
cp "$scratch/app.c" "$scratch/cmake-app/app.c"
cat >"$scratch/cmake-app/CMakeLists.txt" <<'CODE'
cmake_minimum_required(VERSION 3.20)
project(lumaveil_install_check LANGUAGES C)
find_package(lumaveil 0.1 REQUIRED)
add_executable(app app.c)
target_link_libraries(app PRIVATE lumaveil::lumaveil)
CODE
cmake -S "$scratch/cmake-app" -B "$scratch/cmake-app/build" -DCMAKE_PREFIX_PATH="$prefix" \
  >"$scratch/cmake.log" 2>&1 || { cat "$scratch/cmake.log" >&2; fail "find_package(lumaveil)"; }
cmake --build "$scratch/cmake-app/build" >>"$scratch/cmake.log" 2>&1 ||
  { cat "$scratch/cmake.log" >&2; fail "CMake build"; }
check_program cmake env -u LD_LIBRARY_PATH "$scratch/cmake-app/build/app"

# DESTDIR stages the same tree under another root.
DESTDIR="$scratch/stage" cmake --install "$build" --prefix /opt/lumaveil >/dev/null ||
  fail "DESTDIR install"
[ -f "$scratch/stage/opt/lumaveil/include/lumaveil/main5.h" ] || fail "DESTDIR not honoured"
staged_pc=$(ls "$scratch"/stage/opt/lumaveil/lib*/pkgconfig/lumaveil.pc)
[ "$(pkg-config --variable=includedir "$staged_pc")" -ef "$scratch/stage/opt/lumaveil/include" ] ||
  fail "the staged pkg-config file does not point into its own tree"
echo "install-check: DESTDIR staging honoured"
echo "install-check: every check passed"
