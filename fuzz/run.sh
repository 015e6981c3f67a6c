#!/bin/sh
# Builds the fuzz harnesses with clang (in their own build folder) and runs
# each for SECONDS seconds, one after the other on one core, from its seed
# corpus fuzz/corpus/<name>. New inputs go to <build>/corpus/<name>, any
# finding (crash, sanitizer report, difference, timeout, memory) to
# <build>/findings/. Exits 1 when any harness found something.
#   sh fuzz/run.sh [build-dir] [seconds] [jobs] [names...]
set -eu
cd "$(dirname "$0")/.."
root=$(pwd)
build=${1:-build-fuzz}
seconds=${2:-60}
jobs=${3:-2}
shift 3 2>/dev/null || shift $#
names=${*:-"numbers lens_data ray_set mode1 mode2 mode3 mode4 mode5 mode6 report plot csv workbook check"}

sh scripts/install-deps.sh fuzz
CC=clang CXX=clang++ cmake -S . -B "$build" -DCMAKE_BUILD_TYPE=RelWithDebInfo -DLUMAVEIL_FUZZ=ON \
  -DLUMAVEIL_BUILD_TESTS=OFF -DLUMAVEIL_BUILD_BENCH=OFF -DLUMAVEIL_BUILD_CLI=OFF >/dev/null
cmake --build "$build" --target lumaveil_fuzzers -j "$jobs" >/dev/null

build=$(cd "$build" && pwd)
mkdir -p "$build/findings"
status=0
for name in $names; do
  case $name in
    numbers) max_len=128 ;;
    # Reports: room for the largest golden report (10 KB) and its lens file.
    report | plot | csv | workbook) max_len=32768 ;;
    *) max_len=16384 ;;
  esac
  case $name in
    report | plot | csv | workbook) dict="-dict=$root/fuzz/report.dict" ;;
    *) dict="" ;;
  esac
  work="$build/corpus/$name"
  mkdir -p "$work"
  log="$build/fuzz_$name.log"
  if "$build/fuzz/fuzz_$name" -max_total_time="$seconds" -timeout=20 -rss_limit_mb=2048 \
      -max_len="$max_len" $dict -print_final_stats=1 -artifact_prefix="$build/findings/$name-" \
      "$work" "$root/fuzz/corpus/$name" >"$log" 2>&1; then
    result=clean
  else
    result="FINDING (see $log)"
    status=1
  fi
  runs=$(sed -n 's/^stat::number_of_executed_units: *//p' "$log" | tail -n 1)
  coverage=$(grep -o 'cov: [0-9]* ft: [0-9]*' "$log" | tail -n 1)
  echo "fuzz $name: ${seconds} s, ${runs:-?} runs, ${coverage:-no coverage line}: $result"
done
exit $status
