#!/bin/sh
# Writes the seed corpora fuzz/corpus/<name> from the examples and the
# reference cases (run once; the seeds are committed). Each seed is named by
# the SHA-1 of its bytes, as libFuzzer names the inputs it finds.
#   numbers    every distinct cell of every input file, and a few spellings
#              of numbers the cells lack
#   lens_data  every IN_FM.txt
#   ray_set    every IN_FM2.txt
#   mode1..6, check
#              every IN_FM.txt, a NUL byte and the IN_FM2.txt beside it
#              (the lens file alone where there is none)
#   report, csv, workbook
#              every golden report (tests/data/examples/*/m*.xls and the
#              reference cases' expected.xls)
#   plot       every golden report alone, and followed by a NUL byte and
#              the IN_FM.txt of its lens
set -eu
cd "$(dirname "$0")/.."
out=fuzz/corpus
seed() {  # seed NAME < bytes
  tmp=$(mktemp)
  cat >"$tmp"
  sum=$(sha1sum "$tmp" | cut -c1-40)
  mkdir -p "$out/$1"
  mv "$tmp" "$out/$1/$sum"
}
for dir in examples/* tests/data/reference/*; do
  [ -f "$dir/IN_FM.txt" ] || continue
  seed lens_data <"$dir/IN_FM.txt"
  if [ -f "$dir/IN_FM2.txt" ]; then
    seed ray_set <"$dir/IN_FM2.txt"
    for name in mode1 mode2 mode3 mode4 mode5 mode6 check; do
      { cat "$dir/IN_FM.txt"; printf '\0'; cat "$dir/IN_FM2.txt"; } | seed "$name"
    done
  else
    for name in mode1 mode2 mode3 mode4 mode5 mode6 check; do seed "$name" <"$dir/IN_FM.txt"; done
  fi
done
for report in tests/data/examples/*/m*.xls tests/data/reference/*/expected.xls; do
  for name in report csv workbook plot; do seed "$name" <"$report"; done
  case $report in
    tests/data/examples/*) lens=examples/$(basename "$(dirname "$report")")/IN_FM.txt ;;
    *) lens=$(dirname "$report")/IN_FM.txt ;;
  esac
  if [ -f "$lens" ]; then { cat "$report"; printf '\0'; cat "$lens"; } | seed plot; fi
done
cat examples/*/IN_FM*.txt tests/data/reference/*/IN_FM*.txt | tr -d '\r' | tr '\t' '\n' |
  sort -u | while IFS= read -r cell; do printf '%s' "$cell" | seed numbers; done
for text in 0xinf 0x1p+-5 '0x1.8p' 'nan(123)' 'NAN(0x1f)' '-nan(017)' 'INFINITY' '-iNf' \
    0x11b7ceea144c488p-1082 -1e999 2e-320 ' +.5E-3' '0x.8p1' '1e' '-' '0x' '2147483648'; do
  printf '%s' "$text" | seed numbers
done
