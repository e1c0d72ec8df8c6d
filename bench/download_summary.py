#!/usr/bin/env python3
"""Summarises bench/download's figure lines (stdin) for a body of SIZE bytes.

Each line: NAME key=value ... as printed by the benchmark programs
(downloader, bare_wininet_<block bytes>), or "curl seconds=S". The best round
of each way counts; the median is shown.
"""
import statistics
import sys

ONE_MIB_LOOP = "bare_wininet_1048576"


def label(name):
    if name.startswith("bare_wininet_"):
        block = int(name.rsplit("_", 1)[1])
        size = f"{block // 1048576} MiB" if block % 1048576 == 0 else f"{block // 1024} KiB"
        return f"bare loop {size}"
    return name


def main():
    size = int(sys.argv[1])
    mib = size / 2**20
    runs = {}
    for line in sys.stdin:
        name, *parts = line.split()
        runs.setdefault(name, []).append(dict(p.split("=", 1) for p in parts))

    def rates(name):
        return [mib / float(r["seconds"]) for r in runs[name]]

    def peak(name, key="peak_working_set_kib"):
        return max(int(r[key]) for r in runs[name])

    loops = sorted((n for n in runs if n.startswith("bare_wininet_")), key=lambda n: int(n.rsplit("_", 1)[1]))
    print(f"{'':18}{'best MiB/s':>12}{'median':>10}{'peak WS KiB':>13}{'before transfer':>17}{'CPU s':>8}")
    for name in ["downloader", *loops, "curl"]:
        r = rates(name)
        if name == "curl":
            rest = f"{'-':>13}{'-':>17}{'-':>8}"
        else:
            cpu = min(float(x["cpu_seconds"]) for x in runs[name])
            rest = f"{peak(name):>13}{peak(name, 'start_peak_working_set_kib'):>17}{cpu:>8.2f}"
        print(f"{label(name):18}{max(r):>12.1f}{statistics.median(r):>10.1f}{rest}")

    best_loop = max(("bare_wininet_4096", ONE_MIB_LOOP), key=lambda n: max(rates(n)))
    ratio = max(rates("downloader")) / max(rates(best_loop))
    median = statistics.median(rates("downloader")) / statistics.median(rates(best_loop))
    print(f"best bare loop: {label(best_loop)}")
    print(f"downloader / best bare loop: {ratio:.3f} (median {median:.3f}; aim >= 0.9)")
    # What the transfer adds to its process: the two programs' own images
    # differ (bench_downloader links the installer's libraries), which says
    # nothing of what a download costs.
    def added(name):
        return max(int(r["peak_working_set_kib"]) - int(r["start_peak_working_set_kib"]) for r in runs[name])

    extra = added("downloader") - added(ONE_MIB_LOOP)
    print(
        f"working set the transfer adds: downloader {added('downloader')} KiB, "
        f"1 MiB loop {added(ONE_MIB_LOOP)} KiB"
    )
    print(f"downloader peak working set above the 1 MiB loop: {extra} KiB (aim <= 2048)")
    print(f"(whole-process peaks, program images included: {peak('downloader') - peak(ONE_MIB_LOOP)} KiB apart)")


if __name__ == "__main__":
    main()
