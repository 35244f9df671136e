"""The driver's measuring commands on programs whose behaviour the test controls: a window
moved to known places, an idle process, a file written by a command line."""

import threading
import time

from laurelight_wine import WORK, Driver, UserProgram, WineTestCase, windows_path

SLEEPER_CLASS = "LaurelightTestSleeper"


class MeasureCommandsTest(WineTestCase):
    def test_moves_reports_each_new_left_edge_once_in_order_until_the_window_is_gone(self):
        program = UserProgram("mover.exe", title="Mover", milliseconds=3000)
        self.programs.append(program)
        start = self.driver.ok("wait", SLEEPER_CLASS, 10000)["rect"]
        watcher = Driver()
        answer = {}
        try:
            # A round trip first: a driver just started may take longer than the pause below.
            watcher.ok("wait", SLEEPER_CLASS, 10000)
            thread = threading.Thread(target=lambda: answer.update(
                watcher.call("moves", SLEEPER_CLASS, 5000, 10000, timeout=20)))
            thread.start()
            time.sleep(0.4)
            self.driver.ok("set_rect", SLEEPER_CLASS, start[0] + 60, start[1], 320, 120)
            time.sleep(0.3)
            self.driver.ok("set_rect", SLEEPER_CLASS, start[0] + 60, start[1] + 30, 320, 120)  # x unchanged
            time.sleep(0.3)
            self.driver.ok("set_rect", SLEEPER_CLASS, start[0] + 200, start[1], 320, 120)
            thread.join(20)
        finally:
            watcher.close()
        self.assertTrue(answer.get("ok"), answer)
        moves = answer["moves"]
        self.assertEqual([x for _, x in moves], [start[0], start[0] + 60, start[0] + 200])
        times = [t for t, _ in moves]
        self.assertLess(times[0], 50, "the first entry is the first sighting")
        self.assertGreater(times[2] - times[1], 450, "the move of y alone was not a move")
        self.assertLess(times[2], 3000)

    def test_moves_fails_when_no_window_appears(self):
        answer = self.driver.call("moves", "NoSuchWindowClass", 200, 1000)
        self.assertFalse(answer["ok"])
        self.assertIn("no window", answer["error"])

    def test_process_usage_of_an_idle_program_and_of_a_missing_one(self):
        self.start_user_program("idler.exe")
        usage = self.driver.ok("process_usage", "IDLER.EXE", 1000)
        self.assertGreaterEqual(usage["wall_ms"], 1000)
        self.assertLess(usage["wall_ms"], 3000)
        self.assertGreaterEqual(usage["cpu_ms"], 0)
        self.assertLess(usage["cpu_ms"], 300, "a program that waits for messages is nearly free")
        self.assertGreater(usage["working_set"], 2**20)
        self.assertGreaterEqual(usage["peak_working_set"], usage["working_set"])
        missing = self.driver.call("process_usage", "not_running_here.exe", 100)
        self.assertFalse(missing["ok"])
        self.assertIn("no process", missing["error"])

    def test_unlock_latency_times_a_started_program_until_the_file_holds_the_text(self):
        folder = WORK / "measure"
        folder.mkdir(parents=True, exist_ok=True)
        target = folder / "out.txt"
        target.write_bytes(b"a=done\r\n")
        writer = "/c echo b=done>> " + windows_path(target)
        answer = self.driver.ok("unlock_latency", "C:\\windows\\system32\\cmd.exe", writer,
                                windows_path(target), "b=done", 10000)
        self.assertGreater(answer["ms"], 0)
        self.assertLessEqual(answer["create_process_ms"], answer["ms"])
        self.assertIn(b"b=done", target.read_bytes())

        already = self.driver.call("unlock_latency", "C:\\windows\\system32\\cmd.exe", writer,
                                   windows_path(target), "a=done", 1000)
        self.assertFalse(already["ok"])
        self.assertIn("already", already["error"])

        started = time.monotonic()
        never = self.driver.call("unlock_latency", "C:\\windows\\system32\\cmd.exe", "/c rem",
                                 windows_path(target), "c=done", 400)
        self.assertFalse(never["ok"])
        self.assertIn("timeout", never["error"])
        self.assertGreaterEqual(time.monotonic() - started, 0.4)
