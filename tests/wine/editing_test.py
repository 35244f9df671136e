"""Making achievements while Laurelight runs: an entry added to adv.json by hand shows in the
open list within seconds and unlocks; a file that does not load keeps the running set and says
so in the window's status line until a later version loads; F5 reloads at once."""

import time
import unittest

from laurelight_wine import MAIN_CLASS, WineTestCase, achievement, config_bytes, item_text, poll

STATUS_LINE_ID = 1003
VK_F5 = 0x74
NOT_LOADED = "adv.json \u672a\u80fd\u52a0\u8f7d"  # adv.json 未能加载


class EditingTest(WineTestCase):
    def lists_become(self, completed, pending, timeout=5):
        def shown():
            lists = self.driver.call("lists", MAIN_CLASS)
            return lists.get("ok") and lists["completed"] == completed and lists["pending"] == pending
        done, took = poll(shown, timeout)
        self.assertTrue(done, "%r after %.1f s" % (self.driver.call("lists", MAIN_CLASS), took))
        return took

    def status_line(self):
        children = self.driver.ok("children", MAIN_CLASS)["children"]
        line = next(c for c in children if c["id"] == STATUS_LINE_ID)
        return line["text"] if line["visible"] else ""

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


if __name__ == "__main__":
    unittest.main()
