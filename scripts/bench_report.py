#!/usr/bin/env python3
"""Writes the benchmark table (Markdown) from the native Google Benchmark JSON and the
figures measured under Wine.

    bench_report.py --native native.json [--wine wine.json] [--machine machine.txt] --out report.md

The native part shows every size's time, the cost per item and how the time grows from one
size to the next as an exponent k (time ~ size^k): k near 1 is linear, and anything outside
LINEAR_TOLERANCE is flagged. The Wine part shows unlock latency against the 500 ms poll
period, the idle cost and peak working set against the empty message-loop program as
ratios, the intervals between a toast's observed moves against its 20 ms timer, and how soon
the main window answers another program against the 250 ms it may take at most.
"""

import argparse
import json
import math
import sys

LINEAR_TOLERANCE = 0.15
POLL_PERIOD_MS = 500
SLIDE_TIMER_MS = 20
ANSWER_LIMIT_MS = 250

_UNIT_NS = {"ns": 1.0, "us": 1e3, "ms": 1e6, "s": 1e9}


def to_ns(value, unit):
    return value * _UNIT_NS[unit]


def format_ns(ns):
    """A duration in the unit that keeps three significant figures readable."""
    for unit, scale in (("s", 1e9), ("ms", 1e6), ("µs", 1e3)):
        if ns >= scale:
            return "%.3g %s" % (ns / scale, unit)
    return "%.3g ns" % ns


def family_and_size(name):
    """'BM_LoadConfig/1000' -> ('LoadConfig', 1000); a name without a size -> (name, None)."""
    base, _, arg = name.partition("/")
    family = base[3:] if base.startswith("BM_") else base
    return family, int(arg) if arg.isdigit() else None


def parse_native(document):
    """Groups the iteration runs by family, sorted by size, and keeps each family's fit."""
    families = {}
    fits = {}
    for run in document.get("benchmarks", []):
        if run.get("error_occurred"):
            family, size = family_and_size(run["name"])
            families.setdefault(family, []).append({"size": size, "error": run.get("error_message", "")})
            continue
        if run.get("run_type") == "aggregate":
            family, _ = family_and_size(run["run_name"])
            if run.get("aggregate_name") == "BigO":
                fits.setdefault(family, {})["big_o"] = run.get("big_o", "")
            elif run.get("aggregate_name") == "RMS":
                fits.setdefault(family, {})["rms"] = run.get("rms", 0.0)
            continue
        family, size = family_and_size(run["name"])
        unit = run.get("time_unit", "ns")
        point = {
            "size": size,
            "cpu_ns": to_ns(run["cpu_time"], unit),
            "real_ns": to_ns(run["real_time"], unit),
        }
        if "per_record" in run:
            point["per_record_ns"] = run["per_record"] * 1e9
        families.setdefault(family, []).append(point)
    for points in families.values():
        points.sort(key=lambda p: (p["size"] is None, p["size"] or 0))
    return families, fits


def growth_exponents(points, key="cpu_ns"):
    """(size, next size, k) for each neighbouring pair of sized, successful points."""
    sized = [p for p in points if p.get("size") and p.get(key, 0) > 0]
    result = []
    for a, b in zip(sized, sized[1:]):
        k = math.log(b[key] / a[key]) / math.log(b["size"] / a["size"])
        result.append((a["size"], b["size"], k))
    return result


def linearity(exponents, tolerance=LINEAR_TOLERANCE):
    """'linear', 'superlinear' (some step grows faster) or 'sublinear' (fixed cost dominates)."""
    if not exponents:
        return "n/a"
    if any(k > 1 + tolerance for _, _, k in exponents):
        return "superlinear"
    if any(k < 1 - tolerance for _, _, k in exponents):
        return "sublinear"
    return "linear"


def median(values):
    ordered = sorted(values)
    if not ordered:
        raise ValueError("median of nothing")
    middle = len(ordered) // 2
    if len(ordered) % 2:
        return ordered[middle]
    return (ordered[middle - 1] + ordered[middle]) / 2


def percentile(values, q):
    """Nearest-rank percentile: the smallest value with at least q% of the values at or below."""
    ordered = sorted(values)
    if not ordered:
        raise ValueError("percentile of nothing")
    rank = max(1, math.ceil(q / 100 * len(ordered)))
    return ordered[rank - 1]


def slide_intervals(moves, hold_ms=1000):
    """Intervals in ms between a toast's observed moves, as (slide-in, slide-out).

    moves are [t_ms, x] samples, each taken when x differed from the sample before; the first
    is where the toast was first seen, not a move. A gap longer than hold_ms is the hold
    between the two slides and belongs to neither.
    """
    times = [t for t, _ in moves[1:]]
    slides = [[]]
    for a, b in zip(times, times[1:]):
        if b - a > hold_ms:
            slides.append([])
        else:
            slides[-1].append(b - a)
    return slides[0], (slides[1] if len(slides) > 1 else [])


def render_native(families, fits):
    lines = [
        "| Benchmark | Size | CPU time | Wall time | CPU per item | Growth k (CPU) | Fit | Verdict |",
        "|---|---:|---:|---:|---:|---|---|---|",
    ]
    flagged = []
    for family, points in families.items():
        exponents = growth_exponents(points)
        verdict = linearity(exponents)
        fit = fits.get(family, {})
        fit_text = ("O(%s), RMS %.0f%%" % (fit["big_o"], fit.get("rms", 0) * 100)) if "big_o" in fit else ""
        growth = ", ".join("%g→%g: %.2f" % e for e in exponents)
        for index, point in enumerate(points):
            size = point.get("size")
            first = index == 0
            if "error" in point:
                lines.append("| %s | %s | skipped: %s | | | | | |" % (family, size or "", point["error"]))
                continue
            if "per_record_ns" in point:
                per_item = format_ns(point["per_record_ns"])
            elif size:
                per_item = format_ns(point["cpu_ns"] / size)
            else:
                per_item = ""
            lines.append("| %s | %s | %s | %s | %s | %s | %s | %s |" % (
                family if first else "", size or "", format_ns(point["cpu_ns"]),
                format_ns(point["real_ns"]), per_item,
                growth if first else "", fit_text if first else "",
                ("**%s**" % verdict if verdict not in ("linear", "n/a") else verdict) if first else ""))
        if verdict in ("superlinear", "sublinear"):
            flagged.append((family, verdict, growth))
    return lines, flagged


def render_wine(wine):
    lines = []
    latencies = wine.get("unlock_latency_ms") or []
    lines += ["| Measure | Laurelight | Reference | Ratio / note |", "|---|---:|---:|---|"]
    if latencies:
        lines.append("| Unlock latency, median of %d | %.0f ms | %d ms poll period | %.2f × period |" % (
            len(latencies), median(latencies), POLL_PERIOD_MS, median(latencies) / POLL_PERIOD_MS))
        lines.append("| Unlock latency, 95th percentile | %.0f ms | %d ms poll period | %.2f × period |" % (
            percentile(latencies, 95), POLL_PERIOD_MS, percentile(latencies, 95) / POLL_PERIOD_MS))
        lines.append("| Unlock latency, min / max | %.0f / %.0f ms | | |" % (min(latencies), max(latencies)))
    else:
        lines.append("| Unlock latency | not measured | | |")
    idle = wine.get("idle") or {}
    app, base = idle.get("laurelight"), idle.get("baseline")
    if app and base:
        seconds = app["wall_ms"] / 1000
        lines.append("| CPU time over %.0f s idle (%s) | %.0f ms (%.2f%% of a core) | %.0f ms empty message loop | %s |" % (
            seconds, idle.get("open_achievements", "open achievements"), app["cpu_ms"],
            100 * app["cpu_ms"] / app["wall_ms"], base["cpu_ms"], ratio_text(app["cpu_ms"], base["cpu_ms"])))
        if "unix_cpu_ms" in app and "unix_cpu_ms" in base:
            lines.append("| Same CPU time seen from Linux (/proc) | %.0f ms | %.0f ms | %s |" % (
                app["unix_cpu_ms"], base["unix_cpu_ms"], ratio_text(app["unix_cpu_ms"], base["unix_cpu_ms"])))
        if "wineserver_cpu_ms" in app and "wineserver_cpu_ms" in base:
            lines.append("| wineserver CPU over the same window | %.0f ms | %.0f ms | %s |" % (
                app["wineserver_cpu_ms"], base["wineserver_cpu_ms"],
                ratio_text(app["wineserver_cpu_ms"], base["wineserver_cpu_ms"])))
        lines.append("| Peak working set | %.1f MiB | %.1f MiB empty message loop | %s |" % (
            app["peak_working_set"] / 2**20, base["peak_working_set"] / 2**20,
            ratio_text(app["peak_working_set"], base["peak_working_set"])))
    else:
        lines.append("| Idle CPU and working set | not measured | | |")
    lines += render_open_cost(wine.get("open_cost") or [])
    lines += render_answer_time(wine.get("answer_time") or [])
    slides = slide_intervals(wine.get("toast_moves") or [])
    for name, intervals in zip(("slide-in", "slide-out"), slides):
        if intervals:
            lines.append("| Toast %s: %d intervals between moves | median %.1f ms, min %.1f, max %.1f | %d ms timer | p95 %.1f ms |" % (
                name, len(intervals), median(intervals), min(intervals), max(intervals),
                SLIDE_TIMER_MS, percentile(intervals, 95)))
        else:
            lines.append("| Toast %s frame pacing | not measured | | |" % name)
    return lines


TRIGGER_NAMES = {"process_name": "process names", "window_title": "window titles"}


def render_open_cost(runs):
    """One row per run: Laurelight's and the wineserver's share of a core with that many
    open achievements of one trigger type, its share per open achievement, what one check
    costs alone, and how soon the list's last achievements unlocked."""
    lines = []
    for run in runs:
        share = 100 * run["cpu_ms"] / run["wall_ms"]
        server = run.get("wineserver_cpu_ms")
        server_text = "wineserver %.1f%%" % (100 * server / run["wall_ms"]) if server is not None else ""
        note = "%.3f%% of a core per open achievement" % (share / run["open"])
        check = run.get("check")
        if check:
            note += "; one check alone %.2f ms CPU, %.2f ms wall" % (
                check["cpu_ms_per_check"], check["wall_ms_per_check"])
        if run.get("unlock_latency_ms"):
            note += "; the list's last unlock after %s ms" % " / ".join(
                "%.0f" % ms for ms in run["unlock_latency_ms"])
        lines.append("| CPU with %d open achievements, all %s | %.1f%% of a core | %s | %s |" % (
            run["open"], TRIGGER_NAMES.get(run["kind"], run["kind"]), share, server_text, note))
    return lines


def render_answer_time(rows):
    """One row per measurement: the main window's answer times, both CPU shares over the same
    20 s, and the load average around it."""
    lines = []
    for row in rows:
        what = "during a burst of 10 unlocks" if row["burst"] else "idle"
        note = "Laurelight %.0f%%, wineserver %.0f%% of a core; load %.1f to %.1f" % (
            100 * row["laurelight_share"], 100 * row["wineserver_share"],
            row["load_before"], row["load_after"])
        if row.get("burst_within_s") is not None:
            note += "; the ten saved within %.0f s of their program's start" % row["burst_within_s"]
        lines.append("| Window answer with %d open, %s (%d messages) | p50 %.1f / p99 %.1f / max %.0f ms | %d ms at most | %s |" % (
            row["open"], what, row["count"], row["p50"], row["p99"], row["max"], ANSWER_LIMIT_MS, note))
    return lines


CLOCK_TICK_MS = 10  # the resolution of the thread times Wine reports


def ratio_text(value, reference):
    if reference > 0:
        return "%.2f ×" % (value / reference)
    # An idle reference can stay under one clock tick over the whole window.
    return "> %.0f × (reference under one %d ms tick)" % (value / CLOCK_TICK_MS, CLOCK_TICK_MS)


def render(native, wine, machine):
    families, fits = parse_native(native)
    table, flagged = render_native(families, fits)
    context = native.get("context", {})
    out = ["# Laurelight benchmarks", ""]
    out += ["## Core (native, Release, desktop and lists through the test double)", ""]
    out.append("Run %s; load average at start %s; Google Benchmark library build: %s." % (
        context.get("date", "?"), " ".join("%.1f" % v for v in context.get("load_avg", [])) or "?",
        context.get("library_build_type", "?")))
    out += ["", *table, ""]
    if flagged:
        out.append("Not linear (growth exponent outside 1 ± %.2f between neighbouring sizes):" % LINEAR_TOLERANCE)
        out += ["- %s: %s (%s)" % f for f in flagged]
    else:
        out.append("Every family grows linearly (exponent within 1 ± %.2f)." % LINEAR_TOLERANCE)
    out += ["", "## Windows program under Wine", ""]
    out += render_wine(wine) if wine else ["Not measured in this run."]
    if machine:
        out += ["", "## Machine", "", "```", machine.rstrip(), "```"]
    return "\n".join(out) + "\n"


def main(argv):
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--native", required=True)
    parser.add_argument("--wine")
    parser.add_argument("--machine")
    parser.add_argument("--out", required=True)
    args = parser.parse_args(argv)
    with open(args.native, encoding="utf-8") as f:
        native = json.load(f)
    wine = None
    if args.wine:
        with open(args.wine, encoding="utf-8") as f:
            wine = json.load(f)
    machine = None
    if args.machine:
        with open(args.machine, encoding="utf-8") as f:
            machine = f.read()
    with open(args.out, "w", encoding="utf-8") as f:
        f.write(render(native, wine, machine))
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv[1:]))
