#!/usr/bin/env python3
"""Summarises convert_bench's JSON output: for each workload and format, our
converter against the fastest bit-exact peer and the memcpy floor, as ratios
measured in the same run. With repetitions, the medians are used.

Usage: convert_bench --benchmark_format=json --benchmark_repetitions=5 \
           --benchmark_enable_random_interleaving=true | tools/bench_summary.py [OURS]
OURS names the run taken as ours: "ours" (the path chosen for this processor,
the default), or one path, e.g. "ours-avx2" as the stand-in for a processor
without AVX-512 (run convert_bench then with GLIBC_TUNABLES and libyuv's
LIBYUV_DISABLE_AVX512* set, so that the peers and memcpy leave AVX-512 too).
"""
import json
import sys

OURS = sys.argv[1] if len(sys.argv) > 1 else "ours"
data = json.load(sys.stdin)
rates = {}
exact = {}
repeated = any(b.get("aggregate_name") == "median" for b in data["benchmarks"])
for b in data["benchmarks"]:
    if repeated and b.get("aggregate_name") != "median":
        continue
    workload, fmt, who = b["run_name"].split("/")[:3]
    rates[(workload, fmt, who)] = b["items_per_second"] / 1e6
    exact[(workload, fmt, who)] = b.get("label", "") == "bit-exact"

print(f"{'workload':12} {'format':9} {'ours':>8} {'best peer':>18} {'ours/peer':>9} {'memcpy':>8} {'ours/memcpy':>11}  not bit-exact")
for workload in ("row", "frame", "frame-packed"):
    for fmt in dict.fromkeys(k[1] for k in rates):  # the formats in the benchmark's (the table's) order
        if (workload, fmt, OURS) not in rates or (workload, fmt, "memcpy") not in rates:
            continue  # filtered out of this run
        ours = rates[(workload, fmt, OURS)]
        peers = [(rates[k], k[2]) for k in rates if k[:2] == (workload, fmt) and k[2] in ("pixman", "libyuv", "sdl2")]
        good = [p for p in peers if exact[(workload, fmt, p[1])]]
        bad = [p[1] for p in peers if not exact[(workload, fmt, p[1])]]
        best = max(good) if good else (0, "none")
        floor = rates[(workload, fmt, "memcpy")]
        print(f"{workload:12} {fmt:9} {ours:8.0f} {best[1]:>9} {best[0]:8.0f} {ours / best[0] if best[0] else 0:9.2f} "
              f"{floor:8.0f} {ours / floor:11.2f}  {' '.join(bad)}")
print("(million pixels per second)")
