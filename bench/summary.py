#!/usr/bin/env python3
"""Summarises the raw figures of a benchmark run (scripts/bench.sh writes them).

    summary.py RAW [--date YYYY-MM-DD]

Each line of RAW is one timed step:

    TAG STEP MS PAINTS BAR_PX PEAK_KB [DIALOG_CPU DIALOG_WAIT WORKER_CPU WORKER_WAIT] [SENT QUEUED]

TAG is warmup-SIZE or SIZE-ROUND; STEP is setup, uninstall, copy, delete,
copymsg or deletemsg, or setuplog and uninstalllog (the programs with the
diagnostic log, scripts/bench.sh --log); PAINTS and BAR_PX are "-" where paints were not counted
(the walkers, and the programs in timed rounds). The summary gives per medium
the median times of the timed rounds; each program's fair floor, the walker
with messages that does the same work plainly (copymsg for Setup, deletemsg for
Uninstall), and the medians of the per-round ratios program / floor and
differences program - floor (its start-up and finish); the most paints
(WM_PAINT) a progress bar received in any run (in practice the warm-up, whose
rounds count them) against the bar's width with how they came; the thread profile of each program's rounds, and the largest peak memory
of each step.
"""
import argparse
import statistics
from collections import defaultdict

PROGRAMS = [("setup", "copy"), ("uninstall", "delete")]


def number(text):
    """A figure of the raw file; a missing one counts as 0."""
    try:
        return float(text)
    except (TypeError, ValueError):
        return 0.0


def median(values):
    return statistics.median(values) if values else 0


def summarise(lines, date):
    ms = defaultdict(list)  # (size, step) -> times in file order
    times = {}  # (size, step, round) -> time
    rounds = defaultdict(list)  # size -> rounds in file order
    most_paints, paint_split, bar = {}, {}, {}
    peak = defaultdict(float)
    profile = defaultdict(str)
    for line in lines:
        f = line.split()
        if not f:
            continue
        size, _, rnd = f[0].partition("-")
        step = f[1]
        timed = size != "warmup"
        if not timed:
            size = rnd
        if timed:
            ms[size, step].append(number(f[2]))
            times[size, step, rnd] = number(f[2])
            if rnd not in rounds[size]:
                rounds[size].append(rnd)
        if f[3] != "-":
            if number(f[3]) > most_paints.get((size, step), 0):
                most_paints[size, step] = number(f[3])
                paint_split[size, step] = "%s/%s" % (f[10] if len(f) > 10 else "", f[11] if len(f) > 11 else "")
            bar[size, step] = number(f[4])
        peak[step] = max(peak[step], number(f[5] if len(f) > 5 else None))
        if timed and len(f) >= 10 and step in ("setup", "uninstall"):
            profile[size, step] += (
                "  %s round %s: dialog thread %d ms on CPU, %d ms waiting for one; "
                "worker %d ms on CPU, %d ms waiting for one; the rest blocked\n"
                % (step, rnd, number(f[6]), number(f[7]), number(f[8]), number(f[9]))
            )

    out = []
    out.append("Benchmark %s (medians of the timed rounds; ratio and excess = medians of the per-round"
               " program/floor and program-floor)" % date)
    out.append("(floor: the walker with one message per entry to a window of another thread, which for"
               " Uninstall shows each path; walker: the plain walk)")
    out.append("%-6s %-10s %9s %9s %9s %7s %9s %14s %s"
               % ("medium", "program", "ms", "walker", "floor", "ratio", "excess", "paints/bar px", "(sent/queued)"))
    for size in ("small", "large"):
        if size not in rounds:
            continue
        for program, walker in PROGRAMS:
            floor = walker + "msg"
            ratios, excess = [], []
            for rnd in rounds[size]:
                base = times.get((size, floor, rnd), 0)
                if base > 0:
                    ratios.append(times.get((size, program, rnd), 0) / base)
                    excess.append(times.get((size, program, rnd), 0) - base)
            out.append("%-6s %-10s %9d %9d %9d %7.2f %9d %7d/%-6d %s" % (
                size, program, median(ms[size, program]), median(ms[size, walker]), median(ms[size, floor]),
                median(ratios), median(excess), most_paints.get((size, program), 0),
                bar.get((size, program), 0), "(%s)" % paint_split.get((size, program), "")))
    for size in ("small", "large"):
        for program, _ in PROGRAMS:
            logged = program + "log"
            ratios = [times[size, logged, rnd] / times[size, program, rnd] for rnd in rounds.get(size, [])
                      if times.get((size, program, rnd), 0) > 0 and (size, logged, rnd) in times]
            if ratios:
                out.append("%-6s %-10s %9d with /LOG against %d without: ratio %.3f (median of %d rounds)" % (
                    size, program, median(ms[size, logged]), median(ms[size, program]), median(ratios),
                    len(ratios)))
    out.append("thread profile (schedstat) of Setup and Uninstall per timed round:")
    for size in ("small", "large"):
        for program, _ in PROGRAMS:
            if profile[size, program]:
                out.append(profile[size, program].rstrip("\n"))
    mib = {step: peak[step] / 1024 for step in ("setup", "uninstall", "copy", "delete", "copymsg", "deletemsg")}
    out.append("peak memory (VmHWM, largest of all rounds): Setup %.1f MiB, Uninstall %.1f MiB, "
               "bench_copy %.1f MiB, bench_delete %.1f MiB, with messages %.1f MiB and %.1f MiB"
               % (mib["setup"], mib["uninstall"], mib["copy"], mib["delete"], mib["copymsg"], mib["deletemsg"]))
    return "\n".join(out) + "\n"


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("raw")
    parser.add_argument("--date", default="")
    args = parser.parse_args()
    with open(args.raw, encoding="utf-8") as raw:
        print(summarise(raw, args.date), end="")


if __name__ == "__main__":
    main()
