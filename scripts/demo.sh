#!/bin/sh
# Runs mode 1 on the Cooke triplet in a scratch copy of its example folder and
# shows where the report is.
set -eu
build=${1:-build}
top=$(pwd)
example="$top/examples/cooke_triplet"
out="$top/$build/demo/cooke_triplet"
rm -rf "$out"
mkdir -p "$out"
cp "$example"/IN_FM*.txt "$out"/
"$top/$build/lumaveil" -C "$out" 1
echo "Mode 1 (trajectory and spot diagram) of the Cooke triplet:"
echo "  report: $out/OUT_M.xls"
echo "First lines (the headings are Shift_JIS; shown here converted to UTF-8):"
if command -v iconv >/dev/null 2>&1; then
  head -n 12 "$out/OUT_M.xls" | iconv -f CP932 -t UTF-8
else
  head -n 12 "$out/OUT_M.xls"
fi
