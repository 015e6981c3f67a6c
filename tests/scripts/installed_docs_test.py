#!/usr/bin/env python3
"""The documents as installed: installs the build into a scratch prefix and
checks that every link of every installed Markdown document resolves in the
installed tree (the file, and the heading an anchor names), and that the
guide's contents list names every section.

    installed_docs_test.py CMAKE BUILD_DIR
"""
import os
import re
import subprocess
import sys
import tempfile
import unittest

CMAKE, BUILD = sys.argv[1:3]
LINK = re.compile(r"!?\[(?:[^\]\\]|\\.)*\]\(([^)\s]+)(?:\s+\"[^\"]*\")?\)")


def prose(text):
    """The text without fenced code blocks and inline code, where brackets are no links."""
    text = re.sub(r"(?ms)^(```|~~~).*?^\1", "", text)
    return re.sub(r"`[^`\n]*`", "", text)


def slug(heading):
    """A heading's anchor as Markdown renderers make it: lower case, punctuation
    dropped, spaces to hyphens."""
    return re.sub(r"[^\w\- ]", "", heading.strip().lower()).replace(" ", "-")


def anchors(text):
    """The anchors of a document's headings (a repeated one gets -1, -2, ...)."""
    seen = {}
    result = set()
    for heading in re.findall(r"(?m)^#{1,6}\s+(.*?)\s*#*\s*$", prose(text)):
        anchor = slug(heading)
        count = seen.get(anchor, 0)
        seen[anchor] = count + 1
        result.add(anchor if count == 0 else f"{anchor}-{count}")
    return result


def broken_links(path, root):
    """The links of one document that do not resolve inside root."""
    with open(path, encoding="utf-8") as f:
        text = f.read()
    problems = []
    for target in LINK.findall(prose(text)):
        if re.match(r"[a-z][a-z0-9+.-]*:", target):
            continue  # http:, https:, mailto:: outside the tree
        file_part, _, anchor = target.partition("#")
        resolved = os.path.normpath(os.path.join(os.path.dirname(path), file_part)) if file_part else path
        if os.path.commonpath([resolved, root]) != root or not os.path.exists(resolved):
            problems.append(f"{target}: no {os.path.relpath(resolved, root)} in the installed tree")
            continue
        if anchor and resolved.endswith(".md"):
            with open(resolved, encoding="utf-8") as f:
                if anchor not in anchors(f.read()):
                    problems.append(f"{target}: no heading with the anchor #{anchor}")
    return problems


class InstalledDocuments(unittest.TestCase):
    @classmethod
    def setUpClass(cls):
        cls.scratch = tempfile.TemporaryDirectory(prefix="lumaveil-docs-")
        prefix = os.path.join(cls.scratch.name, "prefix")
        subprocess.run([CMAKE, "--install", BUILD, "--prefix", prefix], check=True, stdout=subprocess.DEVNULL)
        cls.docdir = os.path.join(prefix, "share", "doc", "lumaveil")
        cls.documents = sorted(
            os.path.join(folder, name)
            for folder, _, names in os.walk(cls.docdir)
            for name in names
            if name.endswith(".md"))

    @classmethod
    def tearDownClass(cls):
        cls.scratch.cleanup()

    def test_the_readme_and_the_guide_are_installed(self):
        for name in ("README.md", os.path.join("docs", "guide.md")):
            self.assertIn(os.path.join(self.docdir, name), self.documents)

    def test_every_link_resolves_in_the_installed_tree(self):
        for path in self.documents:
            with self.subTest(document=os.path.relpath(path, self.docdir)):
                self.assertEqual(broken_links(path, self.docdir), [])

    def test_the_guides_contents_name_every_section(self):
        with open(os.path.join(self.docdir, "docs", "guide.md"), encoding="utf-8") as f:
            text = f.read()
        contents = text[text.index("Contents:"):text.index("\n## ")]
        listed = {target.lstrip("#") for target in LINK.findall(contents)}
        sections = {slug(heading) for heading in re.findall(r"(?m)^## (.*)$", prose(text))}
        self.assertEqual(sections - listed, set(), "sections missing from the contents list")


if __name__ == "__main__":
    unittest.main(argv=sys.argv[:1])
