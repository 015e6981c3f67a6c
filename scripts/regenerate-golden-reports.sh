#!/bin/sh
# Regenerates, on purpose, the golden reports of the examples:
#   tests/data/examples/<example>/m<mode>.xls
# and, from the reports of one example, the golden plots and CSV of the host:
#   tests/data/host/<example>/m<mode>/*.svg and OUT_M.csv
# Each report is written by the host program of a build, in a fresh process
# and a scratch copy of the example folder, exactly as the golden-report test
# runs it, for the modes the example's `modes` file lists.
#
#   sh scripts/regenerate-golden-reports.sh [BUILD_DIR]   (default: build)
#
# Run it only when a report is meant to change; then read `git diff --stat
# tests/data/examples` and explain every changed figure in the commit.
set -eu
build=${1:-build}
top=$(cd "$(dirname "$0")/.." && pwd)
host="$top/$build/lumaveil"
if [ ! -x "$host" ]; then
  echo "regenerate-golden-reports: no host program at $host (run 'make build' first)" >&2
  exit 1
fi
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT INT TERM
count=0
for example in "$top"/examples/*/; do
  name=$(basename "$example")
  [ -f "$example/IN_FM.txt" ] || continue
  if [ ! -f "$example/modes" ]; then
    echo "regenerate-golden-reports: $example has no modes file" >&2
    exit 1
  fi
  modes=$(cat "$example/modes")
  golden="$top/tests/data/examples/$name"
  mkdir -p "$golden"
  for mode in $modes; do
    run="$scratch/$name-m$mode"
    mkdir -p "$run"
    cp "$example"/IN_FM*.txt "$run"/
    "$host" --quiet -C "$run" "$mode"
    cp "$run/OUT_M.xls" "$golden/m$mode.xls"
    count=$((count + 1))
  done
done
# The plots (with --residuals) and the CSV of every mode of one example,
# drawn from its golden reports; the page itself carries a date and is left out.
plotted=cooke_triplet
rm -rf "$top/tests/data/host/$plotted"
for report in "$top/tests/data/examples/$plotted"/m*.xls; do
  mode=$(basename "$report" .xls)
  run="$scratch/plot-$mode"
  mkdir -p "$run"
  cp "$top/examples/$plotted/IN_FM.txt" "$report" "$run"/
  mv "$run/$mode.xls" "$run/OUT_M.xls"
  "$host" -C "$run" plot --residuals -o plots > /dev/null
  "$host" -C "$run" export --csv > /dev/null
  golden="$top/tests/data/host/$plotted/$mode"
  mkdir -p "$golden"
  cp "$run"/plots/*.svg "$run/OUT_M.csv" "$golden"/
  count=$((count + 1))
done
echo "regenerate-golden-reports: REGENERATED $count golden reports and plot sets on purpose under tests/data."
echo "regenerate-golden-reports: review 'git diff --stat tests/data' before committing;"
echo "regenerate-golden-reports: every changed report must be a change you intend."
