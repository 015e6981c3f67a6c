"""Tests of the Windows check's own code: the mode lists, the comparer and
the PE reader (on small PE files built here)."""
import os
import struct
import sys
import tempfile
import unittest

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import cases  # noqa: E402
import compare_reports  # noqa: E402
import pe_check  # noqa: E402
import probe  # noqa: E402
import run_case  # noqa: E402
import summary  # noqa: E402


class Modes(unittest.TestCase):
    def test_a_negative_mode_is_read_with_its_sign(self):
        self.assertEqual(cases.parse_modes("1 -1\n+2\n"), [1, -1, 2])

    def test_anything_but_mode_numbers_is_an_error(self):
        for text in ("1 x", "1.5", "m2", "", "1-1", "3 3"):
            with self.assertRaises(cases.ModesError, msg=repr(text)):
                cases.parse_modes(text)

    def test_a_lens_folder_without_a_modes_file_is_an_error(self):
        with tempfile.TemporaryDirectory() as root:
            os.makedirs(os.path.join(root, "lens"))
            open(os.path.join(root, "lens", "IN_FM.txt"), "w").close()
            with self.assertRaises(cases.ModesError):
                cases.cases([root])
            with open(os.path.join(root, "lens", "modes"), "w") as f:
                f.write("4 -1\n")
            self.assertEqual([(n, m) for n, m, _ in cases.cases([root])],
                             [("lens", 4), ("lens", -1)])


def report(*lines):
    return ("\n".join(lines) + "\n").encode("latin-1")


class Comparer(unittest.TestCase):
    def test_a_noise_value_near_zero_is_measured_against_its_column(self):
        linux = report("No\tE\tD", "0\t1.000000E+00\t2.5", "1\t0.000000E+00\t2.5")
        windows = report("No\tE\tD", "0\t1.000000E+00\t2.5", "1\t-4.440892E-17\t2.5")
        comparison = compare_reports.Comparison(linux, windows)
        self.assertTrue(comparison.within(1e-15), comparison.summary())
        self.assertFalse(comparison.within(1e-18))

    def test_a_column_of_small_numbers_is_held_to_its_own_size(self):
        # 1e-10 against 1.1e-10 where nothing is larger: 9 % of the scale.
        linux = report("a\tb", "1.000000E-10\t1.000000E-10")
        windows = report("a\tb", "1.100000E-10\t1.000000E-10")
        comparison = compare_reports.Comparison(linux, windows)
        self.assertFalse(comparison.within(0.08))
        self.assertTrue(comparison.within(0.1))

    def test_text_and_layout_must_be_equal(self):
        base = report("x\t1.0", "y\t2.0")
        for other in (report("z\t1.0", "y\t2.0"), report("x\t1.0", "y\t2.0\t3.0"),
                      report("x\t1.0"), report("x\tnan", "y\t2.0")):
            comparison = compare_reports.Comparison(base, other)
            self.assertFalse(comparison.within(0.5), other)
            self.assertTrue(comparison.problem)

    def test_a_free_column_is_compared_by_layout_only(self):
        linux = report("No\tD1\tD2", "0\t1.0\t-66.4", "1\t2.0\t-308.0")
        windows = report("No\tD1\tD2", "0\t1.0\t-985.7", "1\t2.0\t-995.0")
        self.assertFalse(compare_reports.Comparison(linux, windows).within(1e-6))
        self.assertTrue(compare_reports.Comparison(linux, windows, ["D2"]).within(1e-6))

    def test_line_ends_must_all_be_cr_lf(self):
        self.assertEqual(compare_reports.line_end_problems(b"a\r\nb\r\n"), "")
        self.assertIn("bare LF", compare_reports.line_end_problems(b"a\r\nb\n"))
        self.assertIn("CR not followed", compare_reports.line_end_problems(b"a\rb\r\n"))

    def test_the_list_reads_tolerances_and_free_columns(self):
        with tempfile.NamedTemporaryFile("w", suffix=".txt", delete=False) as f:
            f.write("# comment\ncooke_triplet 3 5e-7   # 2.4e-7\nconcave_mirror 6 5e-6 free D2\n")
        try:
            listed = compare_reports.read_list(f.name)
        finally:
            os.remove(f.name)
        self.assertEqual(listed[("cooke_triplet", 3)].tolerance, 5e-7)
        self.assertEqual(listed[("concave_mirror", 6)].free, ("D2",))
        for bad in ("a 3", "a x 1e-5", "a 3 2", "a 3 1e-5 D2", "a 3 1e-5 free"):
            with tempfile.NamedTemporaryFile("w", suffix=".txt", delete=False) as f:
                f.write(bad + "\n")
            try:
                with self.assertRaises(compare_reports.ListError, msg=bad):
                    compare_reports.read_list(f.name)
            finally:
                os.remove(f.name)


class Verdict(unittest.TestCase):
    def test_only_wine_faults_are_retried(self):
        assertion = ("Inconsistency detected by ld.so: dl-fini.c: 87: _dl_fini: "
                     "Assertion `i < nloaded' failed!")
        self.assertTrue(run_case.known_wine_fault(127, assertion, "identical"))
        self.assertTrue(run_case.known_wine_fault(127, "", "fail"))
        self.assertTrue(run_case.known_wine_fault(3, "", "identical"))
        # A crash before the report was complete is the library's failure.
        self.assertFalse(run_case.known_wine_fault(3, "", "fail"))
        self.assertFalse(run_case.known_wine_fault(None, "", "fail"))

    def test_a_listed_run_that_turns_identical_fails(self):
        linux = report("a\t1.0")
        windows = linux.replace(b"\n", b"\r\n")
        self.assertEqual(run_case.verdict(linux, windows, None)[0], "identical")
        listed = compare_reports.Listed(1e-6)
        self.assertEqual(run_case.verdict(linux, windows, listed)[0], "fail")
        self.assertEqual(run_case.verdict(linux, linux, None)[0], "fail")   # bare LF
        self.assertEqual(run_case.verdict(None, None, None)[0], "no-report")
        self.assertEqual(run_case.verdict(linux, None, None)[0], "fail")


class Probe(unittest.TestCase):
    """Which DLL runs the cases: the 64-bit one only where the kernel refuses
    the 32-bit loader itself (ENOEXEC), never for a broken or missing install."""

    def program(self, folder, content):
        path = os.path.join(folder, "loader")
        with open(path, "wb") as f:
            f.write(content)
        os.chmod(path, 0o755)
        return path

    def test_a_refused_program_sends_the_cases_to_the_64_bit_dll(self):
        with tempfile.TemporaryDirectory() as folder:
            refused = self.program(folder, b"\x7fELF\x01garbage that no kernel loads")
            bits, sentence = probe.probe(refused)
            self.assertEqual(bits, 64)
            self.assertIn("cannot run on this machine's kernel", sentence)

    def test_a_program_that_starts_or_is_missing_keeps_the_32_bit_dll(self):
        with tempfile.TemporaryDirectory() as folder:
            runs = self.program(folder, b"#!/bin/sh\necho wine-8.0\n")
            self.assertEqual(probe.probe(runs), (32, probe.probe(runs)[1]))
            self.assertIn("wine-8.0", probe.probe(runs)[1])
            self.assertEqual(probe.probe(os.path.join(folder, "absent"))[0], 32)

    def test_the_summary_names_the_dll_that_ran_the_cases(self):
        with tempfile.TemporaryDirectory() as folder:
            found = os.path.join(folder, "probe.txt")
            with open(found, "w") as f:
                f.write("64\twhy\n")
            self.assertIn("the 64-bit DLL ran the 7 cases",
                          summary.which_dll(found).format(runs=7))
            self.assertIn("32-bit DLL under 32-bit Wine", summary.which_dll(None).format(runs=7))

    def test_both_lists_of_libm_differences_read(self):
        scripts = os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "..", "scripts")
        for name in ("windows-libm-differences.txt", "windows64-libm-differences.txt"):
            listed = compare_reports.read_list(os.path.join(scripts, name))
            self.assertIn(("double_gauss", 3), listed, name)


def tiny_pe(exports, imports, machine=pe_check.MACHINE_I386):
    """A 32-bit PE file with one section at RVA 0x1000 holding the code, an
    export table of (ordinal, name) entries and an import table."""
    section_rva, raw = 0x1000, 0x200
    body = bytearray(b"\xc2\x04\x00" + b"\x90" * 13)      # code: ret 4

    def put(data):
        while len(body) % 4:
            body.append(0)
        offset = len(body)
        body.extend(data)
        return section_rva + offset

    base = min(ordinal for ordinal, _ in exports)
    count = max(ordinal for ordinal, _ in exports) - base + 1
    functions = put(b"".join(struct.pack("<I", section_rva if any(o == base + i for o, _ in exports)
                                         else 0) for i in range(count)))
    name_rvas = [put(name.encode() + b"\0") for _, name in exports]
    names = put(b"".join(struct.pack("<I", r) for r in name_rvas))
    ordinals = put(b"".join(struct.pack("<H", o - base) for o, _ in exports))
    dll_name = put(b"lumaveil.dll\0")
    export_dir = put(struct.pack("<IIHHIIIIIII", 0, 0, 0, 0, dll_name, base, count, len(exports),
                                 functions, names, ordinals))
    import_names = [put(name.encode() + b"\0") for name in imports]
    import_dir = put(b"".join(struct.pack("<IIIII", 0, 0, 0, r, 0) for r in import_names) +
                     b"\0" * 20)
    body.extend(b"\0" * (-len(body) % raw))

    directories = [(0, 0)] * 16
    directories[0] = (export_dir, 40)
    directories[1] = (import_dir, 20 * (len(imports) + 1))
    optional = bytearray(224)
    struct.pack_into("<H", optional, 0, 0x10B)
    struct.pack_into("<I", optional, 28, 0x10000000)
    struct.pack_into("<I", optional, 92, 16)
    for i, (rva, size) in enumerate(directories):
        struct.pack_into("<II", optional, 96 + 8 * i, rva, size)
    section = struct.pack("<8sIIIIIIHHI", b".text", len(body), section_rva, len(body), raw,
                          0, 0, 0, 0, 0x60000020)
    header = bytearray(64)
    header[:2] = b"MZ"
    struct.pack_into("<I", header, 0x3C, 64)
    header += b"PE\0\0" + struct.pack("<HHIIIHH", machine, 1, 0, 0, 0, len(optional), 0x2102)
    header += optional + section
    header.extend(b"\0" * (raw - len(header)))
    return pe_check.PE(bytes(header + body))


class PEReader(unittest.TestCase):
    def test_the_one_export_main5_at_ordinal_4_passes(self):
        pe = tiny_pe([(4, "main5")], ["KERNEL32.dll", "msvcrt.dll"])
        self.assertEqual(pe.exports(), ("lumaveil.dll", [(4, "main5", 0x1000)]))
        self.assertEqual(pe.imports(), ["KERNEL32.dll", "msvcrt.dll"])
        self.assertEqual(pe_check.check_exports(pe) + pe_check.check_imports(pe), [])

    def test_a_second_export_a_decorated_name_or_another_ordinal_fails(self):
        for exports in ([(4, "main5"), (5, "helper")], [(4, "_main5@4")], [(1, "main5")]):
            self.assertTrue(pe_check.check_exports(tiny_pe(exports, ["msvcrt.dll"])), exports)

    def test_a_mingw_runtime_import_fails(self):
        for runtime in ("libgcc_s_dw2-1.dll", "libstdc++-6.dll", "libwinpthread-1.dll"):
            problems = pe_check.check_imports(tiny_pe([(4, "main5")], ["KERNEL32.dll", runtime]))
            self.assertEqual(len(problems), 1, runtime)

    def test_a_file_that_is_no_pe_is_refused(self):
        with self.assertRaises(pe_check.PEError):
            pe_check.PE(b"MZ" + b"\0" * 10)
        with self.assertRaises(pe_check.PEError):
            pe_check.PE(b"\x7fELF" + b"\0" * 100)


if __name__ == "__main__":
    unittest.main()
