"""Progress that another program writes into adv_save.txt while Laurelight runs (a sync
service, laurelight-check, an editor): its completions join the completed list within one
timer pass and without a toast, and the next save keeps them, with the line of an id that this
configuration does not have."""

import time
import unittest

from laurelight_wine import (MAIN_CLASS, TOAST_CLASS, WineTestCase, achievement, config_bytes,
                             item_text, poll)

# One 2000 ms timer pass, with room for a slow machine.
PICK_UP_LIMIT = 5


class SaveElsewhereTest(WineTestCase):
    def test_a_completion_written_by_another_program_shows_without_a_toast_and_is_kept(self):
        entries = [achievement("here", "Here", "llhere.exe"),
                   achievement("synced", "Synced", "llsynced.exe"),
                   achievement("later", "Later", "lllater.exe")]
        install = self.install("save_elsewhere", config_bytes(entries), progress=b"here=done\r\n")
        self.start_and_wait(install)
        self.assertEqual(self.driver.ok("lists", MAIN_CLASS)["completed"], [item_text(entries[0])])

        install.save_path.write_bytes(b"here=done\r\nsynced=done\r\nother_machine=done\r\n")
        expected = {"completed": [item_text(entries[0]), item_text(entries[1])],
                    "pending": [item_text(entries[2])]}

        def picked_up():
            lists = self.driver.ok("lists", MAIN_CLASS)
            return all(lists[name] == items for name, items in expected.items())
        shown, took = poll(picked_up, PICK_UP_LIMIT, interval=0.1)
        self.assertTrue(shown, "not in the completed list after %.1f s" % took)
        self.assertFalse(self.driver.call("wait", TOAST_CLASS, 1500)["ok"],
                         "a toast for an unlock made elsewhere")

        self.start_user_program("lllater.exe")
        everything = b"here=done\r\nsynced=done\r\nlater=done\r\nother_machine=done\r\n"
        saved, _ = poll(lambda: install.progress() == everything, 5, interval=0.1)
        self.assertTrue(saved, install.progress())
        self.driver.ok("close", MAIN_CLASS)
        self.assertEqual(install.wait_exit(5), 0)

    def test_with_300_open_achievements_a_completion_written_elsewhere_shows_within_3_s(self):
        entries = [achievement("open_%03d" % i, "Open %d" % i, "llopen%03d.exe" % i)
                   for i in range(300)]
        install = self.install("save_elsewhere_many", config_bytes(entries))
        self.start_and_wait(install)
        time.sleep(2)  # the passes over 300 records are under way
        install.save_path.write_bytes(b"open_150=done\r\n")
        # The lists may be refilling while they are read; such a reading is not an answer.
        completed = lambda answer: answer.get("ok") and answer["completed"]
        shown, took = poll(lambda: completed(self.driver.call("lists", MAIN_CLASS)) ==
                           [item_text(entries[150])], 10, interval=0.1)
        self.assertTrue(shown, "not in the completed list after %.1f s" % took)
        self.assertLess(took, 3)
        self.driver.ok("close", MAIN_CLASS)
        self.assertEqual(install.wait_exit(10), 0)


if __name__ == "__main__":
    unittest.main()
