"""laurelight-check.exe --format and --output on Windows: a Notepad "Unicode" file becomes the
UTF-8 layout Laurelight reads in one command, and the JSON document reaches a file as UTF-8
whatever the console's code page."""

import json
import unittest

from laurelight_wine import BUILD, WORK, require_wine, windows_path, wine

CHECK_EXE = BUILD / "check" / "laurelight-check.exe"


def run_check(*args):
    err = WORK / "check-format-stderr.txt"
    with open(err, "wb") as stderr:
        code = wine([CHECK_EXE, *args], stdout=stderr, stderr=stderr).wait(timeout=60)
    return code, err.read_text(encoding="utf-8", errors="replace")


class CheckFormatTest(unittest.TestCase):
    def test_unicode_file_is_rewritten_as_utf8_and_output_goes_to_a_file(self):
        require_wine()
        folder = WORK / "check_format"
        (folder / "bin").mkdir(parents=True, exist_ok=True)
        entries = [{"trigger_type": "window_title", "title": "原神", "id": "原神窗口",
                    "trigger_value": "原神|Genshin Impact"}]
        original = json.dumps({"achievements": entries}, ensure_ascii=False).encode("utf-16")
        (folder / "bin" / "adv.json").write_bytes(original)

        code, err = run_check(windows_path(folder), "--format", "--write")
        self.assertEqual(code, 0, err)
        self.assertEqual((folder / "bin" / "adv.json.bak").read_bytes(), original)
        text = (folder / "bin" / "adv.json").read_bytes()
        self.assertTrue(text.startswith(b'{\r\n    "achievements": [\r\n        {\r\n'))
        self.assertEqual(json.loads(text.decode("utf-8"))["achievements"], entries)

        out = folder / "check.json"
        code, err = run_check(windows_path(folder), "--output", windows_path(out))
        self.assertEqual(code, 0, err)
        loaded = json.loads(out.read_bytes().decode("utf-8"))["achievements"]
        self.assertEqual([(a["id"], a["title"], a["trigger_type"]) for a in loaded],
                         [("原神窗口", "原神", "window_title")])


if __name__ == "__main__":
    unittest.main()
