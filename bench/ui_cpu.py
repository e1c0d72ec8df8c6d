#!/usr/bin/env python3
"""CPU use of the installer during a full install from the local server (run through bench/ui-cpu).

The installer's process is watched through /proc while it installs the fixture package: its total CPU time, the
CPU time of its initial thread (the user-interface thread, which animates the progress bar and pumps messages)
and the rest (the install worker and Wine's own threads). The wall time runs from the click on Install to the
finish screen. Child programs the install starts (7-Zip, the prerequisites, cmd) are separate processes and are
not counted.
"""

import argparse
import os
import sys
import time
from pathlib import Path

ROOT = Path(__file__).resolve().parents[1]
sys.path.insert(0, str(ROOT / "tools"))
from harness import installer as h  # noqa: E402

TICK = os.sysconf("SC_CLK_TCK")


def cpu_seconds(stat_path):
    raw = Path(stat_path).read_text()
    fields = raw[raw.rindex(")") + 2:].split()
    return (int(fields[11]) + int(fields[12])) / TICK  # utime, stime


def sample(pid):
    """(process total, initial thread, {tid: (name, seconds)}) of a running process."""
    threads = {}
    for tid in os.listdir(f"/proc/{pid}/task"):
        try:
            name = Path(f"/proc/{pid}/task/{tid}/comm").read_text().strip()
            threads[int(tid)] = (name, cpu_seconds(f"/proc/{pid}/task/{tid}/stat"))
        except OSError:
            pass
    return cpu_seconds(f"/proc/{pid}/stat"), threads.get(pid, ("", 0.0))[1], threads


def measure(case, server):
    inst = case.start(server)
    inst.wait_screen("welcome", shot=False)
    total0, ui0, threads0 = sample(inst.pid)
    started = time.monotonic()
    inst.click(h.INSTALL_BUTTON)
    last = None
    while True:
        time.sleep(1.0)  # one driver query a second: its own cost to the window stays small
        try:
            last = sample(inst.pid)
        except OSError:
            raise h.E2EError("the installer ended during the install")
        kids = inst.children()
        if h.classify(kids, case.offered) == "finish_installed":
            break
        if time.monotonic() - started > 600:
            raise h.E2EError("the install did not finish within 10 minutes")
    wall = time.monotonic() - started
    total1, ui1, threads1 = sample(inst.pid)
    inst.click(h.LAUNCH_CHECKBOX)
    inst.click(h.INSTALL_BUTTON)
    inst.wait_exit(30)
    per_thread = []
    for tid, (name, seconds) in threads1.items():
        before = threads0.get(tid, (name, 0.0))[1]
        per_thread.append((seconds - before, tid, name))
    return wall, total1 - total0, ui1 - ui0, sorted(per_thread, reverse=True), inst.pid


def main():
    parser = argparse.ArgumentParser(description=__doc__)
    parser.add_argument("--runs", type=int, default=1)
    args = parser.parse_args()
    with h.Display():
        case = h.Case("bench-ui-cpu", work=h.BUILD / "bench" / "ui-cpu", shots=h.BUILD / "bench" / "ui-cpu")
        try:
            server = case.serve()
            for run in range(1, args.runs + 1):
                h.reset_machine()
                wall, total, ui, threads, pid = measure(case, server)
                others = total - ui
                print(f"run {run}: install took {wall:.1f} s wall (click on Install to finish screen)")
                print(f"  installer process CPU  {total:7.2f} s  = {100 * total / wall:5.1f} % of one core")
                print(f"  user-interface thread  {ui:7.2f} s  = {100 * ui / wall:5.1f} % of one core"
                      f"   (aim: under 2 %)")
                print(f"  other threads          {others:7.2f} s  = {100 * others / wall:5.1f} % of one core"
                      f"   (install worker, Wine)")
                for seconds, tid, name in threads[:6]:
                    marker = "  <- initial thread" if tid == pid else ""
                    print(f"      thread {tid:>7} {name:16} {seconds:7.2f} s{marker}")
        finally:
            case.close()
            h.reset_machine()
            h.stop_wine_server()
    return 0


if __name__ == "__main__":
    sys.exit(main())
