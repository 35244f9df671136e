"""Running Laurelight.exe and its test helpers under Wine, for the end-to-end tests.

scripts/test_windows.sh sets up the prefix, the X server and the wineserver, then runs these
tests; every Wine process started here has a timeout and is killed if it outlives it.
"""

import json
import math
import os
import selectors
import shutil
import subprocess
import time
import unittest
from pathlib import Path

ROOT = Path(__file__).resolve().parents[2]
WINE = ROOT / "scripts" / "wine"  # the one choice of the 64-bit loader
BUILD = Path(os.environ.get("LAURELIGHT_BUILD_DIR", ROOT / "build" / "mingw"))
APP_EXE = BUILD / "app" / "Laurelight.exe"
DRIVER_EXE = BUILD / "tests" / "driver" / "laurelight-driver.exe"
SLEEPER_EXE = BUILD / "tests" / "driver" / "laurelight-sleeper.exe"
WORK = BUILD / "e2e"
SCREENSHOTS = BUILD / "screenshots"

MAIN_CLASS = "LaurelightMain"
TOAST_CLASS = "AdvancementNotification"
MENU_CLASS = "#32768"  # an open pop-up menu
IDM_EXIT = 40001
IDM_ABOUT = 40002
TRIGGER_LABEL = "\n\u89e6\u53d1\u65b9\u5f0f: "  # "\n触发方式: "


def require_wine():
    missing = [name for name in ("WINEPREFIX", "DISPLAY") if not os.environ.get(name)]
    if missing:
        raise RuntimeError("run through scripts/test_windows.sh (missing %s)" % ", ".join(missing))
    for exe in (APP_EXE, DRIVER_EXE, SLEEPER_EXE):
        if not exe.is_file():
            raise RuntimeError("not built: %s" % exe)


def windows_path(path):
    """The path as the Windows program sees it through Wine's Z: drive."""
    return "Z:" + str(Path(path).resolve()).replace("/", "\\")


def config_bytes(entries):
    """A configuration file in the pretty-printed layout the loader reads."""
    return json.dumps({"achievements": entries}, ensure_ascii=False, indent=4).encode("utf-8")


def achievement(id_, title, value, kind="process_name", description="", trigger_description=""):
    return {"id": id_, "title": title, "description": description,
            "trigger_description": trigger_description, "trigger_value": value, "trigger_type": kind}


BURST = 10  # achievements that one program unlocks at once


def busy_pack(open_count, burst_exe):
    """A configuration of open_count open achievements: the last BURST all unlock as soon as
    burst_exe runs; the others, alternately process names and window titles, never do."""
    entries = [achievement("p%d" % i, "Process %d" % i, "never_%d.exe" % i) if i % 2 == 0 else
               achievement("w%d" % i, "Window %d" % i, "zz no window has the title %d zz" % i,
                           kind="window_title")
               for i in range(open_count - BURST)]
    entries += [achievement("burst%d" % i, "Burst %d" % i, burst_exe) for i in range(BURST)]
    return config_bytes(entries)


def burst_done(install):
    progress = install.progress() or b""
    return all(b"burst%d=done" % i in progress for i in range(BURST))


def answer_times(driver, window, duration_ms):
    """How soon the window answers another program's WM_NULL, sent every 50 ms over
    duration_ms: p50, p99 and max in ms (nearest rank), with the count of messages."""
    answer = driver.ok("answer_times", window, duration_ms, 50, 10000, timeout=duration_ms / 1000 + 30)
    times = sorted(answer["times_ms"])
    rank = lambda p: times[max(0, math.ceil(p / 100 * len(times)) - 1)]  # noqa: E731
    return {"p50": rank(50), "p99": rank(99), "max": times[-1], "count": len(times),
            "unanswered": answer["unanswered"]}


def item_text(entry):
    return entry["title"] + " - " + entry["description"] + TRIGGER_LABEL + entry["trigger_description"]


HIDDEN_ITEM = "\uff1f\uff1f\uff1f - \u9690\u85cf\u6210\u5c31" + TRIGGER_LABEL + "\uff1f\uff1f\uff1f"
GOAL_UNITS = {"starts": "\u6b21", "\u6b21": "\u6b21", "minutes": "\u5206\u949f",
              "\u5206\u949f": "\u5206\u949f", "days": "\u5929", "\u5929": "\u5929"}


def open_item_text(entry, count=0):
    """The open list's item: a secret's question marks, or the text with a goal's progress."""
    if entry.get("hidden") == "true":
        return HIDDEN_ITEM
    goal = entry.get("trigger_goal")
    if not goal:
        return item_text(entry)
    number = int("".join(c for c in goal if c.isdigit()))
    unit = GOAL_UNITS[goal.lstrip("0123456789 ").strip()]
    return (entry["title"] + " - " + entry["description"] + "\uff08%d/%d %s\uff09" % (count, number, unit)
            + TRIGGER_LABEL + entry["trigger_description"])


def wine(args, **kwargs):
    return subprocess.Popen([str(WINE)] + [str(a) for a in args], **kwargs)


class Driver:
    """One laurelight-driver.exe serving commands over its stdin and stdout."""

    def __init__(self):
        self.process = wine([DRIVER_EXE], stdin=subprocess.PIPE, stdout=subprocess.PIPE,
                            stderr=subprocess.DEVNULL)
        self.buffer = b""
        self.selector = selectors.DefaultSelector()
        self.selector.register(self.process.stdout, selectors.EVENT_READ)

    def call(self, *args, timeout=20):
        line = json.dumps([str(a) for a in args]) + "\n"
        self.process.stdin.write(line.encode("ascii"))
        self.process.stdin.flush()
        deadline = time.monotonic() + timeout
        while b"\n" not in self.buffer:
            left = deadline - time.monotonic()
            if left <= 0 or not self.selector.select(left):
                raise TimeoutError("driver gave no answer to %r" % (args,))
            chunk = os.read(self.process.stdout.fileno(), 65536)
            if not chunk:
                raise RuntimeError("driver ended while answering %r" % (args,))
            self.buffer += chunk
        answer, self.buffer = self.buffer.split(b"\n", 1)
        return json.loads(answer.decode("ascii"))

    def ok(self, *args, timeout=20):
        answer = self.call(*args, timeout=timeout)
        if not answer.get("ok"):
            raise AssertionError("driver %r failed: %s" % (args, answer.get("error")))
        return answer

    def close(self):
        try:
            self.process.stdin.write(b'["quit"]\n')
            self.process.stdin.close()
            self.process.wait(timeout=5)
        except (OSError, subprocess.TimeoutExpired):
            self.process.kill()
            self.process.wait()
        self.selector.close()
        self.process.stdout.close()


class Install:
    """A folder with a copy of Laurelight.exe and its data files, and the running program."""

    def __init__(self, name, config=None, progress=None):
        self.dir = WORK / name
        shutil.rmtree(self.dir, ignore_errors=True)
        (self.dir / "bin").mkdir(parents=True)
        shutil.copy2(APP_EXE, self.dir / "Laurelight.exe")
        if config is not None:
            self.config_path.write_bytes(config)
        if progress is not None:
            self.save_path.write_bytes(progress)
        self.process = None

    @property
    def config_path(self):
        return self.dir / "bin" / "adv.json"

    @property
    def save_path(self):
        return self.dir / "adv_save.txt"

    def progress(self):
        return self.save_path.read_bytes() if self.save_path.exists() else None

    def start(self, env=None, args=()):
        self.process = wine([self.dir / "Laurelight.exe", *args], cwd=self.dir, env=env,
                            stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        return self.process

    def wait_exit(self, timeout):
        """The exit code, or None when the program still runs after the timeout."""
        try:
            return self.process.wait(timeout=timeout)
        except subprocess.TimeoutExpired:
            return None

    def stop(self):
        if self.process is not None and self.process.poll() is None:
            self.process.kill()
            self.process.wait()


class UserProgram:
    """A stand-in program the user starts: the sleeper under another exe name, optionally
    showing a window with the given title."""

    def __init__(self, exe_name, title=None, milliseconds=600000):
        self.path = WORK / "programs" / exe_name
        self.path.parent.mkdir(parents=True, exist_ok=True)
        shutil.copy2(SLEEPER_EXE, self.path)
        args = [self.path, str(milliseconds)]
        if title is not None:
            args.append(title.encode("utf-8").hex())
        self.process = wine(args, stdout=subprocess.PIPE, stderr=subprocess.DEVNULL)
        selector = selectors.DefaultSelector()
        selector.register(self.process.stdout, selectors.EVENT_READ)
        ready = selector.select(20)
        selector.close()
        if not ready or not self.process.stdout.readline().startswith(b"ready"):
            self.stop()
            raise RuntimeError("%s did not start" % exe_name)

    def stop(self):
        if self.process.poll() is None:
            self.process.kill()
        self.process.wait()
        self.process.stdout.close()


def screenshot(driver, window, name):
    """Writes the window's part of the screen to build/.../screenshots/<name>.png."""
    facts = driver.ok("info", window)
    left, top, right, bottom = facts["rect"]
    SCREENSHOTS.mkdir(parents=True, exist_ok=True)
    target = SCREENSHOTS / (name + ".png")
    subprocess.run(["import", "-window", "root", "-crop",
                    "%dx%d+%d+%d" % (right - left, bottom - top, max(left, 0), max(top, 0)),
                    "+repage", str(target)], check=True, timeout=30)
    return target


def poll(check, timeout, interval=0.02):
    """Calls check() until it returns something true or the timeout passes; returns the
    last result and the seconds it took."""
    start = time.monotonic()
    while True:
        result = check()
        elapsed = time.monotonic() - start
        if result or elapsed > timeout:
            return result, elapsed
        time.sleep(interval)


class WineTestCase(unittest.TestCase):
    """Gives each test a driver, and stops every program the test started."""

    @classmethod
    def setUpClass(cls):
        require_wine()
        cls.driver = Driver()

    @classmethod
    def tearDownClass(cls):
        cls.driver.close()

    def setUp(self):
        self.installs = []
        self.programs = []

    def tearDown(self):
        for program in self.programs:
            program.stop()
        for install in self.installs:
            install.stop()
        # No window of a stopped program may linger into the next test.
        self.driver.call("wait_gone", MAIN_CLASS, 5000)

    def install(self, name, config=None, progress=None):
        install = Install(name, config, progress)
        self.installs.append(install)
        return install

    def start_user_program(self, exe_name, title=None):
        program = UserProgram(exe_name, title)
        self.programs.append(program)
        return program

    def start_and_wait(self, install):
        install.start()
        return self.driver.ok("wait", MAIN_CLASS, 15000, timeout=25)

    def until(self, check, message, timeout=5):
        """Waits until check() gives something true, and returns it."""
        result, _ = poll(check, timeout)
        self.assertTrue(result, message)
        return result

    def lists_become(self, completed, pending, timeout=5):
        """Waits until the main window lists these items (completed None: any); returns the
        seconds it took. A read that meets a refill half way fails; the next poll reads again."""
        def shown():
            lists = self.driver.call("lists", MAIN_CLASS)
            return (lists.get("ok") and lists["pending"] == pending
                    and (completed is None or lists["completed"] == completed))
        done, took = poll(shown, timeout)
        self.assertTrue(done, "%r after %.1f s" % (self.driver.call("lists", MAIN_CLASS), took))
        return took
