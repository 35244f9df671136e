"""Start-up of Laurelight.exe: the two lists for a configuration and progress file, the
layout of the main window, and the two message boxes of each failed configuration load."""

import unittest

from laurelight_wine import (MAIN_CLASS, IDM_ABOUT, WineTestCase, achievement, config_bytes,
                             item_text, windows_path)

ERROR_CAPTION = "\u9519\u8bef"  # "错误"
MISSING = "\u627e\u4e0d\u5230\u6210\u5c31\u914d\u7f6e\u6587\u4ef6\uff01\n\u8bf7\u786e\u4fdd\u4ee5\u4e0b\u6587\u4ef6\u5b58\u5728\uff1a\n"
EMPTY = "JSON\u6587\u4ef6\u4e3a\u7a7a\u6216\u8bfb\u53d6\u5931\u8d25\uff01"
UNPARSABLE = "JSON\u89e3\u6790\u5931\u8d25\u6216\u6ca1\u6709\u627e\u5230\u6210\u5c31\u914d\u7f6e\uff01"
GIVING_UP = "\u52a0\u8f7d\u6210\u5c31\u914d\u7f6e\u5931\u8d25\uff0c\u7a0b\u5e8f\u5c06\u9000\u51fa\uff01"

ENTRIES = [
    achievement("first_note", "Note Taker", "notepad.exe", description="Open a text editor.",
                trigger_description="Run notepad.exe"),
    achievement("calc", "\u6570\u5b57\u8fbe\u4eba", "Calculator|\u8ba1\u7b97\u5668", kind="window_title",
                description="\u6253\u5f00\u8ba1\u7b97\u5668", trigger_description="\u7a97\u53e3\u6807\u9898"),
    achievement("bare", "Bare", "bare.exe"),
    achievement("same_title", "Note Taker", "other.exe", description="Twin."),
]


class StartupTest(WineTestCase):
    def test_lists_show_completed_and_open_achievements_in_configuration_order(self):
        install = self.install("lists", config_bytes(ENTRIES), progress=b"calc=done\r\nsame_title=done\r\n")
        self.start_and_wait(install)
        lists = self.driver.ok("lists", MAIN_CLASS)
        self.assertEqual(lists["completed"], [item_text(ENTRIES[1]), item_text(ENTRIES[3])])
        self.assertEqual(lists["pending"], [item_text(ENTRIES[0]), item_text(ENTRIES[2])])
        self.assertEqual(lists["pending"][1], "Bare - \n\u89e6\u53d1\u65b9\u5f0f: ")

    def test_first_start_without_progress_has_an_empty_completed_list_and_writes_nothing(self):
        install = self.install("fresh", config_bytes(ENTRIES))
        self.start_and_wait(install)
        lists = self.driver.ok("lists", MAIN_CLASS)
        self.assertEqual(lists["completed"], [])
        self.assertEqual(lists["pending"], [item_text(entry) for entry in ENTRIES])
        self.driver.call("sleep", 1200)
        self.assertIsNone(install.progress(), "a pass that unlocks nothing writes no file")

    def test_main_window_frame_and_list_layout_follow_the_client_size(self):
        install = self.install("layout", config_bytes(ENTRIES))
        main = self.start_and_wait(install)
        self.assertEqual(main["text"], "Laurelight")
        self.assertEqual(main["rect"][2] - main["rect"][0], 800)
        self.assertEqual(main["rect"][3] - main["rect"][1], 600)
        self.assertEqual(main["style"] & 0x00CF0000, 0x00CF0000, "WS_OVERLAPPEDWINDOW")
        for width, height in ((800, 600), (641, 480)):
            self.driver.ok("set_rect", MAIN_CLASS, 30, 30, width, height)
            client_w, client_h = self.driver.ok("info", MAIN_CLASS)["client"]
            children = {c["id"]: c for c in self.driver.ok("children", MAIN_CLASS)["children"]}
            half = client_w // 2
            self.assertEqual(children[1001]["class"].upper(), "LISTBOX")
            # The list box drops WS_VSCROLL while its items fit; the rest is as created.
            for list_id in (1001, 1002):
                self.assertEqual(children[list_id]["style"] & 0xFFDF0041, 0x50800041)
            left, right = children[1001]["in_parent"], children[1002]["in_parent"]
            self.assertEqual(left[:3], [10, 50, half - 10])
            self.assertEqual(right[:3], [half + 10, 50, 2 * half - 10])
            # A list box without LBS_NOINTEGRALHEIGHT trims itself to whole items, so its
            # bottom lies at most one item above the requested one.
            self.assertEqual(left[3], right[3])
            self.assertTrue(client_h - 50 - 24 < left[3] <= client_h - 50, (left, client_h))

    def test_about_box_names_the_version_and_leaves_the_program_running(self):
        install = self.install("about", config_bytes(ENTRIES))
        self.start_and_wait(install)
        self.driver.ok("menu", MAIN_CLASS, IDM_ABOUT)
        box = self.driver.ok("msgbox", 10000, MAIN_CLASS)
        self.assertEqual(box["caption"], "\u5173\u4e8e")
        self.assertEqual(box["text"], "Laurelight beta-0.2\n\u68c0\u6d4bWindows\u64cd\u4f5c\u5e76\u89e3\u9501\u6210\u5c31\uff01")
        self.driver.ok("press_ok", box["hwnd"])
        self.driver.ok("wait_gone", box["hwnd"], 5000)
        self.assertIsNone(install.wait_exit(0.5))
        self.assertTrue(self.driver.ok("find", MAIN_CLASS)["found"])

    def expect_two_message_boxes(self, install, first_text):
        install.start()
        boxes = []
        for _ in range(2):
            box = self.driver.ok("msgbox", 15000, MAIN_CLASS, timeout=25)
            boxes.append((box["caption"], box["text"], box["has_icon"]))
            self.driver.ok("press_ok", box["hwnd"])
            self.driver.ok("wait_gone", box["hwnd"], 5000)
        self.assertEqual(boxes, [(ERROR_CAPTION, first_text, True), (ERROR_CAPTION, GIVING_UP, True)])
        self.assertEqual(install.wait_exit(10), 0)
        self.assertIsNone(install.progress(), "the progress file is neither read nor written")

    def test_missing_configuration_names_the_path_then_ends_with_code_0(self):
        install = self.install("missing")
        self.expect_two_message_boxes(install, MISSING + windows_path(install.config_path))

    def test_empty_configuration_reports_an_empty_file_then_ends_with_code_0(self):
        install = self.install("empty", b"")
        self.expect_two_message_boxes(install, EMPTY)

    def test_unparsable_configuration_reports_no_achievements_then_ends_with_code_0(self):
        compact = b'{"achievements": [{"id": "a", "title": "A", "trigger_value": "a.exe"}]}'
        install = self.install("compact", compact)
        self.expect_two_message_boxes(install, UNPARSABLE)


if __name__ == "__main__":
    unittest.main()
