#!/usr/bin/env python3
"""Summarises bench/cancel's figure lines (stdin); HANG is how long the server
stays silent, the longest a reader can be seen waiting.

Each line: WAY returned=0|1 ok=0|1 cancel_to_return_seconds=S ... as printed
by bench_cancel. The Downloader's worst round counts.
"""
import sys

LABELS = {
    "flag": "flag after each read (before)",
    "close": "request handle closed only",
}


def main():
    hang = float(sys.argv[1])
    runs = {}
    for line in sys.stdin:
        name, *parts = line.split()
        fields = dict(p.split("=", 1) for p in parts if "=" in p)
        if "cancel_to_return_seconds" not in fields:
            sys.exit(f"cancel: a run was not valid: {line.strip()}")
        runs.setdefault(name, []).append(fields)

    def seconds(run):
        return f">= {hang:.0f}" if run["returned"] == "0" else f"{float(run['cancel_to_return_seconds']):.3f}"

    for name, label in LABELS.items():
        for run in runs.get(name, []):
            print(f"{label:36}cancel to return: {seconds(run)} s")
    own = runs["downloader"]
    worst = max(own, key=lambda r: (r["returned"] == "0", float(r["cancel_to_return_seconds"])))
    kept = sorted({r["bytes_at_end"] for r in own})
    print(f"{'downloader, worst of ' + str(len(own)):36}kept {', '.join(kept)} bytes of the body on disk")
    print(f"cancel to return: {seconds(worst)} s (aim: under 1)")


if __name__ == "__main__":
    main()
