#!/usr/bin/env python3
"""Time from launch to the first painted window (run through bench/startup).

Each run starts the program with "wine <exe>" and measures until its window is visible: the window is painted
synchronously right after it is shown (ShowWindow, then UpdateWindow), so that moment marks the first paint.
A UI driver started beforehand polls for the window every 50 ms. The installer's figure includes its relaunch from
the temporary-files folder and the manifest download from the local server; the minimal Win32 program
(bench/minimal_window.cpp) is started the same way for comparison.
"""

import argparse
import json
import statistics
import subprocess
import sys
import time
from pathlib import Path

ROOT = Path(__file__).resolve().parents[1]
sys.path.insert(0, str(ROOT / "tools"))
from harness import installer as h  # noqa: E402

MINIMAL = h.BUILD / "bench" / "minimal_window.exe"
MINIMAL_CLASS = "HelmviewBenchMinimal"


def time_to_window(case, command, window_class, exe_name):
    """Seconds from starting command to the driver seeing a visible window of that class."""
    env = h.wine_env(case.env())
    driver = subprocess.Popen(["wine", str(h.uidriver_exe()), "find", window_class, "--exe", exe_name, "--visible",
                               "--timeout", "120000"], env=env, stdin=subprocess.DEVNULL, stdout=subprocess.PIPE,
                              stderr=subprocess.DEVNULL)
    time.sleep(3)  # the driver is up and polling
    started = time.monotonic()
    program = subprocess.Popen(command, env=env, stdin=subprocess.DEVNULL, stdout=subprocess.DEVNULL,
                               stderr=subprocess.DEVNULL)
    line = driver.stdout.readline()
    elapsed = time.monotonic() - started
    driver.wait(timeout=30)
    found = json.loads(line)
    if "error" in found:
        raise h.E2EError(f"{exe_name}: {found['error']}")
    return elapsed, found["pid"], program


def main():
    parser = argparse.ArgumentParser(description=__doc__)
    parser.add_argument("--runs", type=int, default=5)
    args = parser.parse_args()
    with h.Display():
        case = h.Case("bench-startup", work=h.BUILD / "bench" / "startup", shots=h.BUILD / "bench" / "startup")
        results = {"installer": [], "minimal": []}
        try:
            h.reset_machine()
            server = case.serve()
            # One unmeasured start of each warms Wine's caches.
            for run in range(args.runs + 1):
                seconds, pid, program = time_to_window(case, ["wine", str(h.EXE), "-test", server.base_url],
                                                       h.WINDOW_CLASS, h.EXE.name)
                inst_driver = case.driver.with_pid(pid)
                inst_driver.click(h.index(h.CANCEL_BUTTON))
                inst_driver.wait_gone(timeout_ms=30000)
                program.wait(timeout=30)
                if run:
                    results["installer"].append(seconds)
                seconds, pid, program = time_to_window(case, ["wine", str(MINIMAL)], MINIMAL_CLASS, MINIMAL.name)
                case.driver.close(MINIMAL_CLASS, pid=pid)
                case.driver.wait_gone(MINIMAL_CLASS, pid=pid, timeout_ms=30000)
                program.wait(timeout=30)
                if run:
                    results["minimal"].append(seconds)
        finally:
            case.close()
            h.reset_machine()
            h.stop_wine_server()
    print(f"time from launch to the first painted window, {args.runs} runs:")
    for name, label in (("installer", "HelmviewSetup.exe (relaunch + manifest)"), ("minimal", "minimal window")):
        values = results[name]
        print(f"  {label:40} median {statistics.median(values):6.2f} s   min {min(values):6.2f} s"
              f"   max {max(values):6.2f} s")
    print(f"  difference of the medians: "
          f"{statistics.median(results['installer']) - statistics.median(results['minimal']):.2f} s")
    return 0


if __name__ == "__main__":
    sys.exit(main())
