"""The cases of the Windows check: every folder with a `modes` file.

A `modes` file lists mode numbers separated by blanks or line ends; a mode may
be negative ("-1" is mode -1, which reads the lens and writes no report).
Anything else in the file is an error, never skipped: a mode that is read
wrongly would test the wrong thing without a word.

    python3 cases.py FOLDER...

prints one line per case and mode, "NAME<TAB>MODE<TAB>PATH", for CMake.
"""
import os
import re
import sys

_MODE = re.compile(r"[-+]?[0-9]+\Z")


class ModesError(ValueError):
    pass


def parse_modes(text, where="modes"):
    """The modes of a `modes` file's text, in order."""
    modes = []
    for word in text.split():
        if not _MODE.match(word):
            raise ModesError(f"{where}: {word!r} is not a mode number")
        modes.append(int(word))
    if not modes:
        raise ModesError(f"{where}: no mode listed")
    if len(set(modes)) != len(modes):
        raise ModesError(f"{where}: a mode is listed twice")
    return modes


def cases(roots):
    """(name, mode, folder) for every case folder under the roots, sorted by name."""
    found = {}
    for root in roots:
        for name in sorted(os.listdir(root)):
            folder = os.path.join(root, name)
            modes_file = os.path.join(folder, "modes")
            if not os.path.isfile(modes_file):
                if os.path.isfile(os.path.join(folder, "IN_FM.txt")):
                    raise ModesError(f"{folder}: a lens without a modes file")
                continue
            if name in found:
                raise ModesError(f"two cases named {name}: {found[name]} and {folder}")
            found[name] = folder
    listed = []
    for name in sorted(found):
        with open(os.path.join(found[name], "modes"), encoding="ascii") as f:
            modes = parse_modes(f.read(), os.path.join(found[name], "modes"))
        listed.extend((name, mode, found[name]) for mode in modes)
    return listed


def main(argv):
    if len(argv) < 2:
        print(__doc__.strip(), file=sys.stderr)
        return 2
    try:
        for name, mode, folder in cases(argv[1:]):
            print(f"{name}\t{mode}\t{folder}")
    except (ModesError, OSError, UnicodeDecodeError) as error:
        print(f"cases: {error}", file=sys.stderr)
        return 1
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))
