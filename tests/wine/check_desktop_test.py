"""laurelight-check.exe --desktop and --watch under Wine: a started program and a window with
a chosen title show up as the check pass would see them, and as changes while watching."""

import json
import os
import selectors
import shutil
import signal
import subprocess
import time

from laurelight_wine import BUILD, WORK, WineTestCase, achievement, config_bytes, wine, windows_path

CHECK_EXE = BUILD / "check" / "laurelight-check.exe"


def check_folder(name, entries, progress=None):
    folder = WORK / name
    shutil.rmtree(folder, ignore_errors=True)
    (folder / "bin").mkdir(parents=True)
    (folder / "bin" / "adv.json").write_bytes(config_bytes(entries))
    if progress is not None:
        (folder / "adv_save.txt").write_bytes(progress)
    return folder


class LineReader:
    def __init__(self, stream):
        self.stream = stream
        self.buffer = b""
        self.selector = selectors.DefaultSelector()
        self.selector.register(stream, selectors.EVENT_READ)

    def line(self, timeout=20):
        deadline = time.monotonic() + timeout
        while b"\n" not in self.buffer:
            left = deadline - time.monotonic()
            if left <= 0 or not self.selector.select(left):
                raise TimeoutError("no line within %s s" % timeout)
            chunk = os.read(self.stream.fileno(), 65536)
            if not chunk:
                return None
            self.buffer += chunk
        line, self.buffer = self.buffer.split(b"\n", 1)
        return json.loads(line.decode("utf-8"))


class CheckDesktopTest(WineTestCase):
    def test_desktop_shows_a_started_program_and_a_window_and_what_meets_each_trigger(self):
        title = "Probe \u7a97\u53e3 " + "x" * 300 + "TailMark"
        self.start_user_program("ProbeProgram.exe", title=title)
        folder = check_folder("desktop", [
            achievement("ascii_case", "A", "probeprogram.EXE"),
            achievement("no_exe", "B", "ProbeProgram"),
            achievement("window", "C", "nothing|\u7a97\u53e3", kind="window_title"),
            achievement("near", "D", "probe \u7a97\u53e3|TailMark", kind="window_title"),
            achievement("done", "E", "ProbeProgram.exe"),
            achievement("typo", "F", "Prbe \u7a97\u53e3", kind="window_title"),
        ], progress=b"done=done\r\n")
        run = wine([CHECK_EXE, windows_path(folder), "--desktop"], stdout=subprocess.PIPE,
                   stderr=subprocess.PIPE)
        out, err = run.communicate(timeout=60)
        self.assertEqual(run.returncode, 0, err)
        look = json.loads(out.decode("utf-8"))
        self.assertIn("ProbeProgram.exe", look["processes"])
        self.assertIn({"title": title[:255], "length": len(title), "cloaked": False},
                      look["windows"])
        self.assertEqual(look["notes"], [])
        found = {entry["id"]: entry for entry in look["pending_achievements"]}
        self.assertEqual(list(found), ["ascii_case", "no_exe", "window", "near", "typo"])
        self.assertEqual(found["ascii_case"]["met_by"], {"process": "ProbeProgram.exe"})
        self.assertEqual(found["window"]["met_by"],
                         {"window": title[:255], "fragment": "\u7a97\u53e3"})
        misses = [(m["code"], m.get("process"), m.get("fragment")) for entry in found.values()
                  for m in entry.get("near_misses", [])]
        self.assertEqual(misses, [("exe-suffix", "ProbeProgram.exe", None),
                                  ("title-case", None, "probe \u7a97\u53e3"),
                                  ("title-beyond-255", None, "TailMark"),
                                  ("title-spelling", None, "Prbe \u7a97\u53e3")])
        typo = found["typo"]["near_misses"][0]
        self.assertEqual(typo["window"], title[:255])
        self.assertIn('holds "Probe \u7a97\u53e3", which differs', typo["message"])
        self.assertEqual((folder / "adv_save.txt").read_bytes(), b"done=done\r\n")

    def test_watch_prints_a_program_and_its_window_coming_and_going_then_ctrl_c_ends_it_with_0(self):
        folder = check_folder("watch", [
            achievement("self", "Self", "laurelight-check.exe"),
            achievement("program", "Program", "WatchProgram.exe"),
            achievement("window", "Window", "Watch \u7a97\u53e3", kind="window_title"),
        ])
        watch = wine([CHECK_EXE, windows_path(folder), "--watch", "90"], stdout=subprocess.PIPE,
                     stderr=subprocess.PIPE)
        try:
            reader = LineReader(watch.stdout)
            # Its own process meets the first trigger at the first look: the watch is running.
            self.assertEqual(reader.line()["id"], "self")
            program = self.start_user_program("WatchProgram.exe", title="A Watch \u7a97\u53e3 here")
            # The process and its window may show in one look or in two: key the lines by id.
            came = {line["id"]: line for line in (reader.line(), reader.line())}
            self.assertEqual(came["program"]["met_by"], {"process": "WatchProgram.exe"})
            self.assertEqual(came["window"]["met_by"], {"window": "A Watch \u7a97\u53e3 here",
                                                        "fragment": "Watch \u7a97\u53e3"})
            program.stop()
            went = {line["id"]: line for line in (reader.line(), reader.line())}
            self.assertEqual(set(went), {"program", "window"})
            self.assertTrue(all(line["met"] is False and "met_by" not in line
                                for line in went.values()))
            # Wine hands SIGINT to the console handler as Ctrl+C. Without a handler it also
            # ends the program with 0, so only the note tells that the watch ended itself.
            watch.send_signal(signal.SIGINT)
            self.assertEqual(watch.wait(timeout=20), 0)
            self.assertEqual(watch.stderr.read(), b"watch stopped\n")
        finally:
            if watch.poll() is None:
                watch.kill()
                watch.wait()
            watch.stdout.close()
            watch.stderr.close()
        self.assertFalse((folder / "adv_save.txt").exists())
