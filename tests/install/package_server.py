#!/usr/bin/env python3
"""The package server of the install engine's tests, as CTest fixture steps.

    package_server.py packages DIR --7za 7ZA --fixtures FIXTURES
        builds the packages the tests download into DIR/root and the server's
        rules into DIR/rules.json
    package_server.py start DIR
        starts tools/testserver/server.py on 127.0.0.1 (a free port) serving
        DIR/root with DIR/rules.json; writes DIR/port and DIR/pid
    package_server.py stop DIR
        stops that server, and nothing else

Served below DIR/root/zqHelmview/application/ (the installer's package folder),
one version per situation:

    2.2.0.1/Helmview.zip          the application as Helmview.exe
    2.2.0.2/NorvaleHelmview.zip   only the second package name, holding NorvaleSSDHelmview.exe
    2.2.0.4/Helmview.zip          generated and sent slowly (a download to cancel)
    2.2.0.9/                      nothing: the download fails
"""

import argparse
import json
import os
import signal
import subprocess
import sys
import time
import urllib.request
from pathlib import Path

HERE = Path(__file__).resolve().parent
REPO = HERE.parents[1]
sys.path.insert(0, str(REPO / "tools" / "fixtures"))
import make_packages  # noqa: E402

APPLICATION = "zqHelmview/application"
SLOW_PACKAGE = f"/{APPLICATION}/2.2.0.4/Helmview.zip"
START_TIMEOUT = 20.0


def build_packages(folder, seven_zip, fixtures):
    root = folder / "root" / APPLICATION
    make_packages.make_package(root / "2.2.0.1" / "Helmview.zip", seven_zip, fixtures)
    make_packages.make_package(root / "2.2.0.2" / "NorvaleHelmview.zip", seven_zip, fixtures,
                               names=(make_packages.APP_FULL_NAME,))
    (root / "2.2.0.4").mkdir(parents=True, exist_ok=True)
    (root / "2.2.0.9").mkdir(parents=True, exist_ok=True)
    rules = {SLOW_PACKAGE: {"slow": {"bytes_per_sec": 32768, "size": 4 * 1024 * 1024}}}
    temporary = folder / "rules.json.new"
    temporary.write_text(json.dumps(rules, indent=1), encoding="utf-8")
    os.replace(temporary, folder / "rules.json")
    print(f"packages in {folder / 'root'}")
    return 0


def read_pid(folder):
    try:
        return int((folder / "pid").read_text(encoding="ascii"))
    except (OSError, ValueError):
        return None


def is_our_server(pid, folder):
    try:
        args = Path(f"/proc/{pid}/cmdline").read_bytes().split(b"\0")
    except OSError:
        return False
    return any(a.endswith(b"server.py") for a in args) and str(folder / "port").encode() in args


def stop(folder):
    pid = read_pid(folder)
    if pid is not None and is_our_server(pid, folder):
        os.kill(pid, signal.SIGTERM)
        deadline = time.monotonic() + 10
        while is_our_server(pid, folder) and time.monotonic() < deadline:
            time.sleep(0.05)
        if is_our_server(pid, folder):
            os.kill(pid, signal.SIGKILL)
    for name in ("port", "pid"):
        (folder / name).unlink(missing_ok=True)
    return 0


def answers(port):
    opener = urllib.request.build_opener(urllib.request.ProxyHandler({}))
    with opener.open(f"http://127.0.0.1:{port}/__control/ping", timeout=5) as response:
        return response.read().strip() == b"ok"


def start(folder):
    stop(folder)  # one left by an interrupted run
    args = [sys.executable, str(REPO / "tools" / "testserver" / "server.py"), "--port", "0",
            "--root", str(folder / "root"), "--rules", str(folder / "rules.json"),
            "--port-file", str(folder / "port"), "--pid-file", str(folder / "pid")]
    # Detached from CTest's output pipe and session, which it would otherwise
    # hold open past the end of this step.
    with open(folder / "log", "wb") as log:
        process = subprocess.Popen(args, stdin=subprocess.DEVNULL, stdout=log, stderr=subprocess.STDOUT,
                                   start_new_session=True, close_fds=True)
    deadline = time.monotonic() + START_TIMEOUT
    while True:
        if process.poll() is not None:
            sys.exit("package server exited at start:\n" + (folder / "log").read_text(errors="replace"))
        try:
            port = int((folder / "port").read_text(encoding="ascii"))
            if answers(port):
                break
        except (OSError, ValueError):
            pass
        if time.monotonic() > deadline:
            process.kill()
            sys.exit(f"package server did not answer within {START_TIMEOUT} s")
        time.sleep(0.05)
    print(f"package server http://127.0.0.1:{port}/ pid {process.pid}")
    return 0


def main():
    parser = argparse.ArgumentParser(description="Package server of the install engine's tests.")
    parser.add_argument("action", choices=("packages", "start", "stop"))
    parser.add_argument("folder")
    parser.add_argument("--7za", dest="seven_zip")
    parser.add_argument("--fixtures")
    args = parser.parse_args()
    folder = Path(args.folder).resolve()
    folder.mkdir(parents=True, exist_ok=True)
    if args.action == "packages":
        if not args.seven_zip or not args.fixtures:
            parser.error("packages needs --7za and --fixtures")
        try:
            return build_packages(folder, args.seven_zip, args.fixtures)
        except make_packages.PackageError as error:
            sys.exit(f"package_server: {error}")
    if args.action == "start":
        return start(folder)
    return stop(folder)


if __name__ == "__main__":
    sys.exit(main())
