"""The counts of a run of the Windows check, from the cases' result lines.

    python3 summary.py SCRATCH_DIR
"""
import os
import sys

LABELS = {"identical": "byte-identical", "within": "within the libm list",
          "no-report": "no report on either side", "fail": "failed"}


def main(argv):
    if len(argv) != 2:
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
    print(f"Windows check, 32-bit DLL under Wine: {len(lines)} case runs: " +
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
