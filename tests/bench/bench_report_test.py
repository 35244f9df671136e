#!/usr/bin/env python3
"""Tests of the benchmark report: growth verdicts, statistics, toast intervals and tables."""

import os
import sys
import unittest

sys.path.insert(0, os.path.join(os.path.dirname(__file__), "..", "..", "scripts"))
import bench_report as report  # noqa: E402


def run(name, cpu, real=None, unit="us", **extra):
    entry = {"name": name, "run_name": name, "run_type": "iteration", "cpu_time": cpu,
             "real_time": cpu if real is None else real, "time_unit": unit}
    entry.update(extra)
    return entry


def family(name, sizes, cost):
    return [run("BM_%s/%d" % (name, n), cost(n)) for n in sizes]


class GrowthTest(unittest.TestCase):
    def verdict(self, cost):
        families, _ = report.parse_native({"benchmarks": family("X", [100, 1000, 10000], cost)})
        return report.linearity(report.growth_exponents(families["X"]))

    def test_verdicts_follow_the_growth_between_sizes(self):
        self.assertEqual(self.verdict(lambda n: 3.0 * n), "linear")
        self.assertEqual(self.verdict(lambda n: 2.0 * n + 5), "linear")
        self.assertEqual(self.verdict(lambda n: 0.01 * n * n), "superlinear")
        # Only the last step grows too fast: still flagged.
        self.assertEqual(self.verdict(lambda n: n if n < 10000 else 20 * n), "superlinear")
        self.assertEqual(self.verdict(lambda n: 5000.0 + 0.001 * n), "sublinear")

    def test_exponent_is_the_slope_on_log_axes(self):
        points = [{"size": 10, "cpu_ns": 100.0}, {"size": 100, "cpu_ns": 10000.0}]
        ((a, b, k),) = report.growth_exponents(points)
        self.assertEqual((a, b), (10, 100))
        self.assertAlmostEqual(k, 2.0)
        self.assertEqual(report.linearity([]), "n/a")

    def test_parse_sorts_by_size_converts_units_and_keeps_fits(self):
        doc = {"benchmarks": [
            run("BM_Y/1000", 2.0, real=3.0, unit="ms"),
            run("BM_Y/10", 20.0, unit="us", per_record=2e-6),
            run("BM_Plain", 5.0, unit="ns"),
            {"name": "BM_Y_BigO", "run_name": "BM_Y", "run_type": "aggregate",
             "aggregate_name": "BigO", "big_o": "N", "cpu_coefficient": 1.0},
            {"name": "BM_Y_RMS", "run_name": "BM_Y", "run_type": "aggregate",
             "aggregate_name": "RMS", "rms": 0.04},
        ]}
        families, fits = report.parse_native(doc)
        self.assertEqual([p["size"] for p in families["Y"]], [10, 1000])
        self.assertEqual(families["Y"][0]["cpu_ns"], 20000.0)
        self.assertAlmostEqual(families["Y"][0]["per_record_ns"], 2000.0)
        self.assertEqual(families["Y"][1]["real_ns"], 3e6)
        self.assertEqual(families["Plain"][0]["size"], None)
        self.assertEqual(fits["Y"], {"big_o": "N", "rms": 0.04})


class StatisticsTest(unittest.TestCase):
    def test_median_and_nearest_rank_percentile(self):
        self.assertEqual(report.median([5, 1, 3]), 3)
        self.assertEqual(report.median([4, 1, 3, 2]), 2.5)
        values = list(range(1, 21))  # 20 tries
        self.assertEqual(report.percentile(values, 95), 19)
        self.assertEqual(report.percentile(values, 100), 20)
        self.assertEqual(report.percentile([7], 95), 7)
        self.assertEqual(report.percentile(list(reversed(values)), 50), 10)
        with self.assertRaises(ValueError):
            report.median([])

    def test_slide_intervals_split_at_the_hold_and_skip_the_first_sighting(self):
        moves = [[0, 1280], [25, 1189], [45, 1107], [65, 1034],   # slide-in
                 [5020, 642], [5060, 635], [5081, 630]]           # slide-out after the hold
        slide_in, slide_out = report.slide_intervals(moves)
        self.assertEqual(slide_in, [20, 20])
        self.assertEqual(slide_out, [40, 21])
        self.assertEqual(report.slide_intervals([[0, 1280]]), ([], []))
        self.assertEqual(report.slide_intervals([]), ([], []))

    def test_format_picks_a_readable_unit(self):
        self.assertEqual(report.format_ns(950), "950 ns")
        self.assertEqual(report.format_ns(1500), "1.5 µs")
        self.assertEqual(report.format_ns(2.5e7), "25 ms")
        self.assertEqual(report.format_ns(3e9), "3 s")


class RenderTest(unittest.TestCase):
    NATIVE = {"context": {"date": "today", "load_avg": [1.0, 0.5, 0.2]},
              "benchmarks": family("Lin", [100, 1000], lambda n: 2.0 * n)
              + family("Sq", [10, 100], lambda n: 1.0 * n * n)
              + [dict(run("BM_Bad/10", 0), error_occurred=True, error_message="did not load")]}

    def test_native_table_flags_only_the_nonlinear_family(self):
        text = report.render(self.NATIVE, None, None)
        self.assertIn("| Lin | 100 | 200 µs |", text)
        self.assertIn("| Sq | 10 |", text)
        self.assertIn("- Sq: superlinear", text)
        self.assertNotIn("- Lin:", text)
        self.assertIn("skipped: did not load", text)
        self.assertIn("Not measured in this run.", text)

    def test_wine_table_gives_latency_ratios_and_pacing(self):
        wine = {
            "unlock_latency_ms": [100 + 20 * i for i in range(20)],
            "idle": {"open_achievements": "20 open",
                     "laurelight": {"cpu_ms": 600, "wall_ms": 30000, "peak_working_set": 20 * 2**20,
                                    "wineserver_cpu_ms": 90, "unix_cpu_ms": 610},
                     "baseline": {"cpu_ms": 200, "wall_ms": 30000, "peak_working_set": 16 * 2**20,
                                  "wineserver_cpu_ms": 30, "unix_cpu_ms": 0}},
            "toast_moves": [[0, 1280], [20, 1189], [41, 1107], [5000, 640], [5022, 642]],
        }
        text = report.render(self.NATIVE, wine, "Linux box")
        self.assertIn("| Unlock latency, median of 20 | 290 ms | 500 ms poll period | 0.58 × period |", text)
        self.assertIn("95th percentile | 460 ms", text)
        self.assertIn("600 ms (2.00% of a core) | 200 ms empty message loop | 3.00 × |", text)
        self.assertIn("| 20.0 MiB | 16.0 MiB empty message loop | 1.25 × |", text)
        self.assertIn("wineserver CPU over the same window | 90 ms | 30 ms | 3.00 × |", text)
        self.assertIn("seen from Linux (/proc) | 610 ms | 0 ms | > 61 × (reference under one 10 ms tick) |", text)
        self.assertIn("Toast slide-in: 1 intervals between moves | median 21.0 ms", text)
        self.assertIn("Toast slide-out: 1 intervals between moves | median 22.0 ms", text)
        self.assertIn("```\nLinux box\n```", text)

    def test_open_achievement_cost_gives_shares_of_a_core(self):
        wine = {"open_cost": [{"kind": "process_name", "open": 100, "cpu_ms": 3000, "wall_ms": 15000,
                               "wineserver_cpu_ms": 750,
                               "check": {"cpu_ms_per_check": 0.4, "wall_ms_per_check": 1.25},
                               "unlock_latency_ms": [310.4, 1290, 95]},
                              {"kind": "window_title", "open": 20, "cpu_ms": 150, "wall_ms": 15000}]}
        text = report.render(self.NATIVE, wine, None)
        self.assertIn("| CPU with 100 open achievements, all process names | 20.0% of a core | "
                      "wineserver 5.0% | 0.200% of a core per open achievement; one check alone "
                      "0.40 ms CPU, 1.25 ms wall; the list's last unlock after 310 / 1290 / 95 ms |",
                      text)
        self.assertIn("| CPU with 20 open achievements, all window titles | 1.0% of a core |  | "
                      "0.050% of a core per open achievement |", text)

    def test_an_idle_reference_under_one_tick_gives_a_lower_bound(self):
        self.assertEqual(report.ratio_text(1330, 0), "> 133 × (reference under one 10 ms tick)")
        self.assertEqual(report.ratio_text(30, 20), "1.50 ×")

    def test_missing_wine_figures_are_reported_as_not_measured(self):
        text = report.render(self.NATIVE, {"unlock_latency_ms": []}, None)
        self.assertIn("| Unlock latency | not measured |", text)
        self.assertIn("| Idle CPU and working set | not measured |", text)
        self.assertIn("| Toast slide-out frame pacing | not measured |", text)


if __name__ == "__main__":
    unittest.main()
