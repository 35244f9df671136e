"""The Windows executables are linked for ASLR (with high-entropy addresses) and DEP, carry
the relocations ASLR needs, and import neither GDI+ nor WinMM (both are loaded at run time
from the system folder, see dll_planting_test.py). Reads the PE headers with objdump."""

import re
import subprocess
import unittest

from laurelight_wine import APP_EXE, BUILD

OBJDUMP = "x86_64-w64-mingw32-objdump"
PROGRAMS = [APP_EXE, BUILD / "tests" / "laurelight_toast_tests.exe"]


def headers(path):
    return subprocess.run([OBJDUMP, "-p", str(path)], check=True, capture_output=True, text=True,
                          timeout=60).stdout


class HardeningTest(unittest.TestCase):
    def test_programs_are_relocatable_with_dep_and_import_no_planting_prone_dll(self):
        for program in PROGRAMS:
            with self.subTest(program=program.name):
                text = headers(program)
                flags = re.search(r"DllCharacteristics\s+([0-9a-fA-F]+)", text)
                self.assertIsNotNone(flags)
                value = int(flags.group(1), 16)
                self.assertEqual(value & 0x0020, 0x0020, "HIGH_ENTROPY_VA")
                self.assertEqual(value & 0x0040, 0x0040, "DYNAMIC_BASE")
                self.assertEqual(value & 0x0100, 0x0100, "NX_COMPAT")
                self.assertRegex(text, r"Entry 5 [0-9a-f]+ [0-9a-f]*[1-9a-f][0-9a-f]* Base Relocation",
                                 "no relocations: ASLR could not move the image")
                imports = [name.lower() for name in re.findall(r"DLL Name: (\S+)", text)]
                self.assertIn("kernel32.dll", imports)
                self.assertNotIn("gdiplus.dll", imports)
                self.assertNotIn("winmm.dll", imports)


if __name__ == "__main__":
    unittest.main()
