"""Closing Laurelight.exe while its monitor thread is busy never hangs: its passes read the
titles of the program's own windows and refill the lists, both of which wait for the UI
thread that is stopping the monitor."""

import time
import unittest

from laurelight_wine import (IDM_EXIT, MAIN_CLASS, TOAST_CLASS, WineTestCase, achievement,
                             config_bytes)

TRIES = 30
GONE_LIMIT = 2.0


def busy_config(with_unlock):
    # Many open title records that match nothing: every pass enumerates the windows once per
    # record, sending text requests to the main window each time.
    entries = [achievement("never_%02d" % i, "Never %d" % i, "zz no such title %d zz" % i, kind="window_title")
               for i in range(20)]
    if with_unlock:
        entries.insert(10, achievement("closer", "Closer", "llcloser.exe"))
    return config_bytes(entries)


class CloseTest(WineTestCase):
    def test_closing_while_passes_run_ends_the_process_within_2_seconds_every_time(self):
        quiet = self.install("close_quiet", busy_config(False))
        unlocking = self.install("close_unlocking", busy_config(True))
        self.start_user_program("llcloser.exe")
        slow = []
        for attempt in range(TRIES):
            # Every fifth run unlocks at once, so a toast and a list refill are under way.
            install = unlocking if attempt % 5 == 4 else quiet
            if install.save_path.exists():
                install.save_path.unlink()
            self.start_and_wait(install)
            if install is unlocking:
                self.driver.ok("wait", TOAST_CLASS, 5000)
            else:
                time.sleep((attempt * 37 % 500) / 1000.0)  # land at different points of a pass
            if attempt % 2:
                self.driver.ok("close", MAIN_CLASS)
            else:
                self.driver.ok("menu", MAIN_CLASS, IDM_EXIT)
            start = time.monotonic()
            code = install.wait_exit(GONE_LIMIT + 8)
            took = time.monotonic() - start
            if code is None:
                install.stop()
            self.assertEqual(code, 0, "attempt %d: exit code %r after %.2f s" % (attempt, code, took))
            if took > GONE_LIMIT:
                slow.append((attempt, round(took, 2)))
            self.driver.ok("wait_gone", MAIN_CLASS, 5000)
            self.driver.ok("wait_gone", TOAST_CLASS, 5000)
        self.assertEqual(slow, [], "runs that took longer than %.1f s to end" % GONE_LIMIT)
        self.assertEqual(unlocking.progress(), b"closer=done\r\n")


if __name__ == "__main__":
    unittest.main()
