"""End-to-end tests of the unlock toast: several unlocks in one check pass of the running
program give one toast after another, each with its own title, none taking the focus; a toast
at the corner the settings file names; and File > 测试提示, which shows a toast and writes
nothing."""

import shutil
import subprocess
import time
import unittest

from laurelight_wine import (MAIN_CLASS, ROOT, SCREENSHOTS, TOAST_CLASS, WineTestCase,
                             achievement, config_bytes, poll, screenshot)

SCREEN_WIDTH = 1280
TITLES = ["\u521d\u6b21\u76f8\u9047", "Second Wind", "\u7b2c\u4e09\u9053\u5149"]
IDM_TOAST_TOP_LEFT, IDM_MUTE, IDM_TEST_TOAST = 40042, 40046, 40047
TEST_TOAST_TITLE = "\u6d4b\u8bd5\u63d0\u793a"  # "测试提示"


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

    def test_a_bottom_left_toast_slides_in_from_the_left_to_that_corner_of_the_work_area(self):
        install = self.install("bottom_left", config_bytes(
            [achievement("corner", "Corner", "cornermaker.exe")]))
        settings = b"toast_corner=bottom_left\r\n"
        (install.dir / "adv_settings.txt").write_bytes(settings)
        self.start_and_wait(install)
        left, _, _, bottom = self.driver.ok("work_area")["work_area"]

        self.start_user_program("cornermaker.exe")
        self.driver.ok("wait", TOAST_CLASS, 5000)
        samples = self.driver.ok("sample_x", TOAST_CLASS, 1200, 5)["samples"]
        xs = [s["x"] for s in samples if s["x"] is not None]
        self.assertEqual(xs, sorted(xs), "it moves rightwards only")
        self.assertLess(xs[0], left)
        self.assertEqual(xs[-1], left)
        rect = self.driver.ok("find", TOAST_CLASS)["rect"]
        self.assertEqual(rect, [left, bottom - 50 - 128, left + 640, bottom - 50])
        self.driver.ok("wait_gone", TOAST_CLASS, 10000)
        self.assertEqual((install.dir / "adv_settings.txt").read_bytes(), settings)

        # File > 提示位置 > 左上 and 静音 are saved over the line, and the next toast opens there.
        for command in (IDM_TOAST_TOP_LEFT, IDM_MUTE, IDM_TEST_TOAST):
            self.driver.ok("menu", MAIN_CLASS, command)
        toast = self.driver.ok("wait", TOAST_CLASS, 5000)
        self.assertEqual(toast["rect"][1], self.driver.ok("work_area")["work_area"][1] + 50)
        self.assertEqual((install.dir / "adv_settings.txt").read_bytes(),
                         b"toast_corner=top_left\r\nmuted=true\r\n")

    def test_the_test_toast_shows_its_title_and_writes_nothing(self):
        # An achievement of the same title shows the same toast, pixel for pixel.
        install = self.install("test_toast", config_bytes(
            [achievement("twin", TEST_TOAST_TITLE, "twinmaker.exe")]), progress=b"other=done\r\n")
        self.start_and_wait(install)
        before = sorted(path.name for path in install.dir.iterdir())

        self.driver.ok("menu", MAIN_CLASS, IDM_TEST_TOAST)
        sample = self.shown_toast_picture("test_toast")
        self.driver.ok("wait_gone", TOAST_CLASS, 10000)
        time.sleep(1)  # a check pass or two
        self.assertEqual(sorted(path.name for path in install.dir.iterdir()), before)
        self.assertEqual(install.progress(), b"other=done\r\n")
        self.assertEqual(len(self.driver.ok("lists", MAIN_CLASS)["completed"]), 0)

        self.start_user_program("twinmaker.exe")
        twin = self.shown_toast_picture("twin_toast")
        self.assertEqual(crop_bytes(sample, "600x80+20+20"), crop_bytes(twin, "600x80+20+20"))
        self.assertEqual(install.progress(), b"twin=done\r\nother=done\r\n")

    def shown_toast_picture(self, name):
        """A picture of the toast once it has slid in at the top right."""
        shown, _ = poll(lambda: [t for t in self.driver.ok("windows", TOAST_CLASS)["windows"]
                                 if t["rect"][0] == SCREEN_WIDTH - 640], 10)
        self.assertTrue(shown, "no toast came to rest")
        time.sleep(0.1)
        return screenshot(self.driver, shown[0]["hwnd"], name)

    def save_desktop_picture(self):
        """The top right of the desktop with the toast over it, for the README."""
        SCREENSHOTS.mkdir(parents=True, exist_ok=True)
        picture = SCREENSHOTS / "toast_over_desktop.png"
        subprocess.run(["import", "-window", "root", "-crop", "760x240+520+0", "+repage",
                        str(picture)], check=True, timeout=30)
        shutil.copy2(picture, ROOT / "docs" / "toast.png")


if __name__ == "__main__":
    unittest.main()
