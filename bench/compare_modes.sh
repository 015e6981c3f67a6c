#!/bin/sh
# Times two builds of the host against each other on modes 1 and 4 of the
# Cooke triplet, checks that their reports are the same bytes, and prints
# the table of bench/README.md:
#
#   sh bench/compare_modes.sh OLD_LUMAVEIL NEW_LUMAVEIL [RUNS]
#
# Cases: mode 1 with NS = 400 (502,625 spot rays per wavelength, a 76 MB
# report) and mode 4 with NS = 50,000 (two scans of 100,001 rays per
# wavelength), each on LUMAVEIL_THREADS = 1 and 2. Per case, after one
# warm-up run of each build, the two builds take turns: one run of the old,
# one of the new, RUNS times (default 5), so that a machine whose speed drifts
# from minute to minute slows both alike. Per case and build: the median wall
# time and the median processor time (user + system, all threads) of its RUNS
# runs. Then the instructions of one
# run on one thread under callgrind, which a loaded machine does not
# disturb, on smaller grids (mode 1 NS = 100, mode 4 NS = 5,000) so that it
# takes seconds. Before any timing, the reports of both builds are compared
# with cmp for 1, 2 and 3 threads: the script stops at the first difference.
#
# Needs valgrind and python3 (sh scripts/install-deps.sh bench).
# Work files go to a scratch folder that is removed at the end.
set -eu

[ $# -ge 2 ] || { echo "usage: sh bench/compare_modes.sh OLD_LUMAVEIL NEW_LUMAVEIL [RUNS]" >&2; exit 2; }
old=$(realpath "$1")
new=$(realpath "$2")
runs=${3:-5}
top=$(cd "$(dirname "$0")/.." && pwd)
for tool in valgrind python3; do
  command -v $tool >/dev/null || { echo "compare_modes: $tool missing (sh scripts/install-deps.sh bench)" >&2; exit 1; }
done
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

# A copy of the Cooke triplet with NS (line 4, column 3 of IN_FM.txt) set.
make_case() {
  mkdir -p "$work/$1"
  cp "$top/examples/cooke_triplet/IN_FM.txt" "$top/examples/cooke_triplet/IN_FM2.txt" "$work/$1/"
  awk -v ns="$2" 'BEGIN { FS = OFS = "\t" } NR == 4 { $3 = ns } { print }' \
    "$top/examples/cooke_triplet/IN_FM.txt" >"$work/$1/IN_FM.txt"
}
make_case m1 400
make_case m4 50000
make_case m1small 100
make_case m4small 5000

# The reports of both builds, byte for byte, for 1, 2 and 3 threads.
for c in "m1 1" "m4 4"; do
  set -- $c
  (cd "$work/$1" && "$old" --quiet $2 && mv OUT_M.xls old.xls)
  for t in 1 2 3; do
    (cd "$work/$1" && LUMAVEIL_THREADS=$t "$new" --quiet $2)
    cmp "$work/$1/old.xls" "$work/$1/OUT_M.xls" || { echo "compare_modes: mode $2, $t threads: reports differ" >&2; exit 1; }
  done
  echo "mode $2: reports identical for 1, 2 and 3 threads ($(wc -c <"$work/$1/old.xls") bytes)" >&2
  rm -f "$work/$1/old.xls" "$work/$1/OUT_M.xls"
done

# One run of a build in a case: its wall time and its processor time (user +
# system of the process and all its threads), in s, on one line.
once() {
  (cd "$work/$1" && LUMAVEIL_THREADS=$3 python3 -c '
import os, subprocess, sys, time
start = time.perf_counter()
child = subprocess.Popen(sys.argv[1:], stdout=subprocess.DEVNULL)
_, status, usage = os.wait4(child.pid, 0)
wall = time.perf_counter() - start
if status != 0:
    sys.exit("compare_modes: %s exited with status %d" % (sys.argv[1], status))
print("%.6f %.6f" % (wall, usage.ru_utime + usage.ru_stime))' "$4" --quiet $2)
}

# Both builds on one case, their runs taking turns; prints the old build's
# median wall and processor time, then the new build's, in s.
timed() {
  once $1 $2 $3 "$old" >/dev/null
  once $1 $2 $3 "$new" >/dev/null
  : >"$work/old.times"
  : >"$work/new.times"
  i=0
  while [ $i -lt "$runs" ]; do
    once $1 $2 $3 "$old" >>"$work/old.times"
    once $1 $2 $3 "$new" >>"$work/new.times"
    i=$((i + 1))
  done
  python3 -c '
import statistics, sys
for name in sys.argv[1:]:
    runs = [line.split() for line in open(name)]
    print("%.3f %.3f" % (statistics.median(float(r[0]) for r in runs),
                         statistics.median(float(r[1]) for r in runs)), end=" ")
print()' "$work/old.times" "$work/new.times"
}

# Instructions of one call on one thread, as callgrind counts them.
instructions() {
  (cd "$work/$1" && LUMAVEIL_THREADS=1 valgrind --tool=callgrind --callgrind-out-file="$work/cg.out" \
    "$3" --quiet $2 2>&1 | sed -n 's/.*Collected : \([0-9]*\).*/\1/p')
}

ratio() { python3 -c 'import sys; print("%.2f" % (float(sys.argv[2]) / float(sys.argv[1])))' "$1" "$2"; }

echo "| case | threads | old wall (median) | new wall (median) | new / old | old user+sys | new user+sys | new / old |"
echo "|---|---:|---:|---:|---:|---:|---:|---:|"
for c in "m1 1 mode 1, NS = 400" "m4 4 mode 4, NS = 50,000"; do
  set -- $c
  dir=$1 mode=$2
  shift 2
  for t in 1 2; do
    set -- $(timed $dir $mode $t)
    [ $# -eq 4 ] || { echo "compare_modes: mode $mode, $t threads: a run failed" >&2; exit 1; }
    echo "| mode $mode | $t | $1 s | $3 s | $(ratio $1 $3) | $2 s | $4 s | $(ratio $2 $4) |"
  done
done
echo
echo "| case (one thread, callgrind) | old instructions | new instructions | new / old |"
echo "|---|---:|---:|---:|"
for c in "m1small 1 mode 1, NS = 100" "m4small 4 mode 4, NS = 5,000"; do
  set -- $c
  a=$(instructions $1 $2 "$old")
  b=$(instructions $1 $2 "$new")
  echo "| mode $2, NS = $( [ $2 = 1 ] && echo 100 || echo 5,000) | $a | $b | $(ratio $a $b) |"
done
