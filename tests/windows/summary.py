"""The counts of a run of the Windows check, from the cases' result lines.

    python3 summary.py SCRATCH_DIR [PROBE_FILE]

PROBE_FILE is what probe.py wrote: which DLL ran the cases, and why.
"""
import os
import sys

LABELS = {"identical": "byte-identical", "within": "within the libm list",
          "no-report": "no report on either side", "fail": "failed"}


def which_dll(probe_file):
    """The headline's account of the DLL that ran the cases."""
    bits = "32"
    if probe_file and os.path.isfile(probe_file):
        with open(probe_file, encoding="utf-8") as f:
            bits = f.read().split("\t", 1)[0].strip()
    if bits == "64":
        return ("32-bit programs cannot run on this machine's kernel: the 32-bit DLL was "
                "checked statically and the 64-bit DLL ran the {runs} cases under 64-bit Wine")
    return "32-bit DLL under 32-bit Wine: {runs} case runs"


def main(argv):
    if len(argv) not in (2, 3):
        print(__doc__.strip(), file=sys.stderr)
        return 2
    folder = os.path.join(argv[1], "results")
    lines = []
    if os.path.isdir(folder):
        for name in sorted(os.listdir(folder)):
            with open(os.path.join(folder, name), encoding="utf-8") as f:
                lines.append(f.read().rstrip("\n").split("\t", 2))
    counts = {kind: 0 for kind in LABELS}
    for kind, _, _ in lines:
        counts[kind] = counts.get(kind, 0) + 1
    headline = which_dll(argv[2] if len(argv) == 3 else None).format(runs=len(lines))
    print(f"Windows check, {headline}: " +
          ", ".join(f"{counts[kind]} {label}" for kind, label in LABELS.items()))
    for kind, retried, text in lines:
        if retried == "retried":
            print(f"  known Wine fault, retried: {text}")
    for kind, _, text in lines:
        if kind == "fail":
            print(f"  failed: {text}")
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))
