#!/usr/bin/env python3
"""Plants one fault at a time in a copy of src/ and of the build's link lists,
and expects check_layers.py to fail naming the file and the rule; the
untouched copy passes.

usage: check_layers_test.py SRC_DIR LINKS_FILE
"""
import shutil
import subprocess
import sys
import tempfile
import unittest
from pathlib import Path

CHECK = Path(__file__).with_name("check_layers.py")
SRC = LINKS = None


class CopyOfTree(unittest.TestCase):
    def setUp(self):
        scratch = tempfile.TemporaryDirectory()
        self.addCleanup(scratch.cleanup)
        self.src = Path(scratch.name) / "src"
        self.links = Path(scratch.name) / "layer-links.txt"
        shutil.copytree(SRC, self.src)
        shutil.copyfile(LINKS, self.links)

    def run_check(self):
        run = subprocess.run([sys.executable, CHECK, self.src, self.links],
                             capture_output=True, text=True)
        return run.returncode, run.stdout + run.stderr

    def assert_fails(self, *expected):
        code, output = self.run_check()
        self.assertEqual(code, 1, output)
        for text in expected:
            self.assertIn(text, output)

    def rule(self, folder):
        """Where the table holds folder's line."""
        for number, line in enumerate((self.src / "layers.txt").read_text().splitlines(), 1):
            if line.split("|")[0].split() == [folder]:
                return f"src/layers.txt:{number}"
        self.fail(f"{folder} has no line in the table")

    def first(self, folder, suffix):
        return sorted((self.src / folder).glob("*" + suffix))[0]

    def plant(self, path, line):
        """Puts line first in path and returns the name the check shows."""
        path.write_text(line + "\n" + (path.read_text() if path.exists() else ""))
        return f"src/{path.relative_to(self.src).as_posix()}:1: "

    def edit_links(self, library, add=(), remove=()):
        lines = self.links.read_text().splitlines()
        for index, line in enumerate(lines):
            head, _, links = line.partition(":")
            if not line.startswith("#") and head.split()[1:] == [library]:
                kept = [link for link in links.split() if link not in remove]
                lines[index] = f"{head}: {' '.join(kept + list(add))}"
                break
        else:
            self.fail(f"{library} is not in the link lists")
        self.links.write_text("\n".join(lines) + "\n")


class IncludeRules(CopyOfTree):
    def test_untouched_copy_passes(self):
        code, output = self.run_check()
        self.assertEqual(code, 0, output)

    def test_system_qt_and_lower_folders_pass(self):
        header = self.first("model", ".h")
        for line in ("#include <sys/types.h>", "#include <QString>", '#include "core/X.h"',
                     "#include <core/X.h>", "// #include \"app/MainWindow.h\""):
            self.plant(header, line)
        code, output = self.run_check()
        self.assertEqual(code, 0, output)

    def test_angle_include_of_a_folder_above(self):
        where = self.plant(self.first("model", ".h"), "#include <bank/DeskState.h>")
        self.assert_fails(where + "model may not include bank (<bank/DeskState.h>)",
                          self.rule("model") + " lets model use core")

    def test_spaced_include_in_a_source(self):
        where = self.plant(self.first("core", ".cpp"), '#  include   "app/MainWindow.h"')
        self.assert_fails(where + 'core may not include app ("app/MainWindow.h")',
                          "lets core use no folder of ours")

    def test_include_in_another_source_extension(self):
        where = self.plant(self.src / "output" / "Inline.hpp", '#include "dialogs/AboutBox.h"')
        self.assert_fails(where + "output may not include dialogs")

    def test_include_from_a_subfolder(self):
        where = self.plant(self.src / "output" / "ola" / "Extra.cpp", '#include "bank/X.h"')
        self.assert_fails(where + "output may not include bank")

    def test_relative_include_up(self):
        where = self.plant(self.first("slider", ".cpp"), '#include "../base/Colors.h"')
        self.assert_fails(where + 'includes "../base/Colors.h": name the folder under src/')

    def test_relative_include_without_folder(self):
        where = self.plant(self.first("model", ".cpp"), '#include "ChannelTable.h"')
        self.assert_fails(where + 'includes "ChannelTable.h": name the folder under src/')

    def test_folder_missing_from_the_table(self):
        (self.src / "extra").mkdir()
        self.plant(self.src / "extra" / "Extra.h", "#pragma once")
        self.assert_fails("src/extra: a folder without a line in src/layers.txt")

    def test_include_of_a_folder_not_linked(self):
        # The table lets dialogs use output; its library must link it too.
        self.edit_links("vantrelle_dialogs", remove=["vantrelle_output"])
        where = self.plant(self.first("dialogs", ".cpp"), '#include "output/Output.h"')
        self.assert_fails(
            where + 'dialogs includes output ("output/Output.h") but does not link it')


class LinkRules(CopyOfTree):
    def test_model_linking_qt_widgets(self):
        self.edit_links("vantrelle_model", add=["Qt6::Widgets"])
        self.assert_fails("src/model/CMakeLists.txt: vantrelle_model links Qt6::Widgets",
                          self.rule("model") + " lets model link Qt Core")

    def test_model_linking_qt_gui(self):
        self.edit_links("vantrelle_model", add=["Qt6::Gui"])
        self.assert_fails("vantrelle_model links Qt6::Gui")

    def test_output_linking_qt_widgets(self):
        self.edit_links("vantrelle_output", add=["Qt6::Widgets"])
        self.assert_fails("src/output/CMakeLists.txt: vantrelle_output links Qt6::Widgets",
                          "lets output link Qt Core")

    def test_ola_module_held_to_the_output_line(self):
        self.edit_links("vantrelle_ola_output", add=["Qt6::Gui"])
        self.assert_fails("src/output/ola/CMakeLists.txt: vantrelle_ola_output links Qt6::Gui",
                          "lets output link Qt Core")

    def test_library_linking_a_folder_above(self):
        self.edit_links("vantrelle_model", add=["vantrelle_base"])
        self.assert_fails("vantrelle_model links vantrelle_base (src/base)",
                          "lets model use core")

    def test_imported_target_not_seen(self):
        self.edit_links("vantrelle_hostlink", add=["?PkgConfig::SOMETHING"])
        self.assert_fails("vantrelle_hostlink links PkgConfig::SOMETHING, whose links cannot "
                          "be read from src/")

    def test_library_from_outside_src(self):
        self.edit_links("vantrelle_core", add=["vantrelle_test_support"])
        self.assert_fails(
            "vantrelle_core links vantrelle_test_support, which is no library of src/")


class TableRules(CopyOfTree):
    def edit_table(self, old, new):
        table = self.src / "layers.txt"
        text = table.read_text()
        self.assertIn(old, text)
        table.write_text(text.replace(old, new, 1))

    def test_using_a_folder_below_without_what_it_uses(self):
        self.edit_table("bank        | core model base slider buttons ",
                        "bank        | core model slider buttons ")
        self.assert_fails(self.rule("bank") + ": bank uses slider, so it must use base too")

    def test_using_a_folder_further_down_the_table(self):
        self.edit_table("base        | core ", "base        | core bank ")
        self.assert_fails(self.rule("base") + ": base may use only folders above it, not bank")


class BuildLinkLists(unittest.TestCase):
    """The link lists this build wrote are closed over what each library links."""

    def links_of(self, library):
        for line in LINKS.read_text().splitlines():
            head, _, links = line.partition(":")
            if head.split()[1:] == [library]:
                return links.split()
        self.fail(f"{library} is not in {LINKS}")

    def test_through_qt_targets(self):
        # vantrelle_base links Qt Widgets, which brings Gui and Core.
        links = set(self.links_of("vantrelle_base"))
        self.assertTrue({"Qt6::Widgets", "Qt6::Gui", "Qt6::Core"} <= links, links)

    def test_through_our_libraries(self):
        links = set(self.links_of("vantrelle"))
        self.assertTrue({"vantrelle_app", "vantrelle_core", "Qt6::Core"} <= links, links)

    def test_subfolder_libraries_listed(self):
        self.assertIn("vantrelle_ola_output", self.links_of("vantrelle_ola_module"))


if __name__ == "__main__":
    if len(sys.argv) != 3:
        sys.exit(__doc__)
    SRC, LINKS = Path(sys.argv[1]), Path(sys.argv[2])
    unittest.main(argv=sys.argv[:1], verbosity=2)
