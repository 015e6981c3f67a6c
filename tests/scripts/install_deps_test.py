#!/usr/bin/env python3
"""scripts/install-deps.sh against a make-believe Debian: stand-ins for id,
sudo, apt-get, dpkg, dpkg-query, locale and localedef on PATH record what the
script asks of them and keep the packages, architectures and locales it
installs in a state folder. Checks the one policy: nothing done when all is
there; as root apt-get update once, then exactly the missing packages; with
sudo the same through sudo; without either, the exact command printed and
status 1.

    install_deps_test.py SCRIPT
"""
import os
import shutil
import subprocess
import sys
import tempfile
import unittest

SCRIPT = sys.argv[1]

# Each stand-in is a shell script; $STATE is the state folder, every call is
# appended to $STATE/calls.
STUBS = {
    "id": 'cat "$STATE/uid"',
    "sudo": 'echo "sudo $*" >>"$STATE/calls"; exec "$@"',
    "dpkg": '''echo "dpkg $*" >>"$STATE/calls"
case $1 in
  --print-architecture) echo amd64 ;;
  --print-foreign-architectures) cat "$STATE/foreign" ;;
  --add-architecture) echo "$2" >>"$STATE/foreign" ;;
esac''',
    "dpkg-query": '''shift 2
status=1
for package; do
  case $package in *:*) names=$package ;; *) names="$package:amd64 $package:all" ;; esac
  for name in $names; do
    if grep -qx "$name" "$STATE/installed"; then echo "$name ii "; status=0; fi
  done
done
exit $status''',
    "apt-get": '''echo "apt-get $*" >>"$STATE/calls"
[ "$1" = install ] || exit 0
[ -f "$STATE/broken" ] && exit 0
for package; do
  case $package in -*|install) ;; *:*) echo "$package" >>"$STATE/installed" ;; *) echo "$package:amd64" >>"$STATE/installed" ;; esac
done''',
    "locale": 'cat "$STATE/locales"',
    "localedef": 'echo "localedef $*" >>"$STATE/calls"; echo de_DE.utf8 >>"$STATE/locales"',
}
TOOLS = ("sh", "grep", "env", "cat")
BUILD = ["g++:amd64", "cmake:amd64", "make:amd64"]


class InstallDeps(unittest.TestCase):
    def machine(self, uid=0, installed=(), sudo=False, foreign="", locales="C.utf8\n", broken=False):
        root = tempfile.mkdtemp(prefix="lumaveil-deps-")
        self.addCleanup(shutil.rmtree, root)
        self.state = os.path.join(root, "state")
        bin_dir = os.path.join(root, "bin")
        os.mkdir(self.state)
        os.mkdir(bin_dir)
        files = {"uid": f"{uid}\n", "installed": "".join(p + "\n" for p in installed),
                 "foreign": foreign, "locales": locales, "calls": ""}
        if broken:
            files["broken"] = ""
        for name, text in files.items():
            with open(os.path.join(self.state, name), "w") as f:
                f.write(text)
        for name, body in STUBS.items():
            if name == "sudo" and not sudo:
                continue
            path = os.path.join(bin_dir, name)
            with open(path, "w") as f:
                f.write("#!/bin/sh\n" + body + "\n")
            os.chmod(path, 0o755)
        for tool in TOOLS:
            os.symlink(shutil.which(tool), os.path.join(bin_dir, tool))
        self.env = {"PATH": bin_dir, "STATE": self.state}

    def run_script(self, *groups):
        result = subprocess.run([self.env["PATH"] + "/sh", SCRIPT, *groups], env=self.env,
                                capture_output=True, text=True)
        with open(os.path.join(self.state, "calls")) as f:
            calls = [line for line in f.read().splitlines() if not line.startswith("dpkg --print")]
        return result, calls

    def test_nothing_to_do_when_everything_is_there(self):
        for uid in (0, 1000):
            with self.subTest(uid=uid):
                self.machine(uid=uid, installed=BUILD)
                result, calls = self.run_script("build")
                self.assertEqual((result.returncode, calls), (0, []), result.stderr)

    def test_installs_exactly_what_is_missing(self):
        install = "apt-get install -y -qq --no-install-recommends libgtest-dev unzip pkgconf"
        for uid, sudo, prefix in ((0, False, []), (0, True, []), (1000, True, ["sudo env DEBIAN_FRONTEND=noninteractive sh -c"])):
            with self.subTest(uid=uid, sudo=sudo):
                self.machine(uid=uid, sudo=sudo,
                             installed=BUILD + ["libbenchmark-dev:amd64", "python3:amd64"])
                result, calls = self.run_script("build", "test")
                self.assertEqual(result.returncode, 0, result.stderr)
                sudo_calls = [c for c in calls if c.startswith("sudo")]
                self.assertEqual(len(sudo_calls), len(prefix))
                self.assertEqual([c for c in calls if not c.startswith("sudo")],
                                 ["apt-get update -qq", install])

    def test_without_root_or_sudo_prints_the_command_and_fails(self):
        self.machine(uid=1000, installed=BUILD)
        result, calls = self.run_script("build", "locale", "windows")
        self.assertEqual(result.returncode, 1)
        self.assertEqual(calls, [])
        self.assertIn("    dpkg --add-architecture i386 && apt-get update -qq && "
                      "apt-get install -y -qq --no-install-recommends locales g++-mingw-w64-i686 "
                      "g++-mingw-w64-x86-64 wine64 wine32:i386 python3 && "
                      "{ localedef -i de_DE -f UTF-8 de_DE.UTF-8 || true; }\n", result.stderr)

    def test_windows_adds_the_i386_architecture_before_the_update(self):
        self.machine(installed=["python3:amd64"])
        result, calls = self.run_script("windows")
        self.assertEqual(result.returncode, 0, result.stderr)
        self.assertEqual(calls[:2], ["dpkg --add-architecture i386", "apt-get update -qq"])
        result, calls = self.run_script("windows")
        self.assertEqual(calls.count("dpkg --add-architecture i386"), 1, "run again: nothing to do")

    def test_locale_made_when_only_the_locale_is_missing(self):
        self.machine(installed=["locales:all"])
        result, calls = self.run_script("locale")
        self.assertEqual(result.returncode, 0, result.stderr)
        self.assertEqual(calls, ["localedef -i de_DE -f UTF-8 de_DE.UTF-8"])

    def test_failures(self):
        self.machine(broken=True)
        result, _ = self.run_script("quality")
        self.assertEqual(result.returncode, 1)
        self.assertIn("libfftw3-dev did not install", result.stderr)
        result, calls = self.run_script("build", "nonsense")
        self.assertEqual(result.returncode, 2)
        self.assertIn("unknown group 'nonsense'", result.stderr)


if __name__ == "__main__":
    unittest.main(argv=sys.argv[:1])
