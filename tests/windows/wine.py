"""The Wine prefix of a run of the Windows check.

    python3 wine.py create|stop --wine WINE --wineserver SERVER --prefix DIR [--arch win64]

`create` empties the cases' scratch folder, makes a fresh prefix, 32-bit unless
--arch says win64 (the CTest fixture that every case needs), and starts a Wine
server that the cases share; `stop` shuts it down.
Nothing is installed and no window opens.
"""
import argparse
import os
import shutil
import subprocess
import sys


ARCHES = ("win32", "win64")


def environment(prefix, arch="win32"):
    """The environment a Windows program of the check runs in."""
    env = dict(os.environ)
    for name in ("DISPLAY", "WAYLAND_DISPLAY"):
        env.pop(name, None)
    env.update({
        "WINEPREFIX": prefix,
        "WINEARCH": arch,
        "WINEDEBUG": "-all",
        # No Mono or Gecko installer, no menu entries.
        "WINEDLLOVERRIDES": "mscoree,mshtml=;winemenubuilder.exe=d",
    })
    return env


def check_tools(wine, wineserver):
    for tool in (wine, wineserver):
        if not (os.path.isfile(tool) and os.access(tool, os.X_OK)):
            return f"{tool} not found: run sh scripts/install-deps.sh windows"
    return ""


def main(argv):
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("action", choices=["create", "stop"])
    parser.add_argument("--wine", required=True)
    parser.add_argument("--wineserver", required=True)
    parser.add_argument("--prefix", required=True)
    parser.add_argument("--arch", choices=ARCHES, default="win32")
    parser.add_argument("--scratch", help="create: the cases' folder, emptied for the new run")
    options = parser.parse_args(argv[1:])
    problem = check_tools(options.wine, options.wineserver)
    if problem:
        print(f"wine: {problem}", file=sys.stderr)
        return 1
    env = environment(options.prefix, options.arch)
    # Output to /dev/null, never a pipe: a server started on the way would
    # hold a pipe open, and CTest would wait for it.
    quiet = {"stdin": subprocess.DEVNULL, "stdout": subprocess.DEVNULL,
             "stderr": subprocess.DEVNULL, "env": env}
    if options.action == "stop":
        if os.path.isdir(options.prefix):
            subprocess.run([options.wineserver, "-k"], **quiet)
        return 0
    if options.scratch:
        shutil.rmtree(options.scratch, ignore_errors=True)
    # A prefix left by an earlier run may hold its server; start afresh.
    if os.path.isdir(options.prefix):
        subprocess.run([options.wineserver, "-k"], **quiet)
        shutil.rmtree(options.prefix)
    os.makedirs(options.prefix)
    log_path = options.prefix.rstrip("/") + "-wineboot.log"
    with open(log_path, "wb") as log:
        boot = subprocess.run([options.wine, "wineboot", "-i"], stdin=subprocess.DEVNULL,
                              stdout=log, stderr=log, env=env)
    subprocess.run([options.wineserver, "-w"], **quiet)
    if boot.returncode != 0 or not os.path.isfile(os.path.join(options.prefix, "system.reg")):
        with open(log_path, "rb") as log:
            text = log.read().decode("utf-8", "replace")
        print(f"wine: wineboot failed (exit {boot.returncode}):\n{text[-2000:]}", file=sys.stderr)
        return 1
    # One server for every case of the run; it ends by itself a minute
    # after its last program if `stop` never runs.
    subprocess.run([options.wineserver, "-p60"], **quiet)
    print(f"Wine prefix {options.prefix} ready")
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))
