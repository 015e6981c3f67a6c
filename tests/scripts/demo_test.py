#!/usr/bin/env python3
"""`make demo`'s script: it must show the figures the host program computes
(the first-order data of `lumaveil check`, the RMS spot radius per wavelength
of `lumaveil plot`), name a report and a plot page that exist, and suggest
three next commands that run.

    demo_test.py DEMO_SCRIPT BUILD_DIR
"""
import os
import re
import shlex
import shutil
import subprocess
import sys
import tempfile
import unittest

DEMO, BUILD = sys.argv[1:3]
HOST = os.path.join(BUILD, "lumaveil")


class Demo(unittest.TestCase):
    @classmethod
    def setUpClass(cls):
        cls.scratch = tempfile.mkdtemp(prefix="lumaveil-demo-")
        cls.work = os.path.join(cls.scratch, "cooke_triplet")
        result = subprocess.run(["sh", DEMO, BUILD, cls.work], capture_output=True, text=True)
        cls.status, cls.output, cls.errors = result.returncode, result.stdout, result.stderr
        check = subprocess.run([HOST, "-C", cls.work, "check"], capture_output=True, text=True)
        cls.check = check.stdout

    @classmethod
    def tearDownClass(cls):
        shutil.rmtree(cls.scratch)

    def section(self, number):
        match = re.search(rf"(?ms)^{number}\. .*?(?=^\d\. |\Z)", self.output)
        self.assertIsNotNone(match, f"no section {number} in the demo's output")
        return match.group(0)

    def test_runs(self):
        self.assertEqual(self.status, 0, self.errors)

    def test_first_order_data_are_the_checks(self):
        table = self.section(2)
        for name in ("effective focal length", "back focal distance", "f-number EFL/(2 RH)"):
            values = re.findall(rf"(?m)^    {re.escape(name)}\s+(\S+)", self.check)
            self.assertEqual(len(values), 3, name)
            for value in values:
                self.assertIn(value, table, name)
        self.assertEqual(re.findall(r"(?m)^   (\d+\.\d nm) ", table), ["486.1 nm", "587.6 nm", "656.3 nm"])

    def test_spot_radius_per_wavelength(self):
        radii = re.findall(r"(?m)^   (\d+\.\d) nm: ([0-9.]+) µm$", self.section(3))
        self.assertEqual([nm for nm, _ in radii], ["486.1", "587.6", "656.3"])
        # Blue to red the triplet's spot grows (README of the example: 0.012, 0.015, 0.019 mm across).
        sizes = [float(r) for _, r in radii]
        self.assertEqual(sizes, sorted(sizes))
        self.assertTrue(all(1 < r < 10 for r in sizes), sizes)

    def test_the_report_and_the_plot_page_exist(self):
        where = self.section(4)
        for name in ("OUT_M.xls", os.path.join("plots", "index.html")):
            path = os.path.join(self.work, name)
            self.assertIn(path, where)
            self.assertTrue(os.path.isfile(path), path)

    def test_three_next_commands_that_run(self):
        commands = [line.split("#")[0].strip() for line in self.section(5).splitlines()[1:] if line.strip()]
        self.assertEqual(len(commands), 3, commands)
        for command in commands:
            with self.subTest(command=command):
                result = subprocess.run(shlex.split(command), capture_output=True, text=True)
                self.assertEqual(result.returncode, 0, result.stderr)


if __name__ == "__main__":
    unittest.main(argv=sys.argv[:1])
