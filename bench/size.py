#!/usr/bin/env python3
"""Prints the installer's size against the aim, its biggest sections and its resources by kind."""
import sys
from pathlib import Path

ROOT = Path(__file__).resolve().parents[1]
sys.path.insert(0, str(ROOT / "tools" / "pe"))
from pe_file import Pe  # noqa: E402

# 1.5 MB, in decimal megabytes as download sizes are told.
AIM = 1_500_000
KINDS = {3: "icon frames", 6: "strings", 14: "icon group", 16: "version information", 24: "manifest",
         1000: "translations", 2000: "archive tool (7za.exe)", 3000: "logo"}


def kib(n):
    return f"{n / 1024:9.1f} KiB"


def main():
    exe = Path(sys.argv[1])
    data = exe.read_bytes()
    pe = Pe(data)
    print(f"{exe}: {len(data)} bytes ({len(data) / 1e6:.2f} MB, {len(data) / 1048576:.2f} MiB);"
          f" aim at most {AIM / 1e6:.2f} MB ({'met' if len(data) <= AIM else 'NOT met'})")
    print("biggest sections:")
    for name, size in sorted(pe.section_sizes, key=lambda s: -s[1])[:6]:
        print(f"  {name:10} {kib(size)}")
    by_kind = {}
    for (kind, _), blob in pe.resources().items():
        by_kind[kind] = by_kind.get(kind, 0) + len(blob)
    print("resources:")
    for kind, size in sorted(by_kind.items(), key=lambda k: -k[1]):
        print(f"  {KINDS.get(kind, f'type {kind}'):26} {kib(size)}")
    code = len(data) - sum(by_kind.values())
    print(f"everything but the resources: {kib(code).strip()}")


if __name__ == "__main__":
    main()
