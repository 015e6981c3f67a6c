#!/usr/bin/env bash
# Checks the Windows build of lumaveil.dll against the Linux build.
#
#   1. builds the 32-bit DLL (scripts/windows-build.sh) and checks its export
#      table (one name, main5, ordinal 4) and its imports (system DLLs only);
#   2. builds the 64-bit DLL and lumaveil-host.exe in build-win64/, and runs
#      every example lens and every reference case under Wine and with the
#      Linux host build/lumaveil.  The Windows OUT_M.xls must end every line
#      in CR LF and, once CR LF is turned into LF, equal the Linux one byte
#      for byte, except for the cases listed in windows-libm-differences.txt,
#      whose numbers may differ by the Windows math library's rounding.
#
# Installs what is missing from Debian's archive (MinGW-w64 cross compilers,
# Wine).  Runs unattended: no terminal, no display.  Exits non-zero on any
# failure.
set -euo pipefail

root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
cd "$root"

start_time=$(date +%s)
say() { printf '%s\n' "$*"; }
die() { printf 'windows-check: %s\n' "$*" >&2; exit 1; }

as_root() {
  if [ "$(id -u)" -eq 0 ]; then "$@"; else sudo "$@"; fi
}

# --- tools ------------------------------------------------------------------

have_cxx() {
  command -v "$1-g++" >/dev/null 2>&1 || command -v "$1-g++-posix" >/dev/null 2>&1 \
    || command -v "$1-g++-win32" >/dev/null 2>&1
}

find_wine() {
  # Debian 12 ships the 64-bit loader as /usr/lib/wine/wine64 and no
  # wine64 command on PATH; other layouts have one.
  local c
  for c in "$(command -v wine64 2>/dev/null || true)" /usr/lib/wine/wine64 \
           /usr/lib/x86_64-linux-gnu/wine/wine64 "$(command -v wine 2>/dev/null || true)"; do
    if [ -n "$c" ] && [ -x "$c" ]; then printf '%s\n' "$c"; return 0; fi
  done
  return 1
}

find_wineserver() {
  local c
  for c in "$(command -v wineserver64 2>/dev/null || true)" /usr/lib/wine/wineserver64 \
           "$(command -v wineserver 2>/dev/null || true)" /usr/lib/wine/wineserver; do
    if [ -n "$c" ] && [ -x "$c" ]; then printf '%s\n' "$c"; return 0; fi
  done
  return 1
}

missing=()
have_cxx i686-w64-mingw32   || missing+=(g++-mingw-w64-i686)
have_cxx x86_64-w64-mingw32 || missing+=(g++-mingw-w64-x86-64)
command -v x86_64-w64-mingw32-objdump >/dev/null 2>&1 || missing+=(binutils-mingw-w64-x86-64)
find_wine >/dev/null        || missing+=(wine64)
command -v cmake >/dev/null 2>&1 || missing+=(cmake)
command -v g++ >/dev/null 2>&1   || missing+=(g++)
if [ ${#missing[@]} -gt 0 ]; then
  say "windows-check: installing ${missing[*]}"
  export DEBIAN_FRONTEND=noninteractive
  as_root apt-get update -q </dev/null >/dev/null
  # wine64 alone (without its recommends: no X, sound or fonts) runs
  # console programs; the 64-bit loader needs no i386 multiarch.
  as_root apt-get install -y -q --no-install-recommends "${missing[@]}" </dev/null >/dev/null
fi
wine="$(find_wine)" || die "no wine64 loader found after installing wine64"
wineserver="$(find_wineserver)" || die "no wineserver found"

failures=0

# --- DLL checks ---------------------------------------------------------------

# check_dll OBJDUMP DLL: prints the export table and the imported DLL names,
# and checks that main5 at ordinal 4 is the only export and that no MinGW
# runtime DLL is imported.
check_dll() {
  local objdump="$1" dll="$2" dump exports imports bad
  dump="$(mktemp)"
  "$objdump" -p "$dll" >"$dump"

  say "--- export table of $dll"
  exports="$(awk '
    /^There is an export table/ { on = 1 }
    on && !done { print }
    on && /^\[Ordinal\/Name Pointer\] Table/ { names = 1; next }
    names && /^[[:space:]]*$/ { done = 1 }' "$dump")"
  printf '%s\n' "$exports"

  # Summary: "<ordinal> <name>" per entry, from the ordinal base and the
  # name-pointer table (its [index] is relative to the base), plus the
  # number of entries in the address table.
  local base n_addr names
  base="$(printf '%s\n' "$exports" | awk '/^Ordinal Base/ && !seen++ { print $3 }')"
  n_addr="$(printf '%s\n' "$exports" | awk '
    /^[[:space:]]*Export Address Table[[:space:]]+[0-9a-fA-F]+$/ {
      v = tolower($4); n = 0
      for (i = 1; i <= length(v); i++) n = n * 16 + index("0123456789abcdef", substr(v, i, 1)) - 1
      if (!seen++) print n }')"
  names="$(printf '%s\n' "$exports" | awk -v base="$base" '
    /^\[Ordinal\/Name Pointer\] Table/ { on = 1; next }
    on && /^[[:space:]]*$/ { on = 0 }
    on { line = $0; sub(/^[[:space:]]*\[[[:space:]]*/, "", line); idx = line; sub(/\].*/, "", idx);
         nm = line; sub(/^[^]]*\][[:space:]]*/, "", nm); print base + idx, nm }')"

  if [ "${n_addr:-x}" = 1 ] && [ "$names" = "4 main5" ]; then
    say "ok  $dll exports exactly main5 at ordinal 4"
  else
    say "FAIL $dll export table: ${n_addr:-?} address entries, names: $(printf '%s' "$names" | tr '\n' ';')"
    failures=$((failures + 1))
  fi

  say "--- imports of $dll"
  imports="$(awk '/DLL Name:/ { print $3 }' "$dump")"
  rm -f "$dump"
  printf '%s\n' "$imports" | sed 's/^/    /'
  bad="$(printf '%s\n' "$imports" | grep -Ei '^(libgcc|libstdc\+\+|libwinpthread)' || true)"
  if [ -n "$bad" ]; then
    say "FAIL $dll imports MinGW runtime DLLs: $(printf '%s' "$bad" | tr '\n' ' ')"
    failures=$((failures + 1))
  else
    say "ok  $dll imports system DLLs only"
  fi
}

say "=== 32-bit DLL (build-win32)"
scripts/windows-build.sh i686
check_dll i686-w64-mingw32-objdump build-win32/lumaveil.dll

# The 32-bit DLL cannot run under a 64-bit-only Wine, so check its code
# instead: the library's own objects must do their double arithmetic in
# SSE2 (-mfpmath=sse).  Loads and stores of st(0) remain where the 32-bit
# ABI returns a double from a call; they are exact and not counted here.
x87_ops='^[[:space:]]*[0-9a-f]+:[[:space:]]+(f(add|sub|subr|mul|div|divr)[lsp]?|fi(add|sub|subr|mul|div|divr)[lsq]?|fsqrt|fsin|fcos|fsincos|fpatan|fptan|fprem1?|fscale|f2xm1|fyl2x(p1)?|frndint)([[:space:]]|$)'
x87_total=0
x87_files=""
while IFS= read -r -d '' obj; do
  n="$(i686-w64-mingw32-objdump -d --no-show-raw-insn "$obj" | grep -cE "$x87_ops" || true)"
  if [ "${n:-0}" -gt 0 ]; then
    x87_total=$((x87_total + n))
    x87_files="$x87_files ${obj#build-win32/CMakeFiles/}($n)"
  fi
done < <(find build-win32/CMakeFiles -name '*.obj' -print0)
if [ "$x87_total" -eq 0 ]; then
  say "ok  build-win32 objects: no x87 arithmetic (doubles in SSE2)"
else
  say "FAIL build-win32 objects: $x87_total x87 arithmetic instruction(s) in:$x87_files"
  failures=$((failures + 1))
fi

say "=== 64-bit DLL and host (build-win64)"
scripts/windows-build.sh x86_64 -DLUMAVEIL_BUILD_WIN_HOST=ON
check_dll x86_64-w64-mingw32-objdump build-win64/lumaveil.dll
[ -f build-win64/lumaveil-host.exe ] || die "build-win64/lumaveil-host.exe was not built"

# --- Linux reference build ------------------------------------------------------

if [ ! -x build/lumaveil ]; then
  say "=== Linux build (build)"
  cmake -S . -B build
  cmake --build build -j "${LUMAVEIL_JOBS:-$(nproc 2>/dev/null || echo 2)}"
else
  # Bring an existing Linux host up to date with the sources just built
  # for Windows, so both sides run the same code.
  cmake --build build -j "${LUMAVEIL_JOBS:-$(nproc 2>/dev/null || echo 2)}" --target lumaveil_cli >/dev/null
fi
[ -x build/lumaveil ] || die "build/lumaveil (the Linux host) was not built"

# --- Wine -----------------------------------------------------------------------

winehost="$root/build-win64/lumaveil-host.exe"
export WINEPREFIX="$root/build-win64/wineprefix"
export WINEDEBUG=-all
export WINEARCH=win64
# No Mono/Gecko install prompts, no window of any kind.
export WINEDLLOVERRIDES="mscoree,mshtml=;winemenubuilder.exe=d"
unset DISPLAY WAYLAND_DISPLAY
export WINELOADER="$wine"
export WINESERVER="$wineserver"

if [ ! -f "$WINEPREFIX/system.reg" ]; then
  say "=== creating the Wine prefix $WINEPREFIX"
  mkdir -p "$WINEPREFIX"
  "$wine" wineboot -i </dev/null >/dev/null 2>&1 || true
  "$wineserver" -w </dev/null >/dev/null 2>&1 || true
fi
# One persistent server for all runs; stopped on exit.
"$wineserver" -p </dev/null >/dev/null 2>&1 || true
cleanup() { "$wineserver" -k </dev/null >/dev/null 2>&1 || true; }
trap cleanup EXIT

# --- cases ----------------------------------------------------------------------

scratch="$root/build-win64/check"
rm -rf "$scratch"
mkdir -p "$scratch"

run_timeout="${LUMAVEIL_CASE_TIMEOUT:-600}"
n_libm=0

# The cases whose reports differ from Linux in trailing digits because the
# Windows C runtime's tan, atan, asin, acos, sin, cos and pow round some
# results differently from glibc (one unit in the last place), which the
# optimisers and the fits amplify. They are listed one "FOLDER MODE" a line in
# scripts/windows-libm-differences.txt and compared number by number with a
# relative tolerance of 1e-5; every other case must be byte-identical.
libm_list="$root/scripts/windows-libm-differences.txt"
libm_sensitive() {
  [ -f "$libm_list" ] && grep -v '^#' "$libm_list" | grep -Eqx "$1 $2( layout)?"
}
# The relative tolerance of a listed case: 1e-5, or none at all (only the
# layout is compared) for a run marked "layout", an ill-conditioned search
# that amplifies the rounding without bound.
libm_tolerance() {
  if grep -v '^#' "$libm_list" | grep -qx "$1 $2 layout"; then echo 1e300; else echo 1e-5; fi
}
n_cases=0
n_pass=0
n_fail=0

# Line-ending check: every LF must follow a CR and every CR must precede an LF.
crlf_problem() {
  perl -0777 -ne '
    my $lf = () = /(?<!\r)\n/g;
    my $cr = () = /\r(?!\n)/g;
    print "$lf line(s) end in a bare LF" if $lf;
    print(($lf ? ", " : "") . "$cr stray CR") if $cr;' "$1"
}

# run_case LABEL FOLDER MODE
run_case() {
  local label="$1" src="$2" mode="$3" dir lin win rc_l rc_w note=""
  dir="$scratch/$(printf '%s' "$label" | tr '/ ' '__')-m$mode"
  lin="$dir/linux"
  win="$dir/windows"
  mkdir -p "$lin" "$win"
  cp -R "$src"/. "$lin"/
  cp -R "$src"/. "$win"/
  rm -f "$lin/OUT_M.xls" "$win/OUT_M.xls"
  n_cases=$((n_cases + 1))

  set +e
  (cd "$lin" && timeout "$run_timeout" "$root/build/lumaveil" "$mode" </dev/null >stdout.txt 2>stderr.txt)
  rc_l=$?
  (cd "$win" && timeout "$run_timeout" "$wine" "$winehost" "$mode" </dev/null >stdout.txt 2>stderr.txt)
  rc_w=$?
  set -e

  # The Linux CLI exits 1 (after main5 has written its report) when
  # IN_FM.txt is missing; the report is what counts, so a plain non-zero
  # exit is only noted.  A crash or a timeout fails the case.
  [ "$rc_l" -ne 0 ] && note=" (Linux host exit $rc_l)"
  local fail=""
  if [ "$rc_w" -ne 0 ]; then
    fail="Windows host exited with $rc_w: $(head -c 300 "$win/stderr.txt" | tr '\n' ' ')"
  elif [ "$rc_l" -eq 124 ] || [ "$rc_l" -ge 128 ]; then
    fail="Linux host died (exit $rc_l): $(head -c 300 "$lin/stderr.txt" | tr '\n' ' ')"
  elif [ ! -f "$lin/OUT_M.xls" ] && [ ! -f "$win/OUT_M.xls" ]; then
    note="$note (no OUT_M.xls on either side)"
  elif [ ! -f "$win/OUT_M.xls" ]; then
    fail="no OUT_M.xls from Windows"
  elif [ ! -f "$lin/OUT_M.xls" ]; then
    fail="no OUT_M.xls from Linux"
  else
    local ending
    ending="$(crlf_problem "$win/OUT_M.xls")"
    perl -0777 -pe 's/\r\n/\n/g' "$win/OUT_M.xls" >"$win/OUT_M.lf.xls"
    if [ -n "$ending" ]; then
      fail="Windows OUT_M.xls: $ending"
    elif ! cmp -s "$lin/OUT_M.xls" "$win/OUT_M.lf.xls"; then
      if libm_sensitive "$label" "$mode"; then
        local verdict
        if verdict="$(LC_ALL=C awk -v A="$lin/OUT_M.xls" -v B="$win/OUT_M.lf.xls" \
                        -v rel="$(libm_tolerance "$label" "$mode")" -v abs=1e-9 \
                        -f "$root/scripts/compare-numbers.awk")"; then
          note="$note (listed libm difference: $verdict)"
          n_libm=$((n_libm + 1))
        else
          fail="OUT_M.xls differs from Linux beyond libm rounding: $verdict"
        fi
      else
        fail="OUT_M.xls differs from Linux"
      fi
    elif libm_sensitive "$label" "$mode"; then
      note="$note (listed as libm-sensitive, but byte-identical)"
    fi
  fi

  if [ -z "$fail" ]; then
    n_pass=$((n_pass + 1))
    say "ok  $label mode $mode$note"
  else
    n_fail=$((n_fail + 1))
    say "FAIL $label mode $mode: $fail"
    if [ -f "$lin/OUT_M.xls" ] && [ -f "$win/OUT_M.lf.xls" ]; then
      diff -U0 --label "linux/OUT_M.xls" --label "windows/OUT_M.xls (CR LF -> LF)" \
        "$lin/OUT_M.xls" "$win/OUT_M.lf.xls" | head -n 24 | sed 's/^/    /' || true
    fi
    say "    (files kept in $dir)"
  fi
}

say "=== Windows (wine) against Linux"
shopt -s nullglob
for d in examples/*/; do
  d="${d%/}"
  [ -f "$d/IN_FM.txt" ] || continue
  modes="1 4"
  [ -f "$d/IN_FM2.txt" ] && modes="1 2 3 4 5 6"
  for m in $modes; do
    run_case "$d" "$root/$d" "$m"
  done
done
# A reference case is a folder with IN_FM.txt or a modes file (a case may
# leave IN_FM.txt out on purpose to exercise the missing-input report).
for d in tests/data/reference/*/; do
  d="${d%/}"
  [ -f "$d/IN_FM.txt" ] || [ -f "$d/modes" ] || continue
  if [ -f "$d/modes" ]; then
    modes="$(grep -oE '[0-9]+' "$d/modes" | tr '\n' ' ')"
  else
    modes="1 4"
  fi
  [ -n "${modes// /}" ] || modes="1 4"
  for m in $modes; do
    run_case "$d" "$root/$d" "$m"
  done
done
shopt -u nullglob

elapsed=$(( $(date +%s) - start_time ))
if [ "$failures" -gt 0 ]; then
  say "windows-check: $failures DLL check(s) failed"
fi
say "windows-check: took ${elapsed}s"
say "windows-check: $n_cases cases compared under wine, $n_pass passed ($n_libm of them within the listed libm rounding), $n_fail failed"
[ "$n_fail" -eq 0 ] && [ "$failures" -eq 0 ]
