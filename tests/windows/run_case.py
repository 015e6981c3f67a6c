"""One case of the Windows check: a lens folder and a mode, run by the Linux
host and by lumaveil.dll under Wine, reports compared: the 32-bit DLL under
32-bit Wine, or, on a kernel that cannot run 32-bit programs, the 64-bit DLL
under 64-bit Wine (--arch win64).

    python3 run_case.py --case NAME --mode MODE --folder DIR ...   (see --help)

Each side runs in its own scratch copy of the folder's inputs, in a fresh
process: the Linux host program (`lumaveil --quiet MODE`) and the Windows
host (win/host.c, which loads lumaveil.dll and calls main5(MODE)). The
Windows report must end its lines in CR LF and then equal the Linux report
byte for byte, or, for a case in the list of libm differences, number by
number within the listed tolerance (compare_reports.py).

A Wine fault that has nothing to do with the library is retried once: the
loader's assertion at exit ("Inconsistency detected by ld.so: dl-fini.c"),
exit status 127, or a crash once the report was complete. It is reported as
such, and recorded for the run's summary; a second failure fails the case.
Any other failure fails at once.
"""
import argparse
import os
import shutil
import subprocess
import sys
import time

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import compare_reports  # noqa: E402
import wine  # noqa: E402

INPUTS = ("IN_FM.txt", "IN_FM2.txt")
REPORT = "OUT_M.xls"


def read(path):
    try:
        with open(path, "rb") as f:
            return f.read()
    except FileNotFoundError:
        return None


def run(command, cwd, timeout, env=None):
    """(exit status, stderr text); status None after a timeout.

    Output goes to files in cwd, not to pipes: a Wine server that a program
    starts would hold a pipe open after the program's end."""
    with open(os.path.join(cwd, "stdout.txt"), "wb") as out, \
            open(os.path.join(cwd, "stderr.txt"), "wb") as err:
        try:
            status = subprocess.run(command, cwd=cwd, env=env, stdin=subprocess.DEVNULL,
                                    stdout=out, stderr=err, timeout=timeout).returncode
        except subprocess.TimeoutExpired:
            status = None
    with open(os.path.join(cwd, "stderr.txt"), "rb") as err:
        stderr = err.read().decode("utf-8", "replace")
    return status, (f"no end after {timeout:.0f} s; " if status is None else "") + stderr


def verdict(linux, windows, listed):
    """('identical' | 'within' | 'no-report', message) or ('fail', message)."""
    if linux is None and windows is None:
        return "no-report", "no report on either side"
    if windows is None:
        return "fail", "no report from Windows"
    if linux is None:
        return "fail", "a report from Windows, none from Linux"
    ends = compare_reports.line_end_problems(windows)
    if ends:
        return "fail", f"Windows report: {ends}"
    windows = windows.replace(b"\r\n", b"\n")
    if linux == windows:
        if listed is not None:
            return "fail", ("byte-identical, but listed in the libm differences: "
                            "remove it from the list")
        return "identical", "byte-identical"
    if listed is None:
        comparison = compare_reports.Comparison(linux, windows)
        return "fail", f"differs from the Linux report ({comparison.summary()}) and is not listed"
    comparison = compare_reports.Comparison(linux, windows, listed.free)
    free = f" (free: {' '.join(listed.free)})" if listed.free else ""
    if comparison.within(listed.tolerance):
        return "within", (f"within the listed libm tolerance {listed.tolerance:g}{free}: "
                          f"{comparison.summary()}")
    return "fail", (f"beyond the listed libm tolerance {listed.tolerance:g}{free}: "
                    f"{comparison.summary()}")


def known_wine_fault(status, stderr, kind):
    """Why a failed Windows run is Wine's fault, or ''."""
    if "Inconsistency detected by ld.so" in stderr or "dl-fini.c" in stderr:
        return "the loader's assertion at exit (ld.so, dl-fini.c)"
    if status == 127:
        return "exit status 127"
    if status not in (0, None) and kind in ("identical", "within"):
        return f"exit status {status} after the report was complete"
    return ""


def excerpt(text, limit=600):
    text = text.strip()
    return text if len(text) <= limit else text[:limit] + " ..."


def parse(argv):
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--case", required=True)
    parser.add_argument("--mode", required=True, type=int)
    parser.add_argument("--folder", required=True)
    parser.add_argument("--linux-host", required=True)
    parser.add_argument("--windows-host", required=True)
    parser.add_argument("--dll", required=True)
    parser.add_argument("--scratch", required=True)
    parser.add_argument("--libm-list", required=True)
    parser.add_argument("--timeout", type=float, default=120)
    parser.add_argument("--wine", required=True)
    parser.add_argument("--wineserver", required=True)
    parser.add_argument("--prefix", required=True)
    parser.add_argument("--arch", choices=wine.ARCHES, default="win32")
    return parser.parse_args(argv[1:])


def run_case(options, work):
    """(kind, retried, message); kind 'identical', 'within', 'no-report' or 'fail'."""
    started = time.monotonic()
    # The host loads lumaveil.dll from its own folder: the DLL checked is the one that runs.
    if os.path.dirname(os.path.abspath(options.dll)) != os.path.dirname(
            os.path.abspath(options.windows_host)):
        return "fail", False, f"{options.dll} is not beside {options.windows_host}"
    for path in (options.linux_host, options.windows_host, options.dll):
        if not os.path.isfile(path):
            return "fail", False, f"{path} is missing (build the check's folder first)"
    problem = wine.check_tools(options.wine, options.wineserver)
    if problem:
        return "fail", False, problem
    listed = compare_reports.read_list(options.libm_list).get((options.case, options.mode))

    shutil.rmtree(work, ignore_errors=True)
    sides = {side: os.path.join(work, side) for side in ("linux", "windows")}
    for folder in sides.values():
        os.makedirs(folder)
        for input_name in INPUTS:
            source = os.path.join(options.folder, input_name)
            if os.path.isfile(source):
                shutil.copyfile(source, os.path.join(folder, input_name))

    def budget():
        """Half of what is left of the case's time, less a margin."""
        return max(5.0, (options.timeout - (time.monotonic() - started) - 5) / 2)

    # Linux: exit 0, or 1 when an input is missing (its report then says so).
    status, stderr = run([options.linux_host, "--quiet", str(options.mode)], sides["linux"], budget())
    if status not in (0, 1):
        return "fail", False, "the Linux host " + (
            stderr if status is None else f"exited with {status}: {excerpt(stderr)}")
    linux = read(os.path.join(sides["linux"], REPORT))

    env = wine.environment(options.prefix, options.arch)
    report_path = os.path.join(sides["windows"], REPORT)
    first_fault = ""
    for attempt in (1, 2):
        if os.path.exists(report_path):
            os.remove(report_path)
        status, stderr = run([options.wine, os.path.abspath(options.windows_host), str(options.mode)],
                             sides["windows"], budget(), env)
        kind, message = verdict(linux, read(report_path), listed)
        if status == 0 and kind != "fail":
            break
        fault = known_wine_fault(status, stderr, kind)
        if not fault:
            what = "no end" if status is None else f"exit status {status}"
            return "fail", bool(first_fault), f"{message}; Windows host: {what}; {excerpt(stderr)}"
        print(f"known Wine fault on attempt {attempt}: {fault}; {excerpt(stderr, 300)}")
        if attempt == 2:
            return "fail", True, f"the known Wine fault came back on the retry: {fault}"
        first_fault = fault
    if first_fault:
        message += f" (after a known Wine fault, retried once: {first_fault})"
    return kind, bool(first_fault), message


def main(argv):
    options = parse(argv)
    name = f"{options.case} mode {options.mode}"
    work = os.path.join(options.scratch, options.case, f"m{options.mode}")
    kind, retried, message = run_case(options, work)
    if kind == "fail":
        print(f"FAIL {name}: {message}")
        print(f"     (files kept in {work})")
    else:
        print(f"ok   {name}: {message}")
    # One line per case for the run's summary (summary.py).
    results = os.path.join(options.scratch, "results")
    os.makedirs(results, exist_ok=True)
    with open(os.path.join(results, f"{options.case}.m{options.mode}"), "w", encoding="utf-8") as f:
        f.write(f"{kind}\t{'retried' if retried else '-'}\t{name}: {message}\n")
    return 1 if kind == "fail" else 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))
