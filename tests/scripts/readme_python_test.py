#!/usr/bin/env python3
"""The README's Python snippet, pasted into a file and run from a directory
outside the checkout: with the two paths it names filled in, it must write the
report of the lens folder (the golden report of the example, byte for byte),
leave the directory it was started in untouched, and turn a failure, which
main5 shows only in the report, into an error exit.

    readme_python_test.py README LIBRARY EXAMPLES_DIR GOLDEN_REPORT
"""
import os
import re
import shutil
import subprocess
import sys
import tempfile
import unittest

README, LIBRARY, EXAMPLES, GOLDEN = sys.argv[1:5]


def snippet_from_readme():
    with open(README, encoding="utf-8") as f:
        text = f.read()
    start = text.index("From Python")
    block = re.search(r"```python\n(.*?)```", text[start:], re.S)
    return block.group(1)


def pasted(snippet, library, lens):
    """The snippet as a user edits it: only its two paths changed."""
    lines = []
    for line in snippet.splitlines():
        if line.startswith("LIBRARY = "):
            line = f"LIBRARY = {library!r}"
        elif line.startswith("LENS = "):
            line = f"LENS = {lens!r}"
        lines.append(line)
    return "\n".join(lines) + "\n"


class ReadmePythonSnippet(unittest.TestCase):
    def setUp(self):
        self.scratch = tempfile.mkdtemp(prefix="lumaveil-readme-")
        checkout = os.path.dirname(os.path.abspath(README))
        self.assertFalse(os.path.realpath(self.scratch).startswith(os.path.realpath(checkout) + os.sep))
        self.addCleanup(shutil.rmtree, self.scratch)

    def run_snippet(self, lens):
        script = os.path.join(self.scratch, "snippet.py")
        with open(script, "w", encoding="utf-8") as f:
            f.write(pasted(snippet_from_readme(), LIBRARY, lens))
        elsewhere = tempfile.mkdtemp(dir=self.scratch)
        result = subprocess.run([sys.executable, script], cwd=elsewhere, capture_output=True, text=True)
        self.assertEqual(os.listdir(elsewhere), [], "the snippet wrote into the directory it was run from")
        return result

    def lens_folder(self, files):
        lens = tempfile.mkdtemp(dir=self.scratch)
        for name in files:
            shutil.copy(os.path.join(EXAMPLES, "cooke_triplet", name), lens)
        return lens

    def test_the_paths_to_fill_in_are_there(self):
        snippet = snippet_from_readme()
        self.assertRegex(snippet, r"(?m)^LIBRARY = \"/")
        self.assertRegex(snippet, r"(?m)^LENS = \"/")

    def test_writes_the_report_in_the_lens_folder(self):
        lens = self.lens_folder(["IN_FM.txt", "IN_FM2.txt"])
        result = self.run_snippet(lens)
        self.assertEqual(result.returncode, 0, result.stderr)
        with open(os.path.join(lens, "OUT_M.xls"), "rb") as report, open(GOLDEN, "rb") as golden:
            self.assertEqual(report.read(), golden.read())

    def test_a_failure_in_the_report_is_an_error_exit(self):
        lens = self.lens_folder([])
        result = self.run_snippet(lens)
        self.assertNotEqual(result.returncode, 0)
        self.assertIn("error: cannot open IN_FM.txt", result.stderr)


if __name__ == "__main__":
    unittest.main(argv=sys.argv[:1])
