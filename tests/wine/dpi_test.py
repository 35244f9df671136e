"""Laurelight at 150 % scaling (the prefix's LogPixels at 144): the main window, its lists and
their font, and the toast come out at 1.5 times their 96-DPI figures, and the toast slides in
along its scaled steps; the achievement dialog grows with its font and stays on the screen. The
prefix goes back to its own DPI afterwards, for the other modules."""

import shutil
import struct
import subprocess
import tempfile
import time
import unittest

from laurelight_wine import (MAIN_CLASS, ROOT, SCREENSHOTS, TOAST_CLASS, WINE, WineTestCase,
                             achievement, config_bytes, screenshot)

DESKTOP_KEY = r"HKCU\Control Panel\Desktop"
DPI = 144
SCREEN_WIDTH = 1280


def reg(*args):
    """`reg` in the prefix: its exit code and what it printed. The output goes through a file,
    as a Wine program may leave a helper process holding a pipe open."""
    with tempfile.TemporaryFile() as output:
        code = subprocess.run([str(WINE), "reg"] + list(args), stdout=output,
                              stderr=subprocess.DEVNULL, timeout=60).returncode
        output.seek(0)
        return code, output.read().decode("utf-8", "replace")


def log_pixels():
    """The prefix's LogPixels as `reg query` prints it (0x60), or None when it has none."""
    code, printed = reg("query", DESKTOP_KEY, "/v", "LogPixels")
    return printed.split()[-1] if code == 0 else None


def set_log_pixels(value):
    if value is None:
        reg("delete", DESKTOP_KEY, "/v", "LogPixels", "/f")
    else:
        code, printed = reg("add", DESKTOP_KEY, "/v", "LogPixels", "/t", "REG_DWORD", "/d",
                            str(value), "/f")
        assert code == 0, printed


def scaled(value):
    """What the program does with a figure written at 96 DPI (MulDiv's rounding)."""
    return (value * DPI + 48) // 96


def f32(value):
    return struct.unpack("f", struct.pack("f", value))[0]


def slide_in_offsets(distance):
    """The ease-out steps in single precision, as the toast computes them."""
    offsets = []
    for step in range(21):
        rest = f32(1.0 - f32(step / 20.0))
        eased = f32(1.0 - f32(f32(rest * rest) * rest))
        offsets.append(int(f32(eased * f32(distance))))
    return offsets


def gold_box(picture, left, top, right, bottom):
    """Bounding box [x0, y0, x1, y1] of the gold pixels in part of a PNG screenshot."""
    raw = subprocess.run(["convert", str(picture), "-crop",
                          "%dx%d+%d+%d" % (right - left, bottom - top, left, top), "+repage", "rgb:-"],
                         check=True, capture_output=True, timeout=30).stdout
    width = right - left
    xs, ys = [], []
    for i in range(0, len(raw), 3):
        r, g, b = raw[i], raw[i + 1], raw[i + 2]
        if r > 200 and g > 160 and b < 70:
            xs.append(left + (i // 3) % width)
            ys.append(top + (i // 3) // width)
    return [min(xs), min(ys), max(xs), max(ys)] if xs else None


class DpiTest(WineTestCase):
    @classmethod
    def setUpClass(cls):
        cls.original_log_pixels = log_pixels()
        set_log_pixels(DPI)  # read by each program as it starts: no server restart needed
        super().setUpClass()

    @classmethod
    def tearDownClass(cls):
        super().tearDownClass()
        set_log_pixels(cls.original_log_pixels)

    def assert_lists_fill_the_scaled_layout(self, item_height):
        client_w, client_h = self.driver.ok("info", MAIN_CLASS)["client"]
        children = {c["id"]: c["in_parent"] for c in self.driver.ok("children", MAIN_CLASS)["children"]}
        half, margin, top = client_w // 2, scaled(10), scaled(50)
        list_bottom = client_h - scaled(50)
        self.assertEqual(children[1001][:3], [margin, top, half - margin])
        self.assertEqual(children[1002][:3], [half + margin, top, client_w - margin - client_w % 2])
        # A list box trims itself to whole lines, so its bottom lies less than a line above.
        for list_id in (1001, 1002):
            self.assertTrue(list_bottom - item_height < children[list_id][3] <= list_bottom,
                            (children[list_id], client_h, item_height))
        status_top = list_bottom + scaled(10)
        self.assertEqual(children[1003], [margin, status_top, client_w - margin, status_top + scaled(20)])

    def test_window_lists_font_and_toast_are_scaled_to_150_percent(self):
        entries = [achievement("dpi_open", "\u9ad8\u5206\u8fa8\u7387", "dpitrigger.exe",
                               description="Sharp at 150 %", trigger_description="Run dpitrigger.exe"),
                   achievement("dpi_done", "Already there", "never.exe",
                               description="\u5df2\u7ecf\u5b8c\u6210", trigger_description="-")]
        install = self.install("dpi", config_bytes(entries), progress=b"dpi_done=done\r\n")
        main = self.start_and_wait(install)
        left, top, right, bottom = main["rect"]
        self.assertEqual(right - left, scaled(800))
        # The 900 asked for is held by the system to what an 800-high screen takes with a frame.
        self.assertGreater(bottom - top, 800)
        # A line of a list is as high as its font's cells: 16 at 96 DPI, 24 here.
        item_height = self.driver.ok("lists", MAIN_CLASS)["item_height"]
        self.assertGreaterEqual(item_height, scaled(16))
        self.assert_lists_fill_the_scaled_layout(item_height)

        self.start_user_program("dpitrigger.exe")
        toast = self.driver.ok("wait", TOAST_CLASS, 5000)
        x, y, x_end, y_end = toast["rect"]
        self.assertEqual((x_end - x, y, y_end - y), (960, scaled(50), 192))
        samples = self.driver.ok("sample_x", TOAST_CLASS, 1200, 5)["samples"]
        seen = [x] + [s["x"] for s in samples if s["x"] is not None]
        steps = {SCREEN_WIDTH + offset for offset in slide_in_offsets(-960)}
        self.assertTrue(set(seen) <= steps, sorted(set(seen) - steps))
        self.assertGreaterEqual(len(set(seen)), 6, "several steps of the slide seen")
        self.assertEqual(seen[-1], SCREEN_WIDTH - 960)
        self.assertEqual({s["y"] for s in samples if s["y"] is not None}, {scaled(50)})

        time.sleep(0.2)
        SCREENSHOTS.mkdir(parents=True, exist_ok=True)
        picture = SCREENSHOTS / "main_window_144dpi.png"
        subprocess.run(["import", "-window", "root", str(picture)], check=True, timeout=30)
        shutil.copy2(picture, ROOT / "docs" / "main-window-144dpi.png")
        # The header "获得成就" starts at the scaled corner of its box (30, 30) and stands
        # taller than the 28-pixel cell of its font at 96 DPI.
        toast_left, toast_top = SCREEN_WIDTH - 960, scaled(50)
        header = gold_box(picture, toast_left + 10, toast_top + 10, toast_left + 950,
                          toast_top + scaled(50))
        self.assertIsNotNone(header)
        self.assertGreaterEqual(header[0] - toast_left, scaled(20))
        self.assertGreaterEqual(header[1] - toast_top, scaled(20))
        self.assertGreater(header[3] - header[1] + 1, 28)

        self.driver.ok("wait_gone", TOAST_CLASS, 10000)
        self.assertEqual(len(self.driver.ok("lists", MAIN_CLASS)["completed"]), 2)
        # Resized as a user would; after the picture, because Wine 8 maps the size that another
        # DPI-aware program sets by 96/144 on the screen, though the layout follows the new size.
        self.driver.ok("set_rect", MAIN_CLASS, 0, 0, 1100, 780)
        self.assert_lists_fill_the_scaled_layout(item_height)

    def test_achievement_dialog_grows_with_its_font_and_fits_the_screen(self):
        install = self.install("dpi_dialog", config_bytes([achievement("a", "A", "never.exe")]))
        self.start_and_wait(install)
        self.driver.ok("menu", MAIN_CLASS, 40010)  # 成就 > 新建成就
        dialog = self.driver.ok("wait", "#32770", 10000)
        left, top, right, bottom = dialog["rect"]
        self.assertTrue(0 <= left and 0 <= top and right <= SCREEN_WIDTH and bottom <= 800, dialog["rect"])
        width, height = dialog["client"]
        # 340 x 272 dialog units of a 9-point font: at 96 DPI about 600 x 480 pixels.
        self.assertGreater(width, 1.4 * 590)
        self.assertGreater(height, 1.4 * 470)
        for control in self.driver.ok("children", dialog["hwnd"])["children"]:
            x0, y0, x1, y1 = control["in_parent"]
            self.assertTrue(0 <= x0 and x1 <= width and 0 <= y0 and y1 <= height, control)
        screenshot(self.driver, dialog["hwnd"], "achievement_dialog_144dpi")
        self.driver.ok("close", dialog["hwnd"])
        self.driver.ok("wait_gone", "#32770", 5000)


if __name__ == "__main__":
    unittest.main()
