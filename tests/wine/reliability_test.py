"""Long and heavy runs of Laurelight.exe: many unlocks in one pass, many start-and-close
cycles, a soak with unlocks every few seconds watching the process's handles and GUI
objects, and kills in the middle of a burst of saves. The CI sizes are small; set
LAURELIGHT_LONG_RUNS=1 for the full ones (20 toasts, 50 cycles, 5 minutes)."""

import os
import random
import re
import time
import unittest

from laurelight_wine import (IDM_EXIT, MAIN_CLASS, TOAST_CLASS, WineTestCase, achievement, config_bytes,
                             poll)

LONG = os.environ.get("LAURELIGHT_LONG_RUNS") == "1"
BURST = 20 if LONG else 4
CYCLES = 50 if LONG else 15
SOAK_SECONDS = 300 if LONG else 60
KILLS = 10 if LONG else 3
TOAST_LIFE = 5.5
HANDLE_SLACK = 10
GUI_SLACK = 6


def burst_entries(count, exe):
    return [achievement("burst_%02d" % i, "Burst %d" % i, exe) for i in range(count)]


def report(text):
    print("  [reliability] " + text, flush=True)


def host_pid(exe_path):
    """The host process that runs the Windows program at this path (the wine loader that
    was started execs into it, under its own command line)."""
    wanted = str(exe_path).encode()
    for entry in os.listdir("/proc"):
        if entry.isdigit():
            try:
                with open("/proc/%s/cmdline" % entry, "rb") as cmdline:
                    first = cmdline.read().split(b"\0")[0]
            except OSError:
                continue
            if first.replace(b"\\", b"/").endswith(wanted.split(b"/")[-2] + b"/Laurelight.exe"):
                return int(entry)
    raise RuntimeError("no host process for %s" % exe_path)


def host_usage(pid):
    """What the host sees of a Wine process: resident memory in KiB, threads, open files.
    Wine answers neither handle nor GUI object counts, so these stand in for them there."""
    with open("/proc/%d/status" % pid) as file:
        status = file.read()
    rss = int(re.search(r"VmRSS:\s+(\d+)", status).group(1))
    threads = int(re.search(r"Threads:\s+(\d+)", status).group(1))
    return rss, threads, len(os.listdir("/proc/%d/fd" % pid))


class ReliabilityTest(WineTestCase):
    def sample(self):
        answer = self.driver.ok("resources", MAIN_CLASS)
        return answer["handles"], answer["gdi_objects"], answer["user_objects"], answer["windows"]

    def test_one_pass_meeting_many_achievements_shows_every_toast_one_at_a_time(self):
        entries = burst_entries(BURST, "llburst.exe")
        install = self.install("burst", config_bytes(entries))
        self.start_and_wait(install)
        self.start_user_program("llburst.exe")
        expected = b"".join(e["id"].encode() + b"=done\r\n" for e in entries)
        _, took = poll(lambda: install.progress() == expected, 10)
        self.assertEqual(install.progress(), expected, "all saved in one pass")

        seen, most_at_once = [], 0
        deadline = time.monotonic() + BURST * TOAST_LIFE + 15
        while time.monotonic() < deadline:
            toasts = self.sample()[3].get(TOAST_CLASS, 0)
            most_at_once = max(most_at_once, toasts)
            found = self.driver.call("find", TOAST_CLASS)
            if found.get("found") and (not seen or seen[-1] != found["hwnd"]):
                seen.append(found["hwnd"])
            if len(seen) == BURST and toasts == 0:
                break
            time.sleep(0.1)
        elapsed = time.monotonic() - (deadline - BURST * TOAST_LIFE - 15)
        report("%d unlocks in one pass: saved within %.2f s, %d toasts seen in %.1f s, at most %d at once"
               % (BURST, took, len(seen), elapsed, most_at_once))
        self.assertEqual(len(seen), BURST)
        self.assertEqual(most_at_once, 1, "toasts are shown one at a time")
        self.assertEqual(self.sample()[3].get(TOAST_CLASS, 0), 0, "every toast window destroyed")
        self.driver.ok("close", MAIN_CLASS)
        self.assertEqual(install.wait_exit(5), 0)
        self.assertEqual(install.progress(), expected)

    def test_many_start_and_close_cycles_end_with_zero_and_keep_the_progress(self):
        entries = [achievement("kept", "Kept", "llkept.exe"), achievement("cycle", "Cycle", "llcycle.exe"),
                   achievement("open", "Open", "llnever.exe")]
        install = self.install("cycles", config_bytes(entries), progress=b"kept=done\r\n")
        self.start_user_program("llcycle.exe")
        slowest, rng = 0.0, random.Random(7)
        for cycle in range(CYCLES):
            # Every third cycle starts without the unlock saved, so it saves during the run.
            if cycle % 3 == 0:
                install.save_path.write_bytes(b"kept=done\r\n")
            self.start_and_wait(install)
            time.sleep(rng.uniform(0.0, 0.8))
            if cycle % 2:
                self.driver.ok("close", MAIN_CLASS)
            else:
                self.driver.ok("menu", MAIN_CLASS, IDM_EXIT)
            start = time.monotonic()
            code = install.wait_exit(10)
            took = time.monotonic() - start
            slowest = max(slowest, took)
            self.assertEqual(code, 0, "cycle %d" % cycle)
            self.assertLess(took, 2.0, "cycle %d took %.2f s to end" % (cycle, took))
            self.assertEqual(install.progress(), b"kept=done\r\ncycle=done\r\n", "cycle %d" % cycle)
            self.driver.ok("wait_gone", TOAST_CLASS, 5000)
        report("%d start-and-close cycles: every exit code 0, slowest exit %.2f s, progress intact"
               % (CYCLES, slowest))

    def test_soak_with_unlocks_every_few_seconds_keeps_handles_and_gui_objects_flat(self):
        count = SOAK_SECONDS // 4 + 2
        entries = [achievement("soak_%03d" % i, "Soak %d" % i, "llsoak%03d.exe" % i) for i in range(count)]
        install = self.install("soak", config_bytes(entries))
        self.start_and_wait(install)

        def unlock(index):
            program = self.start_user_program("llsoak%03d.exe" % index)
            self.driver.ok("wait", TOAST_CLASS, 5000)
            self.driver.ok("wait_gone", TOAST_CLASS, 10000)
            program.stop()
            self.programs.remove(program)

        unlock(0)  # the first toast loads the picture and starts the sound system
        first = self.sample()
        pid = host_pid(install.dir / "Laurelight.exe")
        host_first = host_usage(pid)
        start, unlocked = time.monotonic(), 1
        samples = [first]
        while time.monotonic() - start < SOAK_SECONDS - 6:
            unlock(unlocked)
            unlocked += 1
            samples.append(self.sample())
        last = self.sample()
        host_last = host_usage(pid)
        expected = b"".join(e["id"].encode() + b"=done\r\n" for e in entries[:unlocked])
        report("soak of %.0f s, %d unlocks: handles %s -> %s (max %s), GDI %s -> %s, USER %s -> %s"
               % (time.monotonic() - start + 6, unlocked, first[0], last[0], max(s[0] for s in samples),
                  first[1], last[1], first[2], last[2]))
        report("host view: resident %d -> %d KiB, threads %d -> %d, open files %d -> %d"
               % (host_first[0], host_last[0], host_first[1], host_last[1], host_first[2], host_last[2]))
        self.assertEqual(install.progress(), expected)
        if first[0] >= 0 and last[0] >= 0:  # Wine cannot count a process's handles
            self.assertLessEqual(last[0] - first[0], HANDLE_SLACK, "kernel handles grow")
        self.assertLessEqual(host_last[0] - host_first[0], 16 * 1024, "resident memory grows")
        self.assertLessEqual(host_last[1] - host_first[1], 2, "threads grow")
        self.assertLessEqual(host_last[2] - host_first[2], 4, "open files grow")
        for index, name in ((1, "GDI"), (2, "USER")):
            if first[index] >= 0 and last[index] >= 0:
                self.assertLessEqual(last[index] - first[index], GUI_SLACK, name + " objects grow")
        self.assertEqual(last[3].get(TOAST_CLASS, 0), 0)
        self.driver.ok("close", MAIN_CLASS)
        self.assertEqual(install.wait_exit(5), 0)

    def test_killing_the_program_during_a_burst_of_saves_leaves_a_complete_file(self):
        entries = burst_entries(20, "llkilled.exe")
        ids = [e["id"] for e in entries]
        install = self.install("killed", config_bytes(entries))
        self.start_user_program("llkilled.exe")
        rng, saved = random.Random(11), []
        for attempt in range(KILLS):
            if install.save_path.exists():
                install.save_path.unlink()
            self.start_and_wait(install)
            poll(lambda: install.save_path.exists(), 5, interval=0.001)
            time.sleep(rng.uniform(0.0, 0.05))
            install.stop()  # SIGKILL: the process ends at once, as with TerminateProcess
            data = install.progress() or b""
            # The file existed before the kill, and a save never leaves it empty or cut short.
            self.assertTrue(data.endswith(b"=done\r\n"), "attempt %d: %r" % (attempt, data[-40:]))
            lines = re.findall(rb"([^\r\n]*)=done\r\n", data)
            self.assertEqual(b"".join(line + b"=done\r\n" for line in lines), data,
                             "attempt %d: torn file %r" % (attempt, data[-40:]))
            # One pass completes in list order, each save holding everything before it.
            self.assertEqual([line.decode() for line in lines], ids[:len(lines)], "attempt %d" % attempt)
            saved.append(len(lines))
            self.driver.call("wait_gone", MAIN_CLASS, 5000)
        report("%d kills during a burst of 20 saves: the file held %s complete lines" % (KILLS, saved))


if __name__ == "__main__":
    unittest.main()
