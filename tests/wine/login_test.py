"""File > "开机时自动启动": the menu around it, the start-up value it writes to and removes from
HKCU\\...\\Run (read back with `reg`), its check mark (read off the opened pop-up's pixels,
since Wine keeps a program's menus out of other processes' reach), the repair of a value
that names another path, and the minimized start that the value asks for."""

import re
import subprocess
import unittest
from collections import Counter

from laurelight_wine import (IDM_ABOUT, IDM_EXIT, MAIN_CLASS, MENU_CLASS, WINE, WineTestCase,
                             achievement, config_bytes, poll, windows_path)

RUN_KEY = r"HKCU\Software\Microsoft\Windows\CurrentVersion\Run"
START_AT_LOGIN = "\u5f00\u673a\u65f6\u81ea\u52a8\u542f\u52a8"  # "开机时自动启动"
IDM_START_AT_LOGIN = 40003
VK_RETURN, VK_ESCAPE, VK_UP = 0x0D, 0x1B, 0x26
WS_MINIMIZE = 0x20000000
ENTRY_NAME = re.compile(r"^Laurelight [0-9A-F]{8}$")

ENTRIES = [achievement("login_note", "Login", "login_unlock.exe")]


def run_entries():
    """The REG_SZ values of the Run key, by name."""
    out = subprocess.run([str(WINE), "reg", "query", RUN_KEY], capture_output=True, timeout=60)
    values = {}
    for line in out.stdout.decode("utf-8", "replace").splitlines():
        match = re.match(r"^    (.+?)    REG_SZ    (.*)$", line)
        if match:
            values[match.group(1)] = match.group(2)
    return values


def reg(*args):
    subprocess.run([str(WINE), "reg", *args, "/f"], capture_output=True, timeout=60, check=True)


def laurelight_entries():
    return {name: data for name, data in run_entries().items() if name.startswith("Laurelight")}


def command_for(install):
    return '"%s" --minimized' % windows_path(install.dir / "Laurelight.exe")


class LoginTest(WineTestCase):
    def tearDown(self):
        super().tearDown()
        # A value left behind would start a copy at the prefix's next boot.
        for name in laurelight_entries():
            reg("delete", RUN_KEY, "/v", name)

    def open_file_menu(self):
        """Opens File as Alt+F does (the program reads the mark as the pop-up opens) and
        tells whether its first item carries a check mark: pixels in the mark's square that
        differ from the item's own background."""
        self.driver.ok("open_menu", MAIN_CLASS, "f")
        popup = self.driver.ok("wait", MENU_CLASS, 5000)
        self.driver.ok("sleep", 300)  # drawn after it is shown
        left, top, right, _ = popup["rect"]
        width, height = 15, 14  # the mark's square inside the first item, at (3, 4)
        raw = subprocess.run(["import", "-window", "root", "-crop",
                              "%dx%d+%d+%d" % (width, height, left + 3, top + 4), "-depth", "8",
                              "rgb:-"], capture_output=True, check=True, timeout=30).stdout
        self.assertEqual(len(raw), width * height * 3)
        self.assertGreater(right - left, 60, "the pop-up holds the items' texts")
        pixels = Counter(raw[i:i + 3] for i in range(0, len(raw), 3))
        background = pixels.most_common(1)[0][0]
        return sum(count for colour, count in pixels.items() if colour != background) > 5

    def choose_item(self):
        self.driver.ok("key", MAIN_CLASS, VK_RETURN)
        self.driver.ok("wait_gone", MENU_CLASS, 5000)

    def close_menu(self):
        self.driver.ok("key", MAIN_CLASS, VK_ESCAPE)
        self.driver.ok("key", MAIN_CLASS, VK_ESCAPE)
        self.driver.ok("wait_gone", MENU_CLASS, 5000)

    def toggle(self):
        """Opens File, notes the mark, chooses the start-up item; the mark it had."""
        marked = self.open_file_menu()
        self.choose_item()
        return marked

    def wait_entries(self, count):
        """The program's values once there are `count` of them; `reg` is slow under load."""
        entries, _ = poll(lambda: (lambda now: len(now) == count and now)(laurelight_entries()), 10)
        self.assertTrue(entries, "expected %d start-up values, found %r" % (count, laurelight_entries()))
        return entries

    def test_menu_keeps_exit_and_about_with_their_texts_and_ids(self):
        install = self.install("login_menu", config_bytes(ENTRIES))
        main = self.start_and_wait(install)
        self.assertEqual(main["style"] & WS_MINIMIZE, 0, "without the argument, as before")
        menu = self.driver.ok("menu_resource", windows_path(install.dir / "Laurelight.exe"), 103)
        self.assertEqual([menu["items"][0], menu["items"][-1]], [
            {"text": "\u6587\u4ef6(&F)", "id": -1, "checked": False, "items": [
                {"text": START_AT_LOGIN, "id": IDM_START_AT_LOGIN, "checked": False},
                {"text": "", "id": 0, "checked": False},
                {"text": "\u6682\u505c\u68c0\u6d4b", "id": 40030, "checked": False},
                {"text": "\u663e\u793a\u901a\u77e5\u533a\u57df\u56fe\u6807", "id": 40031,
                 "checked": False},
                {"text": "\u6700\u5c0f\u5316\u5230\u901a\u77e5\u533a\u57df", "id": 40032,
                 "checked": False},
                {"text": "", "id": 0, "checked": False},
                {"text": "\u63d0\u793a\u4f4d\u7f6e", "id": -1, "checked": False, "items": [
                    {"text": text, "id": 40040 + index, "checked": False}
                    for index, text in enumerate(["\u53f3\u4e0a", "\u53f3\u4e0b", "\u5de6\u4e0a",
                                                  "\u5de6\u4e0b"])]},
                {"text": "\u63d0\u793a\u663e\u793a\u5728", "id": -1, "checked": False, "items": [
                    {"text": "\u4e3b\u5c4f\u5e55", "id": 40044, "checked": False},
                    {"text": "\u6d3b\u52a8\u7a97\u53e3\u6240\u5728\u7684\u5c4f\u5e55", "id": 40045,
                     "checked": False}]},
                {"text": "\u9759\u97f3", "id": 40046, "checked": False},
                {"text": "\u6d4b\u8bd5\u63d0\u793a", "id": 40047, "checked": False},
                {"text": "", "id": 0, "checked": False},
                {"text": "\u9000\u51fa(&X)", "id": IDM_EXIT, "checked": False}]},
            {"text": "\u5e2e\u52a9(&H)", "id": -1, "checked": False, "items": [
                {"text": "\u5173\u4e8e(&A)...", "id": IDM_ABOUT, "checked": False}]}])
        # In the running menu: unmarked with no value, and the last item still ends the program.
        self.assertFalse(self.open_file_menu())
        self.driver.ok("key", MAIN_CLASS, VK_UP)
        self.choose_item()
        self.assertEqual(install.wait_exit(10), 0)
        self.assertEqual(laurelight_entries(), {})

    def test_checking_writes_this_copys_value_and_unchecking_removes_it(self):
        first = self.install("login_first", config_bytes(ENTRIES))
        self.start_and_wait(first)
        self.assertFalse(self.toggle())
        (first_name, data), = self.wait_entries(1).items()
        self.assertRegex(first_name, ENTRY_NAME)
        self.assertEqual(data, command_for(first))
        self.assertTrue(self.open_file_menu())
        self.close_menu()
        self.driver.ok("menu", MAIN_CLASS, IDM_EXIT)
        self.assertEqual(first.wait_exit(10), 0)

        # A copy in another folder: the first copy's value does not start it, and checking
        # adds a value of its own beside the first one.
        second = self.install("login_second", config_bytes(ENTRIES))
        self.start_and_wait(second)
        self.assertFalse(self.toggle())
        entries = self.wait_entries(2)
        self.assertEqual(entries[first_name], command_for(first))
        (second_name,) = set(entries) - {first_name}
        self.assertRegex(second_name, ENTRY_NAME)
        self.assertEqual(entries[second_name], command_for(second))

        # Unchecking removes this copy's value only.
        self.assertTrue(self.toggle())
        self.assertEqual(self.wait_entries(1), {first_name: command_for(first)})
        self.assertFalse(self.open_file_menu())
        self.close_menu()

    def test_value_naming_another_path_shows_unchecked_and_checking_repairs_it(self):
        install = self.install("login_moved", config_bytes(ENTRIES))
        self.start_and_wait(install)
        self.toggle()
        (name,) = self.wait_entries(1)
        # As left behind by the folder's earlier place, or edited by another program.
        moved = '"Z:\\old place\\Laurelight\\Laurelight.exe" --minimized'
        reg("add", RUN_KEY, "/v", name, "/t", "REG_SZ", "/d", moved)
        self.assertEqual(laurelight_entries(), {name: moved})
        self.assertFalse(self.toggle())
        poll(lambda: laurelight_entries() == {name: command_for(install)}, 10)
        self.assertEqual(laurelight_entries(), {name: command_for(install)})
        self.assertTrue(self.open_file_menu())
        self.close_menu()

    def test_minimized_argument_starts_minimized_and_everything_else_runs(self):
        install = self.install("login_minimized", config_bytes(ENTRIES))
        install.start(args=["--minimized"])
        main = self.driver.ok("wait", MAIN_CLASS, 15000, timeout=25)
        self.assertEqual(main["style"] & WS_MINIMIZE, WS_MINIMIZE)
        foreground = self.driver.ok("foreground")
        self.assertFalse(foreground["found"] and foreground["hwnd"] == main["hwnd"],
                         "a start at sign-in takes no focus")
        self.assertEqual(len(self.driver.ok("lists", MAIN_CLASS)["pending"]), 1)

        # The monitor runs while minimized: an unlock is saved as ever.
        self.start_user_program("login_unlock.exe")
        saved, _ = poll(lambda: install.progress() == b"login_note=done\r\n", 10)
        self.assertTrue(saved, install.progress())

        # Restored, the window has its usual size and list layout.
        self.driver.ok("restore", MAIN_CLASS)
        restored, _ = poll(lambda: not self.driver.ok("info", MAIN_CLASS)["style"] & WS_MINIMIZE, 5)
        self.assertTrue(restored)
        info = self.driver.ok("info", MAIN_CLASS)
        self.assertEqual((info["rect"][2] - info["rect"][0], info["rect"][3] - info["rect"][1]),
                         (800, 600))
        half = info["client"][0] // 2
        children = {c["id"]: c["in_parent"] for c in self.driver.ok("children", MAIN_CLASS)["children"]}
        self.assertEqual(children[1001][:3], [10, 50, half - 10])
        self.assertEqual(children[1002][:3], [half + 10, 50, 2 * half - 10])
        self.assertEqual(self.driver.ok("lists", MAIN_CLASS)["completed"][0][:5], "Login")


if __name__ == "__main__":
    unittest.main()
