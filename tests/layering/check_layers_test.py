#!/usr/bin/env python3
"""The layering check on small made-up source trees: each kind of fault it
is meant to catch is caught, and a tree without faults passes."""
import contextlib
import io
import os
import sys
import tempfile
import types
import unittest

SCRIPT = os.path.join(os.path.dirname(__file__), "..", "..", "scripts", "check-layers.py")
# The script's file name has a hyphen, so it is run into a module of its own
# rather than imported.
check_layers = types.ModuleType("check_layers")
with open(SCRIPT, encoding="utf-8") as script:
    exec(compile(script.read(), SCRIPT, "exec"), check_layers.__dict__)


def library_call(name, links):
    return f"orrel_library({name}\n  SOURCES\n    A.cpp  # the only file\n  LINKS\n    {' '.join(links)}\n)\n"


class LayeringCheck(unittest.TestCase):
    def setUp(self):
        self.folder = tempfile.TemporaryDirectory()
        self.addCleanup(self.folder.cleanup)
        self.make_sound_tree(self.folder.name)

    def make_sound_tree(self, root):
        self.root = root
        # A sound tree: expression builds on numeric and platform.
        self.write("platform/CMakeLists.txt", library_call("orrel_platform", ["ext::plist"]))
        self.write("platform/P.h", "#pragma once\n")
        self.write("numeric/CMakeLists.txt", library_call("orrel_numeric", ["orrel_platform", "ext::lapacke"]))
        self.write("numeric/N.h", '#include "platform/P.h"\n')
        self.write("expression/CMakeLists.txt", library_call("orrel_expression", ["orrel_numeric", "orrel_platform"]))
        self.write("expression/E.cpp", '#include "E.h"\n#include "numeric/N.h"\n#include "platform/P.h"\n')

    def write(self, relative, text):
        path = os.path.join(self.root, relative)
        os.makedirs(os.path.dirname(path), exist_ok=True)
        with open(path, "w", encoding="utf-8") as f:
            f.write(text)

    def run_check(self):
        out = io.StringIO()
        with contextlib.redirect_stdout(out):
            status = check_layers.main(self.root)
        return status, out.getvalue().splitlines()

    def test_a_sound_tree_passes(self):
        self.assertEqual(self.run_check(), (0, []))

    def test_faults_are_each_reported(self):
        cases = [
            ("an include that is reached only through another library",
             "expression/CMakeLists.txt", library_call("orrel_expression", ["orrel_numeric"]),
             "expression/CMakeLists.txt: expression includes headers of platform (expression/E.cpp:3) "
             "but does not link orrel_platform"),
            ("a link that nothing includes",
             "expression/E.cpp", '#include "numeric/N.h"\n',
             "expression/CMakeLists.txt: expression links orrel_platform but includes none of its headers"),
            ("a link upwards in the layer table",
             "numeric/CMakeLists.txt", library_call("orrel_numeric", ["orrel_platform", "orrel_expression"]),
             "numeric/CMakeLists.txt: numeric links orrel_expression, which is not below it in the layer table"),
            ("an include upwards in the layer table",
             "numeric/M.cpp", '#include "expression/E.h"\n',
             "numeric/M.cpp:1: numeric includes expression/E.h of expression"),
            ("a folder outside the layer table",
             "elsewhere/X.cpp", "\n",
             "elsewhere/X.cpp: folder is not in the layer table"),
        ]
        for what, relative, text, message in cases:
            with self.subTest(what), tempfile.TemporaryDirectory() as root:
                self.make_sound_tree(root)
                self.write(relative, text)
                status, lines = self.run_check()
                self.assertEqual(status, 1)
                self.assertIn(message, lines)

    def test_a_link_mentioned_only_in_a_comment_does_not_count(self):
        self.write("expression/CMakeLists.txt",
                   library_call("orrel_expression", ["orrel_numeric"]).replace("LINKS", "LINKS  # orrel_platform"))
        status, lines = self.run_check()
        self.assertEqual(status, 1)
        self.assertTrue(any("does not link orrel_platform" in line for line in lines), lines)


if __name__ == "__main__":
    unittest.main()
