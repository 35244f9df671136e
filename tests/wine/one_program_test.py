"""One program per folder under Wine: laurelight-check --unlock hands its unlock to the running
Laurelight.exe instead of writing the file behind its back, a second start of the same folder
only brings the first window forward, and a copy in another folder runs beside the first."""

import json
import os
import signal
import subprocess
import time
import unittest

from laurelight_wine import (BUILD, MAIN_CLASS, TOAST_CLASS, WineTestCase, achievement,
                             config_bytes, item_text, poll, wine, windows_path)
from reliability_test import host_pid

CHECK_EXE = BUILD / "check" / "laurelight-check.exe"
BY_HAND = achievement("by_hand", "By Hand", "", kind="none")
BY_RUN = achievement("by_run", "By Run", "llbyrun.exe")
NOT_SAVED = 7
NO_ANSWER = 8
COUNT = 40


def run_check(folder, *args):
    run = wine([CHECK_EXE, windows_path(folder)] + list(args), stdout=subprocess.PIPE,
               stderr=subprocess.PIPE)
    out, err = run.communicate(timeout=60)
    return run.returncode, out.decode("utf-8"), err.decode("utf-8")


class OneProgramTest(WineTestCase):
    def second_start_ends_quietly(self, exe, cwd):
        second = wine([exe], cwd=cwd, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        try:
            self.assertEqual(second.wait(timeout=20), 0)
        finally:
            if second.poll() is None:
                second.kill()
                second.wait()

    def main_windows(self):
        return self.driver.ok("windows", MAIN_CLASS)["windows"]

    def test_unlock_by_the_tool_goes_through_the_program_and_a_later_trigger_keeps_it(self):
        install = self.install("handoff", config_bytes([BY_HAND, BY_RUN]))
        self.start_and_wait(install)

        code, out, err = run_check(install.dir, "--unlock", "no_such_id")
        self.assertEqual(code, 2, err)
        self.assertIn("no_such_id", err)
        self.assertIsNone(install.progress(), "a refused hand-off writes nothing")
        self.assertEqual(self.driver.ok("lists", MAIN_CLASS)["completed"], [])

        # A program that does not answer (stopped here) is left alone, also once it goes on.
        pid = host_pid(install.dir / "Laurelight.exe")
        os.kill(pid, signal.SIGSTOP)
        try:
            code, out, err = run_check(install.dir, "--unlock", "by_hand")
        finally:
            os.kill(pid, signal.SIGCONT)
        self.assertEqual((code, out), (NO_ANSWER, ""), err)
        self.assertEqual(len(err.strip().splitlines()), 1, err)
        time.sleep(1.5)
        self.assertIsNone(install.progress())
        self.assertEqual(self.driver.ok("lists", MAIN_CLASS)["completed"], [])

        code, out, err = run_check(install.dir, "--unlock", "by_hand")
        self.assertEqual(code, 0, err)
        document = json.loads(out)
        self.assertEqual([a["completed"] for a in document["achievements"]], [True, False])
        self.assertEqual(install.progress(), b"by_hand=done\r\n")
        # The program did the unlock: its list shows it at once, and it shows the toast.
        self.assertEqual(self.driver.ok("lists", MAIN_CLASS)["completed"], [item_text(BY_HAND)])
        self.assertEqual(self.driver.ok("wait", TOAST_CLASS, 3000)["text"], "Achievement")

        self.start_user_program("llbyrun.exe")
        both = b"by_hand=done\r\nby_run=done\r\n"
        saved, took = poll(lambda: install.progress() == both, 5)
        self.assertTrue(saved, "after %.1f s: %r" % (took, install.progress()))
        self.assertEqual(len(self.main_windows()), 1)
        self.driver.ok("close", MAIN_CLASS)
        self.assertEqual(install.wait_exit(5), 0)
        self.assertEqual(install.progress(), both)

    def test_unlock_handed_over_while_the_file_cannot_be_read_exits_with_seven_and_why(self):
        install = self.install("handoff_unreadable", config_bytes([BY_HAND, BY_RUN]), progress=b"")
        # Another program holds the file without sharing from before the start on.
        self.driver.ok("hold_file", windows_path(install.save_path))
        try:
            self.start_and_wait(install)
            code, out, err = run_check(install.dir, "--unlock", "by_hand")
        finally:
            self.driver.ok("hold_file", "")
        self.assertEqual(code, NOT_SAVED, err)
        self.assertIn("(the file cannot be read)", err)
        self.assertNotIn("nothing was changed", err)
        self.assertEqual(json.loads(out)["achievements"][0]["completed"], True)
        self.assertEqual(self.driver.ok("lists", MAIN_CLASS)["completed"], [item_text(BY_HAND)])
        saved, took = poll(lambda: install.progress() == b"by_hand=done\r\n", 5)
        self.assertTrue(saved, "not saved %.1f s after the file was let go" % took)

    def test_unlock_handed_over_while_another_writer_holds_the_state_lock_answers_in_time(self):
        counted = dict(achievement("counted", "Counted", "llcount.exe"), trigger_goal="10 starts")
        install = self.install("handoff_locked", config_bytes([BY_HAND, counted]))
        self.start_and_wait(install)
        # With the lock held from before the count, every pass waits for it to write the count.
        self.driver.ok("hold_state_lock", windows_path(install.dir))
        try:
            self.start_user_program("llcount.exe")
            time.sleep(1.5)
            started = time.monotonic()
            code, out, err = run_check(install.dir, "--unlock", "by_hand")
            took = time.monotonic() - started
            completed = self.driver.ok("lists", MAIN_CLASS)["completed"]
            self.assertIsNone(install.progress())
        finally:
            self.driver.ok("hold_state_lock", "")
        # The answer came in time and says what happened: completed, not saved yet.
        self.assertEqual(code, NOT_SAVED, "%s after %.1f s" % (err, took))
        self.assertNotIn("nothing was changed", err)
        self.assertEqual(json.loads(out)["achievements"][0]["completed"], True)
        self.assertEqual(completed, [item_text(BY_HAND)])
        stats_path = install.dir / "adv_stats.txt"
        stats = lambda: stats_path.read_bytes() if stats_path.exists() else b""
        saved = lambda: (install.progress() == b"by_hand=done\r\n" and
                         b" by_hand\r\n" in stats() and b"starts 1 counted" in stats())
        self.assertTrue(poll(saved, 10)[0], (install.progress(), stats()))

    def test_a_start_or_unlock_through_a_linked_path_finds_the_program_of_the_folder(self):
        install = self.install("linked_target", config_bytes([BY_HAND]))
        link = install.dir.parent / "linked_path"
        if link.is_symlink() or link.exists():
            link.unlink()
        link.symlink_to(install.dir, target_is_directory=True)
        try:
            first = self.start_and_wait(install)
            self.second_start_ends_quietly(windows_path(link / "Laurelight.exe"), link)
            self.assertEqual([w["hwnd"] for w in self.main_windows()], [first["hwnd"]])
            code, _, err = run_check(link, "--unlock", "by_hand")
            self.assertEqual(code, 0, err)
            self.assertEqual(self.driver.ok("lists", MAIN_CLASS)["completed"], [item_text(BY_HAND)])
        finally:
            link.unlink()

    def test_second_start_of_the_folder_brings_the_minimized_first_window_forward(self):
        install = self.install("second_start", config_bytes([BY_HAND, BY_RUN]))
        first = self.start_and_wait(install)
        self.driver.ok("minimize", MAIN_CLASS)
        self.assertTrue(poll(lambda: self.driver.ok("info", MAIN_CLASS)["iconic"], 5)[0])

        # The same folder named in other letter case, as Windows compares paths.
        self.second_start_ends_quietly(windows_path(install.dir / "Laurelight.exe").upper(),
                                       install.dir)
        windows = self.main_windows()
        self.assertEqual([w["hwnd"] for w in windows], [first["hwnd"]])
        forward = lambda: (not self.driver.ok("info", first["hwnd"])["iconic"] and
                           self.driver.ok("foreground")["hwnd"] == first["hwnd"])
        self.assertTrue(poll(forward, 5)[0], self.driver.ok("info", first["hwnd"]))

        # A program that ended without giving the folder up (killed) blocks no later start.
        install.stop()
        self.driver.ok("wait_gone", MAIN_CLASS, 5000)
        self.start_and_wait(install)

    def test_a_start_while_the_program_still_ends_its_last_long_pass_is_not_turned_away(self):
        entries = [achievement("many_%03d" % i, "Many %d" % i, "llmany.exe") for i in range(COUNT)]
        install = self.install("closing", config_bytes(entries))
        self.start_user_program("llmany.exe")
        first = self.start_and_wait(install)["hwnd"]
        self.driver.ok("close", first)
        closing = install.process
        # The window hides at once and stays until its destruction has stopped the monitor,
        # whose last pass goes on saving unlock after unlock meanwhile.
        hidden = lambda: not self.driver.call("info", first).get("visible", False)
        self.assertTrue(poll(hidden, 5)[0])
        try:
            install.start()
            shown = lambda: [w for w in self.main_windows() if w["visible"] and w["hwnd"] != first]
            second, took = poll(shown, 15)
            self.assertTrue(second, "no window after %.1f s" % took)
            self.assertLess(took, 5)
            self.assertIsNone(closing.poll(), "the first program ended before the test was made")
            self.assertEqual(closing.wait(timeout=120), 0)
        finally:
            if closing.poll() is None:
                closing.kill()
                closing.wait()
        everything = b"".join(e["id"].encode() + b"=done\r\n" for e in entries)
        self.assertTrue(poll(lambda: install.progress() == everything, 10)[0])

    def test_a_copy_in_another_folder_runs_beside_the_first_and_takes_its_own_unlocks(self):
        first = self.install("beside_first", config_bytes([BY_HAND]))
        other = self.install("beside_other", config_bytes([BY_HAND]))
        self.start_and_wait(first)
        other.start()
        two, _ = poll(lambda: len(self.main_windows()) == 2, 15)
        self.assertTrue(two, self.main_windows())
        self.assertIsNone(first.wait_exit(0.1))

        code, _, err = run_check(other.dir, "--unlock", "by_hand")
        self.assertEqual(code, 0, err)
        self.assertEqual(other.progress(), b"by_hand=done\r\n")
        self.assertIsNone(first.progress())
        completed = sorted(len(self.driver.ok("lists", w["hwnd"])["completed"])
                           for w in self.main_windows())
        self.assertEqual(completed, [0, 1])


if __name__ == "__main__":
    unittest.main()
