# Compares two reports field by field: text must be equal, numbers may differ
# by rel·max(|a|, |b|) + abs. Used only for the cases listed in
# windows-libm-differences.txt, where Windows' math library rounds some
# results one unit in the last place differently from glibc and the
# optimisers carry that into later digits.
#
#   awk -v A=linux.xls -v B=windows.xls -v rel=1e-5 -v abs=1e-9 -f compare-numbers.awk
function is_number(s) { return s ~ /^ *[-+]?([0-9]+\.?[0-9]*|\.[0-9]+)([eE][-+]?[0-9]+)?$/ }
function magnitude(x) { return x < 0 ? -x : x }
BEGIN {
  line = 0; worst = 0
  while ((getline a < A) > 0) {
    line++
    if ((getline b < B) <= 0) { print "the Windows report ends at line " line; exit 1 }
    if (a == b) continue
    na = split(a, fa, "\t"); nb = split(b, fb, "\t")
    if (na != nb) { printf "line %d: %d fields against %d\n", line, na, nb; exit 1 }
    for (i = 1; i <= na; i++) {
      if (fa[i] == fb[i]) continue
      if (!is_number(fa[i]) || !is_number(fb[i])) {
        printf "line %d field %d: '%s' against '%s'\n", line, i, fa[i], fb[i]; exit 1
      }
      x = fa[i] + 0; y = fb[i] + 0
      scale = magnitude(x) > magnitude(y) ? magnitude(x) : magnitude(y)
      d = magnitude(x - y)
      if (d > rel * scale + abs) {
        printf "line %d field %d: %s against %s, beyond the tolerance\n", line, i, fa[i], fb[i]
        exit 1
      }
      if (scale > 0 && d / scale > worst) worst = d / scale
    }
  }
  if ((getline b < B) > 0) { print "the Windows report has more lines"; exit 1 }
  printf "largest relative difference %.2g\n", worst
}
