"""Unlocks in the running Laurelight.exe: a started process and a shown window title each
move their achievement to the completed list and into adv_save.txt within 1.5 s, and the
progress survives File > Exit and the close box."""

import json
import shutil
import time
import unittest

from laurelight_wine import (IDM_ABOUT, IDM_EXIT, MAIN_CLASS, ROOT, TOAST_CLASS, WineTestCase, achievement,
                             config_bytes, item_text, open_item_text, poll, screenshot)

UNLOCK_LIMIT = 1.5
NEVER = "zz no window has this title zz"


class UnlockTest(WineTestCase):
    def wait_for_unlock(self, install, expected_progress, expected_completed):
        def unlocked():
            if install.progress() != expected_progress:
                return None
            lists = self.driver.ok("lists", MAIN_CLASS)
            return lists if lists["completed"] == expected_completed else None
        return poll(unlocked, UNLOCK_LIMIT + 3)

    def test_starting_a_matching_process_unlocks_it_and_the_close_box_keeps_the_progress(self):
        # The demo folder, so the picture of the unlocked main window shows real content.
        demo = ROOT / "demo" / "bin"
        entries = json.loads((demo / "adv.json").read_text(encoding="utf-8"))["achievements"]
        runner = next(i for i, e in enumerate(entries)
                      if e["trigger_type"] == "process_name" and e["trigger_value"] == "notepad.exe")
        install = self.install("process_unlock", (demo / "adv.json").read_bytes())
        for name in ("adv_back.png", "adv_sound.wav"):
            shutil.copy2(demo / name, install.dir / "bin" / name)
        self.start_and_wait(install)
        self.assertEqual(self.driver.ok("lists", MAIN_CLASS)["completed"], [])

        self.start_user_program("NOTEPAD.EXE")  # the match ignores ASCII letter case
        expected_progress = entries[runner]["id"].encode("ascii") + b"=done\r\n"
        lists, took = self.wait_for_unlock(install, expected_progress, [item_text(entries[runner])])
        self.assertIsNotNone(lists, "no unlock after %.1f s" % took)
        self.assertLess(took, UNLOCK_LIMIT)
        # The pass refills the completed list first, so the pending one may still be filling.
        # Notepad's start also counts once toward the demo's goal of three starts of it.
        counted = lambda e: 1 if e.get("trigger_goal") == "3\u6b21" and e["trigger_value"] == "notepad.exe" else 0
        pending = [open_item_text(e, counted(e)) for i, e in enumerate(entries) if i != runner]
        filled, _ = poll(lambda: self.driver.ok("lists", MAIN_CLASS)["pending"] == pending, 2)
        self.assertTrue(filled, self.driver.ok("lists", MAIN_CLASS)["pending"])

        toast = self.driver.ok("wait", TOAST_CLASS, 3000)
        self.assertEqual(toast["text"], "Achievement")
        self.driver.ok("wait_gone", TOAST_CLASS, 10000)
        picture = screenshot(self.driver, MAIN_CLASS, "main-window-unlocked")
        shutil.copy2(picture, ROOT / "docs" / "main-window-unlocked.png")

        self.driver.ok("close", MAIN_CLASS)
        self.assertEqual(install.wait_exit(5), 0)
        self.assertEqual(install.progress(), expected_progress)

    def test_showing_a_matching_window_title_unlocks_it_and_file_exit_keeps_the_progress(self):
        entries = [
            achievement("seen", "Seen", "seen.exe"),
            achievement("upper", "Shouting", "THE \u6591\u9a6c", kind="window_title"),
            achievement("zebra", "\u6591\u9a6c", "Giraffe|\u6591\u9a6c\u7a97\u53e3|", kind="window_title",
                        description="See the zebra window."),
        ]
        install = self.install("title_unlock", config_bytes(entries), progress=b"seen=done\r\n")
        self.start_and_wait(install)

        self.start_user_program("titled.exe", title="The \u6591\u9a6c\u7a97\u53e3 test")
        lists, took = self.wait_for_unlock(install, b"seen=done\r\nzebra=done\r\n",
                                             [item_text(entries[0]), item_text(entries[2])])
        self.assertIsNotNone(lists, "no unlock after %.1f s" % took)
        self.assertLess(took, UNLOCK_LIMIT)
        self.assertEqual(lists["pending"], [item_text(entries[1])], "fragments match case-sensitively")

        self.driver.ok("menu", MAIN_CLASS, IDM_EXIT)
        self.assertEqual(install.wait_exit(5), 0)
        self.assertEqual(install.progress(), b"seen=done\r\nzebra=done\r\n")

    def test_unlock_goes_on_while_the_about_box_is_open(self):
        entries = [achievement("modal", "Modal", "llmodal.exe"), achievement("other", "Other", "other.exe")]
        install = self.install("about_unlock", config_bytes(entries))
        self.start_and_wait(install)
        self.driver.ok("menu", MAIN_CLASS, IDM_ABOUT)
        box = self.driver.ok("msgbox", 10000, MAIN_CLASS)

        self.start_user_program("llmodal.exe")
        lists, took = self.wait_for_unlock(install, b"modal=done\r\n", [item_text(entries[0])])
        self.assertIsNotNone(lists, "no unlock after %.1f s" % took)
        self.assertLess(took, UNLOCK_LIMIT)
        self.driver.ok("wait", TOAST_CLASS, 3000)  # the unlock message is served by the modal loop
        self.assertTrue(self.driver.ok("find", box["hwnd"])["found"], "the About box is still open")

        self.driver.ok("press_ok", box["hwnd"])
        self.driver.ok("wait_gone", box["hwnd"], 5000)
        self.driver.ok("menu", MAIN_CLASS, IDM_EXIT)
        self.assertEqual(install.wait_exit(5), 0)

    def test_exit_and_close_box_without_an_unlock_leave_the_progress_file_as_it_was(self):
        entries = [achievement("a", "A", NEVER, kind="window_title"), achievement("b", "B", "b.exe")]
        for way in ("menu", "close"):
            with self.subTest(way=way):
                install = self.install("exit_" + way, config_bytes(entries), progress=b"b=done\r\n")
                self.start_and_wait(install)
                time.sleep(0.6)  # a few monitor passes run first
                if way == "menu":
                    self.driver.ok("menu", MAIN_CLASS, IDM_EXIT)
                else:
                    self.driver.ok("close", MAIN_CLASS)
                self.assertEqual(install.wait_exit(5), 0)
                self.assertEqual(install.progress(), b"b=done\r\n")
                self.driver.ok("wait_gone", MAIN_CLASS, 5000)


if __name__ == "__main__":
    unittest.main()
