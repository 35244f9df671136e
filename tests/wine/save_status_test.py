"""Progress that cannot be saved: the main window says so in one line under the lists, not in
its title, and the line goes once a save succeeds. Retries of a lagging save back off, an
unlock still saves, and the end of the Windows session gives a lagging save its last try."""

import subprocess
import time
import unittest

from laurelight_wine import MAIN_CLASS, WineTestCase, achievement, config_bytes, poll, screenshot

STATUS_LINE_ID = 1003
COMPLETED_LIST_ID = 1001
CANNOT_SAVE = "\u8fdb\u5ea6\u65e0\u6cd5\u4fdd\u5b58"  # 进度无法保存
RETRY = "\u91cd\u8bd5"  # 重试
FOLDER_OF_THAT_NAME = "\u5b58\u5728\u540c\u540d\u6587\u4ef6\u5939"  # 存在同名文件夹
ACCESS_DENIED = "\u62d2\u7edd\u8bbf\u95ee"  # 拒绝访问
# More than the retries at every pass: the first failure and three retries, 0.5 s apart.
PAST_THE_QUICK_RETRIES = 4


class SaveStatusTest(WineTestCase):
    def child(self, control_id):
        children = self.driver.ok("children", MAIN_CLASS)["children"]
        return next(c for c in children if c["id"] == control_id)

    def wait_for_line(self, visible):
        line, took = poll(lambda: (lambda c: c if c["visible"] == visible else None)(
            self.child(STATUS_LINE_ID)), 6, interval=0.1)
        self.assertIsNotNone(line, "status line still %s after %.1f s" % (not visible, took))
        return line

    def test_a_folder_named_like_the_file_shows_the_line_until_an_unlock_saves(self):
        entries = [achievement("a", "A", "llsavea.exe"), achievement("b", "B", "llsaveb.exe")]
        install = self.install("save_blocked", config_bytes(entries))
        install.save_path.mkdir()
        self.start_and_wait(install)
        self.assertFalse(self.child(STATUS_LINE_ID)["visible"])

        self.start_user_program("llsavea.exe")
        line = self.wait_for_line(True)
        for part in (CANNOT_SAVE, FOLDER_OF_THAT_NAME, "adv_save.txt", RETRY):
            self.assertIn(part, line["text"])
        self.assertEqual(self.driver.ok("info", MAIN_CLASS)["text"], "Laurelight")
        # In the bottom margin: below the lists and inside the client area.
        lists = self.child(COMPLETED_LIST_ID)["in_parent"]
        _, top, _, bottom = line["in_parent"]
        self.assertGreaterEqual(top, lists[3])
        self.assertLessEqual(bottom, self.driver.ok("info", MAIN_CLASS)["client"][1])
        screenshot(self.driver, MAIN_CLASS, "main-window-progress-not-saved")

        time.sleep(PAST_THE_QUICK_RETRIES)
        install.save_path.rmdir()
        time.sleep(2)
        self.assertIsNone(install.progress(), "retries back off after the first few")
        self.assertTrue(self.child(STATUS_LINE_ID)["visible"])

        self.start_user_program("llsaveb.exe")  # an unlock saves at once
        line = self.wait_for_line(False)
        self.assertEqual(line["text"], "")
        self.assertEqual(install.progress(), b"a=done\r\nb=done\r\n")
        self.driver.ok("close", MAIN_CLASS)
        self.assertEqual(install.wait_exit(5), 0)

    def test_an_unwritable_folder_shows_the_line_and_the_end_of_the_session_saves(self):
        entries = [achievement("a", "A", "llsavec.exe")]
        install = self.install("save_immutable", config_bytes(entries))
        # As root Wine ignores mode bits; the immutable flag stops even root.
        subprocess.run(["chattr", "+i", str(install.dir)], check=True)
        self.addCleanup(subprocess.run, ["chattr", "-i", str(install.dir)], check=False)
        try:
            self.start_and_wait(install)
            self.start_user_program("llsavec.exe")
            line = self.wait_for_line(True)
            self.assertIn(ACCESS_DENIED, line["text"])
            self.assertIn(CANNOT_SAVE, line["text"])
            time.sleep(PAST_THE_QUICK_RETRIES)
        finally:
            subprocess.run(["chattr", "-i", str(install.dir)], check=True)
        time.sleep(1)
        self.assertIsNone(install.progress(), "retries back off after the first few")

        answer = self.driver.ok("end_session", MAIN_CLASS)
        self.assertTrue(answer["agreed"])
        self.assertEqual(install.progress(), b"a=done\r\n")
        self.assertFalse(self.child(STATUS_LINE_ID)["visible"])
        self.driver.ok("close", MAIN_CLASS)
        self.assertEqual(install.wait_exit(5), 0)


if __name__ == "__main__":
    unittest.main()
