#!/bin/sh
# Wall time, processor time and peak memory of the host on dense spot grids:
# mode 1 of the Cooke triplet with NS steps from centre to rim, then `plot`
# and `export` (workbook and CSV) of its report; then 20 MB and 60 MB of
# blank lines, alone and behind a small report (the reader must not hold a
# heap string per line).
# Medians of RUNS runs, measured with /usr/bin/time.
#
#   sh bench/host_scale.sh build/lumaveil [RUNS] [NS ...]
#
# Prints one Markdown row per case: wall, user + system, max RSS.
set -eu
host=$(realpath "$1")
runs=${2:-3}
shift $(($# >= 2 ? 2 : 1))
grids=${*:-100 400}
here=$(dirname "$(realpath "$0")")
scratch=$(mktemp -d /tmp/lumaveil-scale.XXXXXX)
trap 'rm -rf "$scratch"' EXIT

# The median of the numbers on standard input.
median() { sort -n | awk '{ v[NR] = $1 } END { print v[int((NR + 1) / 2)] }'; }

# Runs `lumaveil ARGS` in the scratch folder RUNS times; one table row.
measure() {
  label=$1
  shift
  : >"$scratch/times"
  i=0
  while [ "$i" -lt "$runs" ]; do
    # A failing command (a refused file) is measured as well.
    (cd "$scratch/case" && /usr/bin/time -f '%e %U %S %M' -a -o "$scratch/times" \
      "$host" --quiet "$@" >/dev/null 2>"$scratch/stderr") || true
    i=$((i + 1))
  done
  # time adds a line "Command exited with non-zero status N" for a refusal.
  wall=$(awk 'NF == 4 { print $1 }' "$scratch/times" | median)
  cpu=$(awk 'NF == 4 { print $2 + $3 }' "$scratch/times" | median)
  rss=$(awk 'NF == 4 { print $4 / 1024 }' "$scratch/times" | median)
  exit=$(grep -q 'exited with' "$scratch/times" && echo ', exit 1' || true)
  printf '| %s%s | %.2f s | %.2f s | %.0f MB |\n' "$label" "$exit" "$wall" "$cpu" "$rss"
}

echo "load average before: $(cut -d' ' -f1-3 /proc/loadavg)"
echo '| case | wall | user + system | max RSS |'
echo '|---|---:|---:|---:|'
for ns in $grids; do
  rm -rf "$scratch/case"
  mkdir -p "$scratch/case"
  sed "s/\(steps from centre to rim (NS)\t\)[0-9]*/\1$ns/" \
    "$here/../examples/cooke_triplet/IN_FM.txt" >"$scratch/case/IN_FM.txt"
  measure "mode 1, NS = $ns" 1
  size=$(($(stat -c %s "$scratch/case/OUT_M.xls") / 1000000))
  measure "plot, NS = $ns ($size MB report)" plot -o plots
  measure "export (workbook), NS = $ns" export
  measure "export --csv, NS = $ns" export --csv
done
for mb in 20 60; do
  rm -rf "$scratch/case"
  mkdir -p "$scratch/case"
  blank="$scratch/blank"
  head -c $((mb * 1000000)) /dev/zero | tr '\0' '\n' >"$blank"
  cp "$blank" "$scratch/case/OUT_M.xls"
  measure "plot of $mb MB of blank lines" plot -o plots
  # A small whole report followed by the blank lines: every line is read,
  # and export keeps them all.
  cat "$here/../tests/data/reference/m1_singlet_ns1/expected.xls" "$blank" >"$scratch/case/OUT_M.xls"
  measure "plot of a report + $mb MB of blank lines" plot -o plots
  measure "export --csv of a report + $mb MB of blank lines" export --csv
done
echo "load average after: $(cut -d' ' -f1-3 /proc/loadavg)"
