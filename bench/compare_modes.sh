#!/bin/sh
# Times two builds of the host against each other on modes 1 and 4 of the
# Cooke triplet, checks that their reports are the same bytes, and prints
# the table of bench/README.md:
#
#   sh bench/compare_modes.sh OLD_LUMAVEIL NEW_LUMAVEIL [RUNS]
#
# Cases: mode 1 with NS = 400 (502,625 spot rays per wavelength, a 76 MB
# report) and mode 4 with NS = 50,000 (two scans of 100,001 rays per
# wavelength), each on LUMAVEIL_THREADS = 1 and 2. Per case and build:
# hyperfine's median wall time of RUNS runs (default 5) and its mean
# processor time (user + system, all threads). Then the instructions of one
# run on one thread under callgrind, which a loaded machine does not
# disturb, on smaller grids (mode 1 NS = 100, mode 4 NS = 5,000) so that it
# takes seconds. Before any timing, the reports of both builds are compared
# with cmp for 1, 2 and 3 threads: the script stops at the first difference.
#
# Needs hyperfine, valgrind and python3 (sh scripts/install-deps.sh bench).
# Work files go to a scratch folder that is removed at the end.
set -eu

[ $# -ge 2 ] || { echo "usage: sh bench/compare_modes.sh OLD_LUMAVEIL NEW_LUMAVEIL [RUNS]" >&2; exit 2; }
old=$(realpath "$1")
new=$(realpath "$2")
runs=${3:-5}
top=$(cd "$(dirname "$0")/.." && pwd)
for tool in hyperfine valgrind python3; do
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

# hyperfine's figures of one case and build: median wall and mean user + system, in s.
timed() {
  (cd "$work/$1" && hyperfine -N --runs "$runs" --warmup 1 --style none --export-json "$work/t.json" \
    "env LUMAVEIL_THREADS=$3 $4 --quiet $2" >/dev/null 2>&1)
  python3 -c 'import json,sys; r=json.load(open(sys.argv[1]))["results"][0]; print("%.3f %.3f" % (r["median"], r["user"] + r["system"]))' "$work/t.json"
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
    set -- $(timed $dir $mode $t "$old") $(timed $dir $mode $t "$new")
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
