"""laurelight-check.exe under Windows: --format --write turns a Notepad "Unicode" file into the
UTF-8 layout Laurelight reads, --add and --remove change it line by line, and --output writes
the document as UTF-8 to a file."""

import json
import unittest

from laurelight_wine import BUILD, WORK, require_wine, windows_path, wine


class CheckFormatTest(unittest.TestCase):
    def run_check(self, *args):
        err = WORK / "check-format-stderr.txt"
        with open(err, "wb") as stderr:
            code = wine([BUILD / "check" / "laurelight-check.exe", *args], stdout=stderr,
                        stderr=stderr).wait(timeout=60)
        self.assertEqual(code, 0, err.read_text(encoding="utf-8", errors="replace"))

    def test_unicode_file_becomes_the_utf8_layout_and_output_goes_to_a_file(self):
        require_wine()
        folder = WORK / "check_format"
        (folder / "bin").mkdir(parents=True, exist_ok=True)
        entries = [{"trigger_type": "window_title", "title": "原神", "id": "原神窗口",
                    "trigger_value": "原神|Genshin Impact"}]
        original = json.dumps({"achievements": entries}, ensure_ascii=False).encode("utf-16")
        (folder / "bin" / "adv.json").write_bytes(original)
        self.run_check(windows_path(folder), "--format", "--write")
        self.assertEqual((folder / "bin" / "adv.json.bak").read_bytes(), original)
        text = (folder / "bin" / "adv.json").read_bytes()
        self.assertTrue(text.startswith(b'{\r\n    "achievements": [\r\n        {\r\n'))
        self.assertEqual(json.loads(text.decode("utf-8"))["achievements"], entries)

        # Chinese arguments arrive whole; the new lines follow the file's CR LF and indentation.
        self.run_check(windows_path(folder), "--add", "calc", "--title", "计算器", "--process",
                       "calc.exe")
        added = (folder / "bin" / "adv.json").read_bytes()
        self.assertEqual((folder / "bin" / "adv.json.bak").read_bytes(), text)
        self.assertIn('        },\r\n        {\r\n            "id": "calc",\r\n'
                      '            "title": "计算器",\r\n'.encode("utf-8"), added)
        self.assertIn('"trigger_description": "运行 calc.exe",\r\n'.encode("utf-8"), added)
        self.run_check(windows_path(folder), "--remove", "calc")
        self.assertEqual((folder / "bin" / "adv.json").read_bytes(), text)

        self.run_check(windows_path(folder), "--output", windows_path(folder / "check.json"))
        loaded = json.loads((folder / "check.json").read_bytes().decode("utf-8"))["achievements"]
        self.assertEqual([(a["id"], a["title"], a["trigger_type"]) for a in loaded],
                         [("原神窗口", "原神", "window_title")])


if __name__ == "__main__":
    unittest.main()
