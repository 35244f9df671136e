"""Making achievements while Laurelight runs: an entry added to adv.json by hand shows in the
open list within seconds and unlocks; a file that does not load keeps the running set and says
so in the window's status line until a later version loads; F5 reloads at once. The dialog,
opened from the menu and filled through its controls, adds an achievement that then unlocks."""

import shutil
import time
import unittest

from laurelight_wine import (MAIN_CLASS, ROOT, WineTestCase, achievement, config_bytes, item_text,
                             poll, screenshot)

STATUS_LINE_ID = 1003
VK_F5 = 0x74
NOT_LOADED = "adv.json \u672a\u80fd\u52a0\u8f7d"  # adv.json 未能加载
DIALOG_CLASS = "#32770"
IDM_NEW_ACHIEVEMENT, IDM_EDIT_ACHIEVEMENT, IDM_DELETE_ACHIEVEMENT = 40010, 40011, 40012
COMPLETED_LIST_ID = 1001
IDOK = 1
WS_DISABLED = 0x08000000
# The dialog's controls.
TITLE, DESCRIPTION, TRIGGER_DESCRIPTION, TRIGGER_TYPE, TRIGGER_VALUE = 1100, 1101, 1102, 1103, 1104
MET_NOW, FILTER, RUNNING, PROBLEM, ID = 1106, 1107, 1108, 1112, 1115


class EditingTest(WineTestCase):
    def status_line(self):
        children = self.driver.ok("children", MAIN_CLASS)["children"]
        line = next(c for c in children if c["id"] == STATUS_LINE_ID)
        return line["text"] if line["visible"] else ""

    def controls(self, window):
        return {c["id"]: c for c in self.driver.ok("children", window)["children"]}

    def test_a_hand_made_entry_shows_and_unlocks_and_a_broken_file_keeps_the_running_set(self):
        first = achievement("first", "First", "llfirst.exe", description="One.", trigger_description="Run it")
        added = achievement("added", "Added", "lladded.exe", description="Two.", trigger_description="Run it")
        install = self.install("editing_reload", config_bytes([first]))
        self.start_and_wait(install)
        install.config_path.write_bytes(config_bytes([first, added]))
        took = self.lists_become([], [item_text(first), item_text(added)])
        self.assertGreaterEqual(took, 0.9, "read before the file settled")
        self.start_user_program("lladded.exe")
        self.lists_become([item_text(added)], [item_text(first)])
        self.assertEqual(install.progress(), b"added=done\r\n")

        install.config_path.write_bytes(b"{\n}\n")
        line, _ = poll(self.status_line, 5)
        self.assertTrue(line.startswith(NOT_LOADED), line)
        self.assertEqual(self.driver.ok("info", MAIN_CLASS)["text"], "Laurelight")
        self.start_user_program("llfirst.exe")  # the running set is still checked
        self.lists_become([item_text(first), item_text(added)], [])
        self.assertEqual(install.progress(), b"first=done\r\nadded=done\r\n")

        # F5 reads at once, where the watcher would wait for the file to settle.
        renamed = dict(first, title="First again")
        install.config_path.write_bytes(config_bytes([renamed]))
        self.driver.ok("key", MAIN_CLASS, VK_F5)
        self.assertLess(self.lists_become([item_text(renamed)], [], timeout=0.9), 0.9)
        self.assertEqual(self.status_line(), "")
        time.sleep(2)  # the watcher finds nothing new to apply, and nothing is saved for it
        self.assertEqual(install.progress(), b"first=done\r\nadded=done\r\n")
        self.driver.ok("close", MAIN_CLASS)
        self.assertEqual(install.wait_exit(5), 0)
        self.assertEqual(install.progress(), b"first=done\r\nadded=done\r\n")

    def test_the_dialog_from_the_menu_adds_an_achievement_picked_from_what_runs(self):
        first = achievement("first", "First", "llfirst.exe", description="One.", trigger_description="Run it")
        install = self.install("editing_dialog", config_bytes([first]))
        self.start_and_wait(install)
        self.start_user_program("llpicked.exe", title="Picked window")
        self.driver.ok("menu", MAIN_CLASS, IDM_NEW_ACHIEVEMENT)
        dialog = self.driver.ok("wait", DIALOG_CLASS, 10000)["hwnd"]
        self.assertEqual(self.driver.ok("info", dialog)["text"], "\u65b0\u5efa\u6210\u5c31")  # 新建成就
        blank = self.controls(dialog)
        self.assertEqual(blank[PROBLEM]["text"], "")
        self.assertTrue(blank[IDOK]["style"] & WS_DISABLED)

        rows = self.driver.ok("rows", dialog, RUNNING)["rows"]
        self.assertIn(["llpicked.exe", "\u7a0b\u5e8f", "Picked window"], rows)  # 程序
        self.assertIn(["Picked window", "\u7a97\u53e3", "llpicked.exe"], rows)  # 窗口
        self.driver.ok("set_text", dialog, FILTER, "LLPICKED")
        filtered = self.driver.ok("rows", dialog, RUNNING)["rows"]
        self.assertEqual(len(filtered), 2, filtered)
        self.driver.ok("set_text", dialog, FILTER, "")
        rows = self.driver.ok("rows", dialog, RUNNING)["rows"]
        self.driver.ok("choose", dialog, RUNNING, rows.index(["llpicked.exe", "\u7a0b\u5e8f", "Picked window"]))
        self.driver.ok("set_text", dialog, TITLE, "Picked ]")
        controls = self.controls(dialog)
        self.assertEqual(controls[TRIGGER_VALUE]["text"], "llpicked.exe")
        self.assertEqual(controls[TRIGGER_DESCRIPTION]["text"], "\u8fd0\u884c llpicked.exe")  # 运行
        self.assertEqual(controls[ID]["text"], "llpicked")
        self.assertEqual(controls[MET_NOW]["text"], "\u73b0\u5728\u6ee1\u8db3\uff1allpicked.exe \u6b63\u5728\u8fd0\u884c")
        self.assertIn("\u4e0d\u80fd\u5305\u542b ]", controls[PROBLEM]["text"])  # 不能包含 ]
        self.assertTrue(controls[IDOK]["style"] & WS_DISABLED)

        self.driver.ok("set_text", dialog, TITLE, "Picked")
        self.driver.ok("set_text", dialog, DESCRIPTION, "Chosen from what runs.")
        controls = self.controls(dialog)
        self.assertEqual(controls[PROBLEM]["text"], "")
        self.assertFalse(controls[IDOK]["style"] & WS_DISABLED)
        picture = screenshot(self.driver, dialog, "achievement-dialog")
        shutil.copy2(picture, ROOT / "docs" / "achievement-dialog.png")

        self.driver.ok("press_ok", dialog)
        self.driver.ok("wait_gone", DIALOG_CLASS, 5000)
        picked = achievement("llpicked", "Picked", "llpicked.exe", description="Chosen from what runs.",
                             trigger_description="\u8fd0\u884c llpicked.exe")
        self.lists_become([item_text(picked)], [item_text(first)])
        self.assertEqual(install.progress(), b"llpicked=done\r\n")
        written = install.config_path.read_bytes()
        self.assertTrue(written.startswith(config_bytes([first])[:-len(b"\n    ]\n}")]), written)
        self.assertEqual((install.dir / "bin" / "adv.json.bak").read_bytes(), config_bytes([first]))

        # Edited from the completed list: filled in, its id fixed; then deleted, after asking.
        self.driver.ok("choose", MAIN_CLASS, COMPLETED_LIST_ID, 0)
        self.driver.ok("menu", MAIN_CLASS, IDM_EDIT_ACHIEVEMENT)
        dialog = self.driver.ok("wait", DIALOG_CLASS, 10000)["hwnd"]
        self.assertEqual(self.controls(dialog)[TITLE]["text"], "Picked")
        self.driver.ok("set_text", dialog, ID, "other")
        self.assertTrue(self.controls(dialog)[IDOK]["style"] & WS_DISABLED)
        self.driver.ok("set_text", dialog, ID, "llpicked")
        self.driver.ok("set_text", dialog, TITLE, "Picked again")
        self.driver.ok("press_ok", dialog)
        self.driver.ok("wait_gone", DIALOG_CLASS, 5000)
        self.lists_become([item_text(dict(picked, title="Picked again"))], [item_text(first)])

        self.driver.ok("choose", MAIN_CLASS, COMPLETED_LIST_ID, 0)
        self.driver.ok("menu", MAIN_CLASS, IDM_DELETE_ACHIEVEMENT)
        question = self.driver.ok("msgbox", 10000, MAIN_CLASS)
        self.assertIn("llpicked", question["text"])
        self.driver.ok("press_ok", question["hwnd"])
        self.lists_become([], [item_text(first)])
        self.assertEqual(install.config_path.read_bytes(), config_bytes([first]))
        self.assertEqual(install.progress(), b"llpicked=done\r\n")


if __name__ == "__main__":
    unittest.main()
