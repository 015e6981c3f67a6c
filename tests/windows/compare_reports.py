"""Compares a Windows report with the Linux one, and reads the list of the
cases where Windows' C runtime rounds differently.

    python3 compare_reports.py LINUX_REPORT WINDOWS_REPORT [TOLERANCE [FREE_HEADING...]]

Line ends: the Windows report must end every line in CR LF, with no CR
anywhere else. Once CR LF is read as LF, the two reports are equal byte for
byte, or, for a case in the list, equal in every text field, with the same
lines and fields, and with every number within the case's tolerance:

    |linux - windows| <= tolerance * scale

The scale is the largest magnitude in the number's column (that column of
the table it stands in; a table: consecutive lines with the same number of
fields) or in its line, whichever is larger, in either report. Relative to
its own size a number printed near zero can differ without bound
(0.000000E+00 against -4.440892E-17, the remainder of a cancellation);
relative to the numbers it was computed with, it differs as little as they
do. Where a column and its lines hold only small numbers the scale is small,
and the test is as strict as a relative one.

A column of the list's "free" headings (a search direction in which the merit
does not change, whose distance moves by rounding alone) is compared by its
layout only: a number against a number.
"""
import math
import re
import sys

_NUMBER = re.compile(rb"\s*[-+]?(?:[0-9]+\.?[0-9]*|\.[0-9]+)(?:[eE][-+]?[0-9]+)?\Z")


def number(field):
    """The value of a field that is a number, or None."""
    return float(field) if _NUMBER.match(field) else None


def line_end_problems(data):
    """What is wrong with the CR LF line ends of a Windows report, or ''."""
    bare_lf = len(re.findall(rb"(?<!\r)\n", data))
    stray_cr = len(re.findall(rb"\r(?!\n)", data))
    problems = []
    if bare_lf:
        problems.append(f"{bare_lf} line(s) end in a bare LF")
    if stray_cr:
        problems.append(f"{stray_cr} CR not followed by LF")
    return ", ".join(problems)


def _tables(lines):
    """For each line, the range of lines of the table it belongs to."""
    spans = []
    start = 0
    for i in range(1, len(lines) + 1):
        if i == len(lines) or len(lines[i]) != len(lines[start]):
            spans.extend([(start, i)] * (i - start))
            start = i
    return spans


class Comparison:
    """The numbers in which two reports differ, each measured against its column."""

    def __init__(self, linux, windows, free=()):
        self.problem = ""
        self.differences = []     # (line, field, linux text, windows text, excess)
        a = [line.split(b"\t") for line in linux.split(b"\n")]
        b = [line.split(b"\t") for line in windows.split(b"\n")]
        if len(a) != len(b):
            self.problem = f"{len(a) - 1} lines against {len(b) - 1}"
            return
        for i, (fa, fb) in enumerate(zip(a, b)):
            if len(fa) != len(fb):
                self.problem = f"line {i + 1}: {len(fa)} fields against {len(fb)}"
                return
        spans = _tables(a)
        scales = {}
        for i, (fa, fb) in enumerate(zip(a, b)):
            line_scale = None
            heading = a[spans[i][0]]
            for j, (x, y) in enumerate(zip(fa, fb)):
                if x == y:
                    continue
                vx, vy = number(x), number(y)
                if vx is None or vy is None or math.isnan(vx) or math.isnan(vy):
                    self.problem = (f"line {i + 1} field {j + 1}: "
                                    f"{x.decode('latin-1')!r} against {y.decode('latin-1')!r}")
                    return
                if heading[j].decode("latin-1") in free:
                    continue
                key = (spans[i], j)
                if key not in scales:
                    scales[key] = _column_scale(a, b, spans[i], j)
                if line_scale is None:
                    line_scale = _largest(fa + fb)
                scale = max(scales[key], line_scale)
                difference = abs(vx - vy)
                if math.isinf(vx) or math.isinf(vy):
                    excess = math.inf
                else:
                    excess = difference / scale if scale > 0 else math.inf
                self.differences.append((i + 1, j + 1, x.decode("latin-1"),
                                         y.decode("latin-1"), excess))

    def worst(self):
        return max(self.differences, key=lambda d: d[4], default=None)

    def within(self, tolerance):
        return not self.problem and all(d[4] <= tolerance for d in self.differences)

    def summary(self):
        if self.problem:
            return self.problem
        worst = self.worst()
        if worst is None:
            return "no number differs"
        line, field, x, y, excess = worst
        return (f"{len(self.differences)} numbers differ; largest difference {excess:.2g} "
                f"of its scale (line {line} field {field}: {x} against {y})")


def _largest(fields):
    scale = 0.0
    for field in fields:
        value = number(field)
        if value is not None and math.isfinite(value):
            scale = max(scale, abs(value))
    return scale


def _column_scale(a, b, span, j):
    return _largest([lines[k][j] for lines in (a, b) for k in range(*span)])


class ListError(ValueError):
    pass


class Listed:
    """A case of the list: its tolerance and the headings of its free columns."""

    def __init__(self, tolerance, free=()):
        self.tolerance = tolerance
        self.free = tuple(free)


def read_list(path):
    """{(case, mode): Listed} of the list of libm differences.

    A line: CASE MODE TOLERANCE [free HEADING...]; '#' starts a comment."""
    listed = {}
    with open(path, encoding="utf-8") as f:
        for number_, raw in enumerate(f, 1):
            line = raw.split("#", 1)[0].split()
            if not line:
                continue
            where = f"{path}:{number_}"
            if len(line) < 3 or (len(line) > 3 and (line[3] != "free" or len(line) == 4)):
                raise ListError(f"{where}: want 'CASE MODE TOLERANCE [free HEADING...]', "
                                f"got {raw.strip()!r}")
            case, mode, tolerance = line[:3]
            try:
                key = (case, int(mode))
                value = float(tolerance)
            except ValueError:
                raise ListError(f"{where}: bad mode or tolerance in {raw.strip()!r}") from None
            if not 0 < value < 1:
                raise ListError(f"{where}: tolerance {tolerance} is not between 0 and 1")
            if key in listed:
                raise ListError(f"{where}: {case} {mode} is listed twice")
            listed[key] = Listed(value, line[4:])
    return listed


def main(argv):
    if len(argv) < 3:
        print(__doc__.strip(), file=sys.stderr)
        return 2
    with open(argv[1], "rb") as f:
        linux = f.read()
    with open(argv[2], "rb") as f:
        windows = f.read()
    ends = line_end_problems(windows)
    if ends:
        print(f"Windows report: {ends}")
        return 1
    windows = windows.replace(b"\r\n", b"\n")
    if linux == windows:
        print("byte-identical")
        return 0
    comparison = Comparison(linux, windows, argv[4:])
    print(comparison.summary())
    if len(argv) >= 4:
        return 0 if comparison.within(float(argv[3])) else 1
    return 1


if __name__ == "__main__":
    sys.exit(main(sys.argv))
