"""Achievements that take time, in the running Laurelight.exe: a "3 starts" achievement shows
0/3, 1/3, 2/3 in the open list, keeps 2/3 over a restart and unlocks at the third start, not
before; a hidden one shows only question marks until it unlocks, then its real text."""

import time
import unittest

from laurelight_wine import (HIDDEN_ITEM, MAIN_CLASS, WineTestCase, achievement, config_bytes,
                             item_text, open_item_text, poll)


class GoalTest(WineTestCase):
    def test_three_starts_count_in_the_list_survive_a_restart_and_unlock_at_the_third(self):
        three = dict(achievement("three", "Thrice", "llgoal.exe", description="Start it three times.",
                                 trigger_description="Run llgoal.exe"), trigger_goal="3 starts")
        secret = dict(achievement("secret", "Hidden Gem", "zz goal secret zz", kind="window_title",
                                  description="Find it.", trigger_description="A secret window"),
                      hidden="true")
        install = self.install("goal_starts", config_bytes([three, secret]))
        self.start_and_wait(install)
        self.lists_become(None, [open_item_text(three, 0), HIDDEN_ITEM])

        for count in (1, 2):
            program = self.start_user_program("llgoal.exe")
            self.lists_become(None, [open_item_text(three, count), HIDDEN_ITEM])
            program.stop()
            time.sleep(1)  # a check that finds it gone
        self.assertIsNone(install.progress())

        self.driver.ok("close", MAIN_CLASS)
        self.assertEqual(install.wait_exit(5), 0)
        self.assertEqual((install.dir / "adv_stats.txt").read_bytes(), b"starts 2 three\r\n")
        self.driver.ok("wait_gone", MAIN_CLASS, 5000)

        self.start_and_wait(install)
        self.lists_become(None, [open_item_text(three, 2), HIDDEN_ITEM])
        time.sleep(1.5)
        self.assertEqual(self.driver.ok("lists", MAIN_CLASS)["completed"], [])

        self.start_user_program("llgoal.exe")
        unlocked, _ = poll(lambda: install.progress() == b"three=done\r\n", 5)
        self.assertTrue(unlocked, install.progress())
        self.lists_become(None, [HIDDEN_ITEM])

        self.start_user_program("titled.exe", title="zz goal secret zz")
        self.lists_become(None, [])
        self.assertEqual(self.driver.ok("lists", MAIN_CLASS)["completed"],
                         [item_text(three), item_text(secret)])
        stats = (install.dir / "adv_stats.txt").read_bytes().decode("ascii").split("\r\n")
        self.assertRegex(stats[0], r"^unlocked \d{4}-\d\d-\d\dT\d\d:\d\d:\d\d secret$")
        self.assertEqual(stats[1], "starts 3 three")
        self.assertRegex(stats[2], r"^unlocked \d{4}-\d\d-\d\dT\d\d:\d\d:\d\d three$")


if __name__ == "__main__":
    unittest.main()
