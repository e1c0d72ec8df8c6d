#!/usr/bin/env python3
"""Start and stop a test server for a CTest fixture.

    fixture.py start DIR [--https selfsigned|trusted] [--certdir CERTS]
    fixture.py stop DIR

"start" launches server.py in the background on 127.0.0.1 with a free port,
serving DIR/root, and returns once it answers. The server's files in DIR:

    port    the port (written by the server once it listens)
    pid     its process id
    scheme  "http" or "https"; with https the tests use https://localhost:PORT/
    log     everything the server printed

"stop" ends the server recorded in DIR/pid, and nothing else: the pid is
only signalled while it still belongs to a server.py started for DIR.

The server is detached from the caller's standard handles and session: CTest
waits for the output of a test to close, so a server that inherited it would
keep the setup test from ever finishing.
"""

import argparse
import os
import signal
import subprocess
import sys
import time
import urllib.request

HERE = os.path.dirname(os.path.abspath(__file__))
sys.path.insert(0, HERE)
import make_certs  # noqa: E402
from testserver import CERTS  # noqa: E402

START_TIMEOUT = 20.0


def read_pid(folder):
    try:
        with open(os.path.join(folder, "pid"), encoding="ascii") as f:
            return int(f.read())
    except (OSError, ValueError):
        return None


def is_our_server(pid, folder):
    """True while pid is the server.py that was started for this folder."""
    try:
        with open(f"/proc/{pid}/cmdline", "rb") as f:
            args = f.read().split(b"\0")
    except OSError:
        return False
    port_file = os.path.join(folder, "port").encode()
    return any(a.endswith(b"server.py") for a in args) and port_file in args


def stop(folder):
    folder = os.path.abspath(folder)
    pid = read_pid(folder)
    if pid is None or not is_our_server(pid, folder):
        return 0
    os.kill(pid, signal.SIGTERM)
    deadline = time.monotonic() + 10
    while is_our_server(pid, folder) and time.monotonic() < deadline:
        time.sleep(0.05)
    if is_our_server(pid, folder):
        os.kill(pid, signal.SIGKILL)
    for name in ("port", "pid"):
        try:
            os.unlink(os.path.join(folder, name))
        except FileNotFoundError:
            pass
    return 0


def ping(port, https):
    import ssl
    scheme = "https" if https else "http"
    context = ssl.create_default_context()
    context.check_hostname = False
    context.verify_mode = ssl.CERT_NONE
    opener = urllib.request.build_opener(
        urllib.request.ProxyHandler({}), urllib.request.HTTPSHandler(context=context))
    with opener.open(f"{scheme}://127.0.0.1:{port}/__control/ping", timeout=5) as response:
        return response.read().strip() == b"ok"


def start(folder, https, certdir):
    folder = os.path.abspath(folder)
    os.makedirs(os.path.join(folder, "root"), exist_ok=True)
    # A server left behind by an interrupted run would hold stale rules.
    stop(folder)
    port_file = os.path.join(folder, "port")
    for name in ("port", "pid"):
        try:
            os.unlink(os.path.join(folder, name))
        except FileNotFoundError:
            pass

    args = [sys.executable, os.path.join(HERE, "server.py"), "--port", "0",
            "--root", os.path.join(folder, "root"),
            "--port-file", port_file, "--pid-file", os.path.join(folder, "pid")]
    if https:
        certdir = make_certs.ensure_certs(certdir or os.path.join(folder, "certs"))
        cert, key = CERTS[https]
        args += ["--https", "--cert", os.path.join(certdir, cert), "--key", os.path.join(certdir, key)]
    with open(os.path.join(folder, "scheme"), "w", encoding="ascii") as f:
        f.write("https\n" if https else "http\n")

    with open(os.path.join(folder, "log"), "wb") as log:
        process = subprocess.Popen(args, stdin=subprocess.DEVNULL, stdout=log, stderr=subprocess.STDOUT,
                                   start_new_session=True, close_fds=True)
    deadline = time.monotonic() + START_TIMEOUT
    while True:
        if process.poll() is not None:
            with open(os.path.join(folder, "log"), encoding="utf-8", errors="replace") as f:
                sys.exit(f"test server exited at start:\n{f.read()}")
        try:
            with open(port_file, encoding="ascii") as f:
                port = int(f.read())
            if ping(port, https):
                break
        except (OSError, ValueError):
            pass
        if time.monotonic() > deadline:
            process.kill()
            sys.exit(f"test server did not answer within {START_TIMEOUT} s")
        time.sleep(0.05)
    print(f"test server {folder}: {'https://localhost' if https else 'http://127.0.0.1'}:{port}/ pid {process.pid}")
    return 0


def main():
    parser = argparse.ArgumentParser(description=__doc__.split("\n\n")[0])
    parser.add_argument("action", choices=("start", "stop"))
    parser.add_argument("folder")
    parser.add_argument("--https", choices=("selfsigned", "trusted"))
    parser.add_argument("--certdir")
    args = parser.parse_args()
    if args.action == "start":
        return start(args.folder, args.https, args.certdir)
    return stop(args.folder)


if __name__ == "__main__":
    sys.exit(main())
