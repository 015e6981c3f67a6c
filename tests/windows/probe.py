"""Can this machine's kernel run a 32-bit x86 program?

    python3 probe.py --loader LOADER [--out FILE]

Runs LOADER --version once (LOADER is 32-bit Wine's own loader, an ordinary
32-bit ELF program) and prints one sentence saying which DLL the Windows
check runs its cases with. Some kernels are built without 32-bit support:
there the loader, installed cleanly, fails to start with "Exec format error"
(ENOEXEC). The 32-bit DLL is then checked from its file alone and the
64-bit DLL runs the cases under 64-bit Wine.

With --out, FILE receives "32" or "64", a tab and the sentence, for CMake and
for the summary of the run.
"""
import argparse
import errno
import subprocess
import sys


def probe(loader):
    """(bits, sentence): 32 where the loader starts, 64 where the kernel
    refuses 32-bit programs. A loader that is missing or fails otherwise
    keeps 32: the cases then fail with the reason, as a broken install should."""
    try:
        done = subprocess.run([loader, "--version"], stdin=subprocess.DEVNULL,
                              stdout=subprocess.PIPE, stderr=subprocess.STDOUT, timeout=60)
    except OSError as error:
        if error.errno == errno.ENOEXEC:
            return 64, ("32-bit programs cannot run on this machine's kernel "
                        f"({loader}: {error.strerror}): the 32-bit DLL is checked statically "
                        "and the 64-bit DLL runs the cases under 64-bit Wine")
        return 32, (f"32-bit Wine's loader {loader} cannot be started ({error.strerror}): "
                    "the cases will fail; install the Windows tools")
    except subprocess.TimeoutExpired:
        return 32, f"32-bit Wine's loader {loader} did not answer --version within 60 s"
    version = done.stdout.decode("utf-8", "replace").strip().splitlines()
    return 32, ("32-bit programs run on this machine's kernel "
                f"({loader} --version: {version[0] if version else 'no answer'}): "
                "the 32-bit DLL runs the cases under 32-bit Wine")


def main(argv):
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--loader", required=True)
    parser.add_argument("--out")
    options = parser.parse_args(argv[1:])
    bits, sentence = probe(options.loader)
    print(f"Windows check: {sentence}")
    if options.out:
        with open(options.out, "w", encoding="utf-8") as f:
            f.write(f"{bits}\t{sentence}\n")
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))
