#!/usr/bin/env bash
# Cross-builds lumaveil.dll for Windows with MinGW-w64.
#
#   scripts/windows-build.sh            # 32-bit: build-win32/lumaveil.dll
#   scripts/windows-build.sh x86_64     # 64-bit: build-win64/lumaveil.dll
#
# Extra arguments after the architecture go to the CMake configure step
# (-DLUMAVEIL_BUILD_WIN_HOST=ON adds the Windows host program).  Tests,
# benchmarks and the Linux CLI are not part of these builds.  The cross
# compilers come from `sh scripts/install-deps.sh windows`; `make windows-check`
# builds both DLLs itself.
set -euo pipefail

root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
cd "$root"

arch="${1:-i686}"
[ $# -gt 0 ] && shift
case "$arch" in
  i686|x86|win32|32)        arch=i686;   builddir=build-win32 ;;
  x86_64|x64|win64|64)      arch=x86_64; builddir=build-win64 ;;
  *) echo "windows-build: unknown architecture '$arch' (use i686 or x86_64)" >&2; exit 2 ;;
esac
triple="${arch}-w64-mingw32"
builddir="${LUMAVEIL_WIN_BUILD_DIR:-$builddir}"

if ! command -v "${triple}-g++" >/dev/null 2>&1 \
   && ! command -v "${triple}-g++-posix" >/dev/null 2>&1 \
   && ! command -v "${triple}-g++-win32" >/dev/null 2>&1; then
  echo "windows-build: no ${triple} cross compiler; install the Windows tools first:" >&2
  echo "    sh scripts/install-deps.sh windows" >&2
  exit 1
fi

jobs="${LUMAVEIL_JOBS:-$(nproc 2>/dev/null || echo 2)}"

cmake -S . -B "$builddir" \
  -DCMAKE_TOOLCHAIN_FILE="$root/cmake/toolchain-mingw-${arch}.cmake" \
  -DCMAKE_BUILD_TYPE=Release \
  -DLUMAVEIL_BUILD_TESTS=OFF \
  -DLUMAVEIL_BUILD_BENCH=OFF \
  -DLUMAVEIL_BUILD_CLI=OFF \
  "$@"
cmake --build "$builddir" -j "$jobs"

if [ ! -f "$builddir/lumaveil.dll" ]; then
  echo "windows-build: $builddir/lumaveil.dll was not produced" >&2
  exit 1
fi
echo "windows-build: $builddir/lumaveil.dll"
