"""DLL planting: a gdiplus.dll and a winmm.dll placed beside Laurelight.exe are never loaded,
through start-up, an unlock with its toast picture and sound, and exit. The same planted
DLLs are first shown to be loaded by a program that imports them the plain way, so the test
can tell the two apart.

Wine by default prefers its own built-in gdiplus and winmm over any copy it finds, so neither
program would load a planted DLL and the test could tell nothing. Both programs therefore run
with these two DLLs set to "native, then built-in", the order Windows itself follows."""

import os
import shutil
import subprocess
import unittest

from laurelight_wine import (BUILD, MAIN_CLASS, ROOT, TOAST_CLASS, WORK, WineTestCase, achievement,
                             config_bytes, wine)

PLANTED = BUILD / "tests" / "driver" / "planted"
PLAIN_IMPORT_EXE = BUILD / "tests" / "driver" / "laurelight-plain-import.exe"
NAMES = ("gdiplus.dll", "winmm.dll")


def native_first():
    env = dict(os.environ)
    env["WINEDLLOVERRIDES"] = ";".join(filter(None, [env.get("WINEDLLOVERRIDES"), "gdiplus,winmm=n,b"]))
    return env


def plant(folder):
    for name in NAMES:
        shutil.copy2(PLANTED / name, folder / name)


def markers(folder):
    return sorted(path.name.lower() for path in folder.glob("planted-*.txt"))


class DllPlantingTest(WineTestCase):
    def test_a_plain_import_loads_the_planted_dlls(self):
        folder = WORK / "planting_control"
        shutil.rmtree(folder, ignore_errors=True)
        folder.mkdir(parents=True)
        shutil.copy2(PLAIN_IMPORT_EXE, folder / "plain-import.exe")
        plant(folder)
        process = wine([folder / "plain-import.exe"], cwd=folder, env=native_first(),
                       stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        try:
            process.wait(timeout=30)
        finally:
            if process.poll() is None:
                process.kill()
                process.wait()
        self.assertEqual(markers(folder), ["planted-gdiplus.dll.txt", "planted-winmm.dll.txt"])

    def test_laurelight_never_loads_dlls_planted_beside_it(self):
        install = self.install("planting", config_bytes([achievement("planted", "Planted", "llplanted.exe")]))
        for name in ("adv_back.png", "adv_sound.wav"):
            shutil.copy2(ROOT / "demo" / "bin" / name, install.dir / "bin" / name)
        plant(install.dir)
        install.start(env=native_first())
        self.driver.ok("wait", MAIN_CLASS, 15000, timeout=25)
        self.start_user_program("llplanted.exe")
        # The toast loads the picture and starts the sound; a planted DLL would break both,
        # so these waits only pace the run and the markers are judged first.
        toast = self.driver.call("wait", TOAST_CLASS, 5000)
        self.driver.call("wait_gone", TOAST_CLASS, 10000)
        self.driver.call("close", MAIN_CLASS)
        code = install.wait_exit(5)
        self.assertEqual(markers(install.dir), [])
        self.assertTrue(toast.get("ok"), toast)
        self.assertEqual(code, 0)
        self.assertEqual(install.progress(), b"planted=done\r\n")


if __name__ == "__main__":
    unittest.main()
