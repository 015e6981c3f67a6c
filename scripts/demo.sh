#!/bin/sh
# The first five minutes: runs mode 1 on the Cooke triplet in a scratch copy
# of its example folder, then shows what a lens designer looks at first, each
# figure from the host program itself: the first-order data of `lumaveil
# check` (focal length, back focus, f-number), the spot size per wavelength
# that `lumaveil plot` draws, where the report and the plot page are, and
# three commands to try next.
#
#   sh scripts/demo.sh [BUILD_DIR [WORK_DIR]]   (from the checkout; make demo)
#
# WORK_DIR defaults to BUILD_DIR/demo/cooke_triplet. Exits 1 when the host
# fails or a figure cannot be found in its output.
set -eu
build=${1:-build}
out=${2:-$build/demo/cooke_triplet}
top=$(cd "$(dirname "$0")/.." && pwd)
host="$build/lumaveil"
fail() { echo "demo: $*" >&2; exit 1; }
[ -x "$host" ] || fail "no host program at $host (run 'make build' first)"
rm -rf "$out"
mkdir -p "$out"
cp "$top"/examples/cooke_triplet/IN_FM*.txt "$out"/
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT INT TERM

echo "Lumaveil demo: the Cooke triplet, a 50 mm f/5 lens of three glass elements"
echo "(examples/cooke_triplet), copied to $out."
echo
echo "1. The calculation: mode 1, trajectory and spot diagram at each wavelength"
echo "   \$ $host -C $out 1"
"$host" -C "$out" 1 >"$scratch/run" || fail "the run of mode 1 failed"
sed 's/^/   /' "$scratch/run"

# The check exits 1 when it has findings (listed at its end), 2 on misuse.
status=0
"$host" -C "$out" check >"$scratch/check" || status=$?
[ "$status" -le 1 ] || fail "lumaveil check failed (status $status)"
echo
echo "2. First-order data, from a paraxial trace (\$ $host -C $out check):"
awk '
  /^  wavelength [0-9]+: / { nm[$2 + 0] = $3 " " $4; sub(/,$/, "", nm[$2 + 0]) }
  /^  wavelength [0-9]+ \(/ { q = $2 + 0 }
  /^    effective focal length / { efl[q] = $4; n = q }
  /^    back focal distance / { bfd[q] = $4 }
  /^    f-number / { fno[q] = $NF }
  END {
    if (n == 0) exit 1
    printf "   %-13s %-14s %-14s %s\n", "wavelength", "focal length", "back focus", "f-number"
    for (i = 1; i <= n; i++) {
      if (efl[i] == "" || bfd[i] == "") exit 1
      printf "   %-13s %-14s %-14s %s\n", nm[i], efl[i], bfd[i], (i in fno) ? fno[i] : "-"
    }
    print "   (mm; the back focus from the last surface; f-number = focal length / aperture diameter)"
  }' "$scratch/check" >"$scratch/first-order" || fail "no first-order data in the output of lumaveil check"
cat "$scratch/first-order"
findings=$(sed -n 's/^Findings: //p' "$scratch/check")
echo "   lumaveil check found ${findings:-?} problems in the lens files."

echo
echo "3. Spot size at the image plane (RMS radius about the centroid, drawn by lumaveil plot):"
"$host" plot -C "$out" >"$scratch/plot" || fail "lumaveil plot failed"
q=1
while [ -f "$out/plots/spot-wavelength-$q.svg" ]; do
  # The figure's statistics table: "statistics (UNIT)", then "RMS radius" and its value.
  texts=$(grep -o '<text[^>]*>[^<]*</text>' "$out/plots/spot-wavelength-$q.svg" | sed 's/<[^>]*>//g')
  unit=$(printf '%s\n' "$texts" | sed -n 's/^statistics (\(.*\))$/\1/p' | head -n 1)
  rms=$(printf '%s\n' "$texts" | sed -n '/^RMS radius$/{n;p;q}')
  [ -n "$rms" ] || fail "no RMS radius in $out/plots/spot-wavelength-$q.svg"
  nm=$(sed -n "s/^  wavelength $q: \([^,]*\),.*/\1/p" "$scratch/check")
  echo "   ${nm:-wavelength $q}: $rms $unit"
  q=$((q + 1))
done
[ "$q" -gt 1 ] || fail "lumaveil plot drew no spot diagram"

echo
echo "4. Where things are:"
echo "   the report:    $out/OUT_M.xls"
echo "                  tab-separated, Shift_JIS headings; a spreadsheet opens it, and"
echo "                  docs/guide.md section 5 explains every line"
echo "   the plot page: $out/plots/index.html (open it in a browser)"

echo
echo "5. Next, try:"
echo "   $host -C $out check          # the whole check: the lens as read, real rays, findings"
echo "   $host -C $out 4              # wavefront aberrations (then plot again)"
echo "   $host export -C $out --csv   # the report as UTF-8 CSV (a workbook without --csv)"
