"""Checks that the library's own 32-bit code does its double arithmetic in SSE2.

    python3 x87_check.py OBJDUMP OBJECT_OR_ARCHIVE...

The 32-bit objects are built with -msse2 -mfpmath=sse, so that every +, -, *,
/ and square root rounds to double exactly as on x86-64. What x87 code may
remain rounds nothing that SSE2 would round differently:
- control: the thread pool hands the caller's floating-point environment to
  its workers (fegetenv, fesetenv), and a truncating conversion sets the
  rounding control around its store;
- moves of doubles through st(0): the 32-bit calling convention returns a
  double in st(0) (fldl, fstpl, fstl of 8-byte memory, and fstp %st(0) to
  drop one);
- exact operations: fabs and fchs change the sign bit only, fxch swaps;
- 64-bit integer conversions, which 32-bit SSE2 has no instruction for:
  fildll loads the integer exactly and the fstpl after it rounds once to
  double, as cvtsi2sd does; fistpll under a truncating control word is
  exact.
Any other x87 instruction (fadd, fmul, fdiv, fsqrt, fsin, flds, fldt, ...) is
reported with the function it sits in. The C runtime linked into the DLL is
not checked: its libm uses the x87 unit, which is the rounding the list of
libm differences is about.
"""
import re
import subprocess
import sys

CONTROL = {"fnstcw", "fstcw", "fldcw", "fnstenv", "fstenv", "fldenv", "fnclex", "fclex",
           "fwait", "fninit", "finit", "fnstsw", "fstsw"}
DOUBLE_MOVES = {"fldl", "fstpl", "fstl"}
EXACT = {"fabs", "fchs", "fxch"}
INTEGER_CONVERSIONS = {"fildll", "fistpll", "fildl", "fistpl", "fistl", "filds", "fistps",
                       "fists", "fisttpll", "fisttpl", "fisttps"}

_INSTRUCTION = re.compile(r"^\s*[0-9a-f]+:\s+(?:(?:[0-9a-f]{2} )+\s*)?(f\w*)\s*(.*)$")
_FUNCTION = re.compile(r"^[0-9a-f]+ <(.*)>:$")


def classify(mnemonic, operands):
    """'control', 'move', 'exact', 'conversion' or 'arithmetic'."""
    if mnemonic in CONTROL:
        return "control"
    if mnemonic in DOUBLE_MOVES and "%st" not in operands:
        return "move"
    if mnemonic == "fstp" and operands.strip() == "%st(0)":
        return "move"
    if mnemonic in EXACT:
        return "exact"
    if mnemonic in INTEGER_CONVERSIONS and "%st" not in operands:
        return "conversion"
    return "arithmetic"


def scan(disassembly):
    """(counts by class, [(function, instruction)] of the arithmetic ones)."""
    counts = {}
    arithmetic = []
    function = "?"
    for line in disassembly.splitlines():
        match = _FUNCTION.match(line)
        if match:
            function = match.group(1)
            continue
        match = _INSTRUCTION.match(line)
        if not match:
            continue
        mnemonic, operands = match.group(1), match.group(2)
        kind = classify(mnemonic, operands)
        counts[kind] = counts.get(kind, 0) + 1
        if kind == "arithmetic":
            arithmetic.append((function, f"{mnemonic} {operands}".strip()))
    return counts, arithmetic


def main(argv):
    if len(argv) < 3:
        print(__doc__.strip(), file=sys.stderr)
        return 2
    objdump, objects = argv[1], argv[2:]
    try:
        disassembly = subprocess.run([objdump, "-d", "-C", "--no-show-raw-insn", *objects],
                                     check=True, capture_output=True, text=True).stdout
    except (OSError, subprocess.CalledProcessError) as error:
        print(f"x87_check: cannot disassemble {' '.join(objects)}: {error}", file=sys.stderr)
        return 1
    if "file format" not in disassembly:
        print("x87_check: objdump printed no object", file=sys.stderr)
        return 1
    counts, arithmetic = scan(disassembly)
    print("x87 instructions by kind: " +
          (", ".join(f"{kind} {n}" for kind, n in sorted(counts.items())) or "none"))
    for function, instruction in arithmetic:
        print(f"FAIL x87 arithmetic in {function}: {instruction}")
    if arithmetic:
        return 1
    print("ok   no x87 arithmetic in the library's own code")
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))
