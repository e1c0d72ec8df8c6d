#!/usr/bin/env python3
"""Summarises the benchmark's figure lines (stdin) for a body of SIZE bytes.

Each line: NAME key=value ... as printed by the benchmark programs, or
"curl seconds=S". The best round of each way counts; the median is shown.
"""
import statistics
import sys


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

    print(f"{'':14}{'best MiB/s':>12}{'median':>10}{'peak WS KiB':>13}{'before transfer':>17}")
    for name, label in (("downloader", "downloader"), ("bare_wininet", "bare WinINet"), ("curl", "curl")):
        r = rates(name)
        if name == "curl":
            ws = f"{'-':>13}{'-':>17}"
        else:
            ws = f"{peak(name):>13}{peak(name, 'start_peak_working_set_kib'):>17}"
        print(f"{label:14}{max(r):>12.1f}{statistics.median(r):>10.1f}{ws}")

    def cpu(name):
        return min(float(r["cpu_seconds"]) for r in runs[name])

    print(f"process CPU seconds (best round): downloader {cpu('downloader'):.2f}, "
          f"bare loop {cpu('bare_wininet'):.2f}")
    best = max(rates("downloader")) / max(rates("bare_wininet"))
    median = statistics.median(rates("downloader")) / statistics.median(rates("bare_wininet"))
    extra = peak("downloader") - peak("bare_wininet")
    grow_dl = peak("downloader") - peak("downloader", "start_peak_working_set_kib")
    grow_bare = peak("bare_wininet") - peak("bare_wininet", "start_peak_working_set_kib")
    print(f"downloader / bare loop throughput: {best:.3f} best, {median:.3f} median (aim >= 0.9)")
    print(f"downloader peak working set above the bare loop: {extra} KiB (aim <= 2048)")
    print(f"peak working set growth during the transfer: downloader {grow_dl} KiB, bare loop {grow_bare} KiB")


if __name__ == "__main__":
    main()
