"""The notification icon, pause, minimizing behind the icon and the window's place, driven from
outside. Wine's explorer shows a notification area (Shell_TrayWnd) at the foot of its virtual
desktop while some program has an icon there and hides it otherwise, so the icon's coming and
going shows on that window; a real click at the icon reaches the program as on Windows; the
tooltip is read from the tooltip window that hovering opens; and a window's taskbar button is
the area's child whose id is the window's handle. The program's menus cannot be read from
outside: their commands are posted, or chosen with the keys, and the settings file shows what
was chosen."""

import shutil
import subprocess
import time
import unittest

from laurelight_wine import (MAIN_CLASS, MENU_CLASS, ROOT, SCREENSHOTS, WineTestCase, achievement,
                             config_bytes, poll)
from one_program_test import run_check

IDM_PAUSE, IDM_NOTIFICATION_ICON, IDM_MINIMIZE_TO_ICON = 40030, 40031, 40032
TRAY = "Shell_TrayWnd"
TOOLTIP_CLASS = "tooltips_class32"
VK_RETURN, VK_DOWN = 0x0D, 0x28
WS_VISIBLE, WS_MAXIMIZE = 0x10000000, 0x01000000
TITLE, PAUSED = "Laurelight", "\uff08\u5df2\u6682\u505c\uff09"  # "（已暂停）"
TIP = "Laurelight\uff1a\u5df2\u5b8c\u6210 %d/%d"  # "Laurelight：已完成 12/30"

BY_HAND = achievement("tray_by_hand", "By Hand", "", kind="none")
BY_RUN = achievement("tray_by_run", "By Run", "lltrayrun.exe")
IDLE = achievement("tray_idle", "Idle", "lltraynever.exe")


class TrayTest(WineTestCase):
    def settings(self, install):
        path = install.dir / "adv_settings.txt"
        return path.read_bytes() if path.exists() else None

    def icon_shown(self, shown=True):
        """Waits until the notification area is shown (an icon is there) or hidden."""
        return self.until(lambda: (lambda t: t.get("found") and t["visible"] == shown and t)(
            self.driver.ok("find", TRAY)), "notification area %s" % ("shown" if shown else "hidden"))

    def icon_point(self):
        """The one icon stands at the right end of the area."""
        left, top, right, bottom = self.icon_shown()["rect"]
        return right - 9, (top + bottom) // 2

    def click_icon(self, button="left"):
        self.driver.ok("mouse", *self.icon_point(), button)

    def tooltip(self):
        """The text of the tooltip that hovering over the icon opens."""
        def shown_tip():
            return next((w["text"] for w in self.driver.ok("windows", TOOLTIP_CLASS)["windows"]
                         if w["visible"] and w["text"].startswith(TITLE)), None)

        # A pointer that comes back to where it last stood over the area may open no tooltip
        # under Wine, so each try comes to another point of the icon.
        x, y = self.icon_point()
        for shift in (-1, 0, 1):
            self.driver.ok("mouse", 640, 400, "move")
            self.driver.ok("mouse", x + shift, y, "move")
            tip, _ = poll(shown_tip, 2)
            if tip:
                break
        self.driver.ok("mouse", 640, 400, "move")
        return tip

    def taskbar_button_shown(self, window):
        handle = int(window["hwnd"], 16)
        return any(child["id"] == handle and child["style"] & WS_VISIBLE
                   for child in self.driver.ok("children", TRAY)["children"])

    def close(self, install):
        self.driver.ok("close", MAIN_CLASS)
        self.assertEqual(install.wait_exit(10), 0)

    def restart(self, install, *args, hidden=False):
        """Closes the program and starts it again; the main window once it is shown, or once
        the icon is there when it starts hidden."""
        self.close(install)
        install.start(args=args)
        if not hidden:
            return self.driver.ok("wait", MAIN_CLASS, 15000, timeout=25)
        self.icon_shown()
        return None

    def title(self):
        return self.driver.ok("info", MAIN_CLASS)["text"]

    def test_pause_from_the_icon_menu_holds_unlocks_across_a_restart_and_resume_unlocks_at_once(self):
        install = self.install("tray_pause", config_bytes([BY_HAND, BY_RUN, IDLE]))
        self.start_and_wait(install)
        self.assertEqual(self.tooltip(), TIP % (0, 3))

        # The icon's menu, at the pointer: its second item pauses.
        self.click_icon("right")
        left, top, _, _ = self.driver.ok("wait", MENU_CLASS, 5000)["rect"]
        self.driver.ok("sleep", 300)  # drawn after it is shown
        SCREENSHOTS.mkdir(parents=True, exist_ok=True)
        picture = SCREENSHOTS / "icon_menu.png"
        subprocess.run(["import", "-window", "root", "-crop",
                        "%dx%d+%d+%d" % (1280 - left + 20, 800 - top + 20, left - 20, top - 20),
                        "+repage", str(picture)], check=True, timeout=30)
        shutil.copy2(picture, ROOT / "docs" / "icon-menu.png")
        for key in (VK_DOWN, VK_DOWN, VK_RETURN):
            self.driver.ok("key", MAIN_CLASS, key)
        self.until(lambda: self.title() == TITLE + PAUSED, "paused title")
        self.assertEqual(self.settings(install), b"paused=true\r\n")

        # Paused, a met trigger unlocks nothing; laurelight-check still hands its unlock over.
        self.start_user_program("lltrayrun.exe")
        code, _, err = run_check(install.dir, "--unlock", "tray_by_hand")
        self.assertEqual(code, 0, err)
        time.sleep(2.5)
        self.assertEqual(install.progress(), b"tray_by_hand=done\r\n")
        self.assertEqual(self.tooltip(), TIP % (1, 3) + PAUSED)

        # The pause survives a restart; resuming unlocks within about a second.
        self.assertEqual(self.restart(install)["text"], TITLE + PAUSED)
        time.sleep(2.5)
        self.assertEqual(install.progress(), b"tray_by_hand=done\r\n")
        self.driver.ok("menu", MAIN_CLASS, IDM_PAUSE)
        _, seconds = poll(lambda: b"tray_by_run=done" in install.progress(), 5)
        self.assertLess(seconds, 1.5)
        self.assertEqual(self.title(), TITLE)
        self.assertEqual(self.settings(install), b"paused=false\r\n")
        self.close(install)
        self.icon_shown(False)

    def assert_hidden_then_brought_back(self):
        hidden = self.until(lambda: (lambda f: f.get("found") and not f["visible"] and f)(
            self.driver.ok("find", MAIN_CLASS)), "the window is hidden", 10)
        # Explorer takes the button away (and back) on its own time after the window changes.
        self.until(lambda: not self.taskbar_button_shown(hidden), "and so is its taskbar button")
        self.click_icon()
        self.until(lambda: self.driver.ok("info", MAIN_CLASS)["visible"], "a click brings it back")
        facts = self.driver.ok("info", MAIN_CLASS)
        self.assertFalse(facts["iconic"])
        self.assertEqual(self.driver.ok("foreground")["hwnd"], facts["hwnd"])
        self.until(lambda: self.taskbar_button_shown(facts), "its taskbar button is back")

    def test_minimizing_hides_behind_the_icon_which_brings_the_window_back(self):
        install = self.install("tray_minimize", config_bytes([IDLE]))
        main = self.start_and_wait(install)
        self.icon_shown()
        self.assertTrue(self.taskbar_button_shown(main))
        self.driver.ok("menu", MAIN_CLASS, IDM_MINIMIZE_TO_ICON)
        self.driver.ok("minimize", MAIN_CLASS)
        self.assert_hidden_then_brought_back()
        self.assertEqual(self.settings(install), b"minimize_to_tray=true\r\n")
        self.restart(install, "--minimized", hidden=True)  # a start at sign-in opens hidden
        self.assert_hidden_then_brought_back()

        # Without the icon, minimizing keeps the window on the taskbar; the icon stays off.
        self.driver.ok("menu", MAIN_CLASS, IDM_NOTIFICATION_ICON)
        self.icon_shown(False)
        self.driver.ok("minimize", MAIN_CLASS)
        self.until(lambda: self.driver.ok("info", MAIN_CLASS)["iconic"], "minimized")
        self.assertTrue(self.driver.ok("info", MAIN_CLASS)["visible"])
        self.assertEqual(self.settings(install), b"minimize_to_tray=true\r\ntray_icon=false\r\n")
        self.restart(install)
        time.sleep(1)
        self.assertFalse(self.driver.ok("find", TRAY)["visible"])

    def test_the_window_comes_back_where_it_was_and_nowhere_off_the_screens(self):
        install = self.install("tray_place", config_bytes([IDLE]))
        first = self.start_and_wait(install)
        self.restart(install)
        self.assertIsNone(self.settings(install), "nothing moved: no settings file")

        # Log-off takes the icon away and keeps the place, as closing does.
        self.driver.ok("set_rect", MAIN_CLASS, 100, 120, 900, 640)
        self.driver.ok("end_session", MAIN_CLASS)
        self.icon_shown(False)
        self.assertEqual(self.settings(install), b"window=100,120,900,640\r\nwindow_maximized=false\r\n")
        self.assertEqual(self.restart(install)["rect"], [100, 120, 1000, 760])

        # Maximized it comes back maximized, also from a start at sign-in once restored, with
        # the normal place beneath.
        maximized = lambda: self.driver.ok("info", MAIN_CLASS)["style"] & WS_MAXIMIZE  # noqa: E731
        self.driver.ok("maximize", MAIN_CLASS)
        self.until(maximized, "maximized")
        self.assertTrue(self.restart(install)["style"] & WS_MAXIMIZE)
        self.assertTrue(self.restart(install, "--minimized")["iconic"])
        self.driver.ok("restore", MAIN_CLASS)
        self.until(maximized, "restored to maximized")
        self.driver.ok("restore", MAIN_CLASS)
        self.until(lambda: self.driver.ok("info", MAIN_CLASS)["rect"] == [100, 120, 1000, 760],
                   "the normal place")

        # A place on no screen there is now (a monitor unplugged) gives today's default place,
        # and stays in the file for when the screen is back.
        self.close(install)
        kept = b"window=3000,120,900,640\r\nwindow_maximized=false\r\n"
        (install.dir / "adv_settings.txt").write_bytes(kept)
        self.assertEqual(self.start_and_wait(install)["rect"], first["rect"])
        self.close(install)
        self.assertEqual(self.settings(install), kept)


if __name__ == "__main__":
    unittest.main()
