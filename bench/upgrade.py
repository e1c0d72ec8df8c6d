#!/usr/bin/env python3
"""Wall time of a silent upgrade from 2.1.0.0 to the offered version (run through bench/upgrade).

Each round installs 2.1.0.0 silently, then times the silent run that replaces it with the offered version, from the
start of the process to its end (the first process waits for its elevated copy in silent mode): once with this
build's safe upgrade (staged, then switched in by moving folders), once with the baseline build's uninstall first
and install after. The order alternates between rounds. Both serve the same fixture package from the loopback test
server.
"""

import argparse
import statistics
import subprocess
import sys
import time
from pathlib import Path

ROOT = Path(__file__).resolve().parents[1]
sys.path.insert(0, str(ROOT / "tools"))
from harness import installer as h  # noqa: E402

OLDER = "2.1.0.0"


def silent(exe, server):
    started = time.monotonic()
    result = subprocess.run(["wine", str(exe), "-test", server.base_url, "-silent"], env=h.wine_env(),
                            stdin=subprocess.DEVNULL, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL,
                            timeout=600)
    return result.returncode, time.monotonic() - started


def upgrade(exe, older, offered):
    h.reset_machine()
    code, _ = silent(exe, older)
    if code != 0 or h.reg_value(h.UNINSTALL_KEY, "DisplayVersion") != OLDER:
        raise h.E2EError(f"{exe}: version {OLDER} was not installed (exit code {code})")
    code, wall = silent(exe, offered)
    if code != 0 or h.reg_value(h.UNINSTALL_KEY, "DisplayVersion") != h.OFFERED:
        raise h.E2EError(f"{exe}: the upgrade to {h.OFFERED} did not complete (exit code {code})")
    return wall


def main():
    parser = argparse.ArgumentParser(description=__doc__)
    parser.add_argument("--baseline", required=True, help="the earlier installer build")
    parser.add_argument("--baseline-name", default="baseline")
    parser.add_argument("--rounds", type=int, default=3)
    args = parser.parse_args()
    h.prepare_prefix()
    work = h.BUILD / "bench" / "upgrade"
    older = h.start_server(h.server_tree(work / "older", version=OLDER))
    offered = h.start_server(h.server_tree(work / "offered"))
    builds = [("upgrade", h.EXE), ("replace", Path(args.baseline))]
    times = {name: [] for name, _ in builds}
    try:
        for round_ in range(1, args.rounds + 1):
            order = builds if round_ % 2 else list(reversed(builds))
            for name, exe in order:
                times[name].append(upgrade(exe, older, offered))
            print(f"round {round_}: upgrade {times['upgrade'][-1]:6.2f} s   replace {times['replace'][-1]:6.2f} s",
                  flush=True)
    finally:
        older.stop()
        offered.stop()
        h.reset_machine()
        h.stop_wine_server()
    upgrade_s = statistics.median(times["upgrade"])
    replace_s = statistics.median(times["replace"])
    print(f"silent {OLDER} -> {h.OFFERED}, median of {args.rounds} rounds:")
    labels = ["upgrade (this build, staged, then switched in)",
              f"replace ({args.baseline_name}, uninstall, then install)"]
    width = max(map(len, labels))
    print(f"  {labels[0]:{width}} {upgrade_s:6.2f} s")
    print(f"  {labels[1]:{width}} {replace_s:6.2f} s")
    print(f"upgrade / replace: {upgrade_s / replace_s:.2f}   (aim: at most 1.1)")
    return 0


if __name__ == "__main__":
    sys.exit(main())
