#!/usr/bin/env python3
"""Ratio table for bench_containers: the hash table's time over each baseline's.

Usage:
    bench_containers --benchmark_format=json [--benchmark_repetitions=N] > out.json
    python3 bench/containers/ratio_table.py out.json

With repetitions, the median of each benchmark is used; otherwise its single run. Times
are CPU nanoseconds per item: per lookup, per routing cycle, per inserted key.
"""

import json
import re
import sys

NS_PER_UNIT = {"ns": 1.0, "us": 1e3, "ms": 1e6, "s": 1e9}
NAME = re.compile(r"^(BM_\w+)<(\w+)>/(\d+)")
OURS = "QzTable"
BASELINES = ("StdMap", "AbslMap")

# Targets: (benchmark, largest argument it applies to, baseline, highest ratio)
TARGETS = (
    ("BM_Routing", 1024, "StdMap", 0.5),
    ("BM_FindPresent", 65536, "AbslMap", 1.25),
)


def load(path):
    with open(path) as f:
        runs = json.load(f)["benchmarks"]
    have_medians = any(r.get("aggregate_name") == "median" for r in runs)
    times = {}
    slots = {}
    for run in runs:
        if have_medians and run.get("aggregate_name") != "median":
            continue
        match = NAME.match(run["name"])
        if not match:
            continue
        family, table, arg = match.group(1), match.group(2), int(match.group(3))
        if "items_per_second" in run:
            times[(family, arg, table)] = 1e9 / run["items_per_second"]
        else:
            times[(family, arg, table)] = run["cpu_time"] * NS_PER_UNIT[run.get("time_unit", "ns")]
        if "slots_per_item" in run:
            slots[(family, arg, table)] = run["slots_per_item"]
    return times, slots


def main():
    if len(sys.argv) != 2:
        sys.exit(__doc__)
    times, slots = load(sys.argv[1])
    rows = sorted({(family, arg) for family, arg, _ in times})
    header = "%-20s %8s %10s" % ("benchmark", "arg", "ours ns")  # per item
    for base in BASELINES:
        header += " %10s %8s" % (base + " ns", "ratio")
    header += "   slots/item: ours  std  absl"
    print(header)
    print("-" * len(header))
    for family, arg in rows:
        ours = times.get((family, arg, OURS))
        if ours is None:
            continue
        line = "%-20s %8d %10.2f" % (family, arg, ours)
        for base in BASELINES:
            other = times.get((family, arg, base))
            line += " %10.2f %8.2f" % (other, ours / other) if other else " %10s %8s" % ("-", "-")
        line += "              %5.1f %4.1f %5.1f" % tuple(
            slots.get((family, arg, t), float("nan")) for t in (OURS,) + BASELINES)
        print(line)
    print()
    for family, limit, base, highest in TARGETS:
        ratios = [times[(f, a, OURS)] / times[(f, a, base)]
                  for f, a in rows
                  if f == family and a <= limit and (f, a, base) in times and (f, a, OURS) in times]
        if ratios:
            worst = max(ratios)
            verdict = "met" if worst <= highest else "missed"
            print("%s up to %d vs %s: worst ratio %.2f, target %.2f: %s"
                  % (family, limit, base, worst, highest, verdict))


if __name__ == "__main__":
    main()
