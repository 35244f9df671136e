"""End-to-end tests of the unlock toast: several unlocks in one check pass of the running
program give one toast after another, each with its own title, none taking the focus."""

import shutil
import subprocess
import time
import unittest

from laurelight_wine import (ROOT, SCREENSHOTS, TOAST_CLASS, WineTestCase, achievement,
                             config_bytes, screenshot)

SCREEN_WIDTH = 1280
TITLES = ["\u521d\u6b21\u76f8\u9047", "Second Wind", "\u7b2c\u4e09\u9053\u5149"]


def crop_bytes(path, geometry):
    """Raw RGB bytes of one part of a PNG."""
    return subprocess.run(["convert", str(path), "-crop", geometry, "+repage", "rgb:-"],
                          check=True, capture_output=True, timeout=30).stdout


class ToastTest(WineTestCase):
    def test_unlocks_in_one_pass_show_their_toasts_in_turn_without_taking_the_focus(self):
        entries = [achievement("toast_%d" % i, title, "toastmaker.exe")
                   for i, title in enumerate(TITLES)]
        install = self.install("toasts", config_bytes(entries))
        for name in ("adv_back.png", "adv_sound.wav"):
            shutil.copy2(ROOT / "demo" / "bin" / name, install.dir / "bin" / name)
        main = self.start_and_wait(install)
        time.sleep(0.5)
        self.assertEqual(self.driver.ok("foreground").get("hwnd"), main["hwnd"])

        self.start_user_program("toastmaker.exe")
        order, shots = [], []
        most_alive, focus_lost = 0, False
        deadline = time.monotonic() + 30
        while time.monotonic() < deadline:
            toasts = self.driver.ok("windows", TOAST_CLASS)["windows"]
            most_alive = max(most_alive, len(toasts))
            for toast in toasts:
                if toast["hwnd"] not in order:
                    order.append(toast["hwnd"])
                shown = toast["rect"][0] == SCREEN_WIDTH - 640
                if shown and len(shots) < order.index(toast["hwnd"]) + 1:
                    time.sleep(0.1)
                    shots.append(screenshot(self.driver, toast["hwnd"], "toast_%d" % len(shots)))
                    if len(shots) == 1:
                        self.save_desktop_picture()
            if self.driver.ok("foreground").get("hwnd") != main["hwnd"]:
                focus_lost = True
            if len(order) == 3 and not toasts:
                break
            time.sleep(0.03)

        self.assertEqual(len(order), 3)
        self.assertEqual(most_alive, 1)
        self.assertFalse(focus_lost)
        self.assertEqual(self.driver.ok("windows", TOAST_CLASS)["windows"], [])
        self.assertIsNone(install.process.poll())
        self.assertEqual(install.progress(),
                         b"".join(b"toast_%d=done\r\n" % i for i in range(3)))
        # Each toast carries its own title: the title lines of the three pictures differ,
        # while their headers are the same.
        self.assertEqual(len(shots), 3)
        headers = [crop_bytes(shot, "600x30+20+20") for shot in shots]
        titles = [crop_bytes(shot, "600x40+20+60") for shot in shots]
        self.assertEqual(len(set(titles)), 3)
        self.assertEqual(len(set(headers)), 1)

    def save_desktop_picture(self):
        """The top right of the desktop with the toast over it, for the README."""
        SCREENSHOTS.mkdir(parents=True, exist_ok=True)
        picture = SCREENSHOTS / "toast_over_desktop.png"
        subprocess.run(["import", "-window", "root", "-crop", "760x240+520+0", "+repage",
                        str(picture)], check=True, timeout=30)
        shutil.copy2(picture, ROOT / "docs" / "toast.png")


if __name__ == "__main__":
    unittest.main()
