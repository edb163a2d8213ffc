#!/usr/bin/env python3
"""The breakdown of a program's run from the marks build (scripts/bench.sh writes its input).

    breakdown.py RUN [RUN ...]

Each RUN is a pair MARKS_FILE:DRIVER_LINE_FILE of one run of the marks build
(framework/CRunLog.h): the program's own phase marks, and the driver's
"bench:" line with the performance counter at the program's start and end.
Runs of the same program and medium are given together; each figure is the
median over them. Prints, per program, its phases as the time from the start
of the process (ms) and the time since the phase before.
"""
import statistics
import sys


def read_run(marks_path, driver_path):
    freq, marks = 1, {}
    with open(marks_path, encoding="latin-1") as f:
        for line in f:
            p = line.rstrip("\n").split("\t")
            if p[0].startswith("freq"):
                freq = int(p[0].split()[1])
            elif p[0] == "mark":
                marks[p[1]] = (int(p[2]), int(p[3]), int(p[4]))
    driver = {}
    with open(driver_path, encoding="latin-1") as f:
        for line in f:
            if line.startswith("bench:"):
                driver = dict(kv.split("=", 1) for kv in line.split()[1:] if "=" in kv)
    start, end = int(driver["qpc_start"]), int(driver["qpc_end"])
    ms = lambda t: (t - start) * 1000.0 / freq
    phases = {name: ms(first) for name, (first, _, _) in marks.items()}
    phases["process ended (seen by the driver)"] = ms(end)
    return driver.get("program", "?"), phases


def table(runs):
    program = runs[0][0]
    names = sorted({n for _, phases in runs for n in phases},
                   key=lambda n: statistics.median(r[1][n] for r in runs if n in r[1]))
    out = ["%s, median of %d run(s): phases" % (program, len(runs)), "",
           "| phase reached | ms from start | ms since the phase before |", "|---|---:|---:|"]
    before = 0.0
    for name in names:
        at = statistics.median(r[1][name] for r in runs if name in r[1])
        out.append("| %s | %.1f | %.1f |" % (name, at, at - before))
        before = at
    return "\n".join(out) + "\n"


def main():
    if len(sys.argv) < 2:
        sys.exit(__doc__)
    runs = [read_run(*arg.split(":", 1)) for arg in sys.argv[1:]]
    print(table(runs))


if __name__ == "__main__":
    main()
