#!/usr/bin/env python3
"""Ratio table for bench_string.

Usage: bench_string --benchmark_format=json [--benchmark_repetitions=N] > out.json
       python3 ratios.py out.json

For every conversion, input mix and size it prints how many times faster String is than the
fastest ICU routine measured for that conversion in the same run (ICU/String, >1 means
faster), what fraction of memcpy's speed for the same output bytes it reaches (vs memcpy), and
the same ICU ratio for the portable kernel alone (portable); then whether each target holds.
"""
import json
import re
import sys
from collections import defaultdict

MIXES = {"0": "ascii", "1": "mixed", "2": "emoji"}
NAME = re.compile(r"^BM_(\w+?)_(\w+)/mix:(\d+)/KiB:(\d+)")


def load(path):
    with open(path) as f:
        data = json.load(f)
    times = defaultdict(list)  # (op, impl, mix, kib) -> cpu times in ns
    medians = {}
    scale = {"ns": 1.0, "us": 1e3, "ms": 1e6, "s": 1e9}
    for bench in data["benchmarks"]:
        match = NAME.match(bench["run_name"] if "run_name" in bench else bench["name"])
        if not match or bench.get("error_occurred"):
            continue
        key = match.groups()
        t = bench["cpu_time"] * scale[bench.get("time_unit", "ns")]
        if bench.get("run_type") == "aggregate":
            if bench.get("aggregate_name") == "median":
                medians[key] = t
        else:
            times[key].append(t)
    result = {k: sorted(v)[len(v) // 2] for k, v in times.items()}
    result.update(medians)
    return result


def main():
    times = load(sys.argv[1])
    groups = sorted({(op, mix, kib) for (op, _, mix, kib) in times},
                    key=lambda g: (g[0], g[1], int(g[2])))
    print(f"{'conversion':<13} {'mix':<6} {'KiB':>5} {'String us':>10} {'fastest ICU':<20}"
          f" {'ICU/String':>10} {'vs memcpy':>10} {'portable':>9}")
    failures = []
    for op, mix, kib in groups:
        ours = times.get((op, "String", mix, kib))
        portable = times.get((op, "Portable", mix, kib))
        memcpy = times.get((op, "Memcpy", mix, kib))
        icu = {impl: t for (o, impl, m, k), t in times.items()
               if o == op and m == mix and k == kib and impl.startswith("Icu")}
        if ours is None or not icu:
            continue
        best_name, best = min(icu.items(), key=lambda item: item[1])
        speedup = best / ours
        memcpy_share = memcpy / ours if memcpy else float("nan")
        portable_speedup = best / portable if portable else float("nan")
        print(f"{op:<13} {MIXES[mix]:<6} {kib:>5} {ours / 1e3:>10.1f} {best_name:<20}"
              f" {speedup:>10.2f} {memcpy_share:>10.2f} {portable_speedup:>9.2f}")
        if op == "Utf8Decode" and mix == "0" and kib == "64":
            if speedup < 3:
                failures.append(f"UTF-8 ASCII decoding at 64 KiB is {speedup:.2f}x ICU (< 3x)")
            if memcpy_share < 0.5:
                failures.append(f"UTF-8 ASCII decoding at 64 KiB reaches {memcpy_share:.2f}"
                                " of memcpy (< 0.5)")
        if speedup < 1:
            failures.append(f"{op} {MIXES[mix]} {kib} KiB is slower than {best_name}"
                            f" ({speedup:.2f}x)")
    print()
    if failures:
        print("targets missed:")
        for failure in failures:
            print("  " + failure)
        sys.exit(1)
    print("all targets met: UTF-8 ASCII decoding >= 3x ICU and >= 0.5 memcpy at 64 KiB;"
          " every conversion and mix at least as fast as ICU's fastest routine")


if __name__ == "__main__":
    main()
