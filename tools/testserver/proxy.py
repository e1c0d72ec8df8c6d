#!/usr/bin/env python3
"""A forward proxy on 127.0.0.1 for the tests of downloads behind a company proxy.

It knows a few server names that nothing else resolves (names, mapping each to
a loopback address), so a client that reaches such a name must have come
through it. Plain requests arrive in absolute form ("GET http://name:port/path")
and are passed on with "Connection: close"; "CONNECT name:port" opens a tunnel
(HTTPS). Every request is logged as {"method", "target"}. With auth=True every
request gets 407 and a Proxy-Authenticate challenge instead.

    with ForwardProxy({"downloads.helmview.test": "127.0.0.1"}) as proxy:
        ... proxy.port ... proxy.log()

Standalone: proxy.py --name downloads.helmview.test [--port N] [--auth]
"""

import argparse
import select
import socket
import threading
import urllib.parse
from http.server import BaseHTTPRequestHandler, ThreadingHTTPServer

HOP_HEADERS = {"connection", "keep-alive", "proxy-connection", "proxy-authorization", "te", "upgrade"}


class Handler(BaseHTTPRequestHandler):
    protocol_version = "HTTP/1.1"
    timeout = 120

    def log_message(self, format, *args):
        pass

    def origin(self, host, port):
        """A connection to a known name, or None once the client has been told 502."""
        address = self.server.names.get(host.lower())
        if address is None:
            self.refuse(502, f"unknown server name {host}\n")
            return None
        try:
            return socket.create_connection((address, port), timeout=self.timeout)
        except OSError as e:
            self.refuse(502, f"{host}:{port}: {e}\n")
            return None

    def refuse(self, code, text, headers=()):
        data = text.encode()
        self.send_response(code)
        for name, value in headers:
            self.send_header(name, value)
        self.send_header("Content-Length", str(len(data)))
        self.send_header("Connection", "close")
        self.end_headers()
        self.wfile.write(data)
        self.close_connection = True

    def logged(self):
        with self.server.lock:
            self.server.entries.append({"method": self.command, "target": self.path})
        if self.server.auth:
            self.refuse(407, "proxy credentials required\n", [("Proxy-Authenticate", 'Basic realm="helmview"')])
            return False
        return True

    def do_CONNECT(self):
        if not self.logged():
            return
        host, _, port = self.path.rpartition(":")
        upstream = self.origin(host, int(port))
        if upstream is None:
            return
        self.send_response(200, "Connection established")
        self.end_headers()
        self.wfile.flush()
        self.pipe(self.connection, upstream)
        self.close_connection = True

    def forward(self):
        if not self.logged():
            return
        url = urllib.parse.urlsplit(self.path)
        if url.scheme != "http" or not url.hostname:
            return self.refuse(400, "absolute http:// target expected\n")
        upstream = self.origin(url.hostname, url.port or 80)
        if upstream is None:
            return
        with upstream:
            lines = [f"{self.command} {url.path or '/'}{'?' + url.query if url.query else ''} HTTP/1.1"]
            lines += [f"{k}: {v}" for k, v in self.headers.items() if k.lower() not in HOP_HEADERS]
            lines += ["Connection: close", "", ""]
            upstream.sendall("\r\n".join(lines).encode("latin-1"))
            # The answer as it comes, to its end (the origin closes after it),
            # its head telling the client that this connection ends with it.
            self.close_connection = True
            data = b""
            while b"\r\n\r\n" not in data:
                more = upstream.recv(64 * 1024)
                if not more:
                    return
                data += more
            head, _, data = data.partition(b"\r\n\r\n")
            kept = [line for line in head.split(b"\r\n")
                    if line.split(b":", 1)[0].strip().lower().decode("latin-1") not in HOP_HEADERS]
            self.wfile.write(b"\r\n".join(kept + [b"Connection: close", b"Proxy-Connection: close", b"", b""]))
            while data or (data := upstream.recv(256 * 1024)):
                self.wfile.write(data)
                data = b""

    do_GET = do_HEAD = forward

    @staticmethod
    def pipe(a, b):
        with b:
            while True:
                readable, _, _ = select.select([a, b], [], [], 120)
                if not readable:
                    return
                for source in readable:
                    data = source.recv(256 * 1024)
                    if not data:
                        return
                    (b if source is a else a).sendall(data)


class ForwardProxy:
    __test__ = False

    def __init__(self, names, port=0, auth=False):
        self.server = ThreadingHTTPServer(("127.0.0.1", port), Handler)
        self.server.daemon_threads = True
        self.server.names = {k.lower(): v for k, v in names.items()}
        self.server.auth = auth
        self.server.lock = threading.Lock()
        self.server.entries = []
        self.thread = None

    @property
    def port(self):
        return self.server.server_address[1]

    def log(self):
        with self.server.lock:
            return list(self.server.entries)

    def start(self):
        self.thread = threading.Thread(target=self.server.serve_forever, kwargs={"poll_interval": 0.2}, daemon=True)
        self.thread.start()
        return self

    def stop(self):
        if self.thread:
            self.server.shutdown()
            self.thread = None
        self.server.server_close()

    def __enter__(self):
        return self.start()

    def __exit__(self, *exc):
        self.stop()


def main():
    parser = argparse.ArgumentParser(description=__doc__.split("\n\n")[0])
    parser.add_argument("--name", action="append", default=[], help="a server name the proxy resolves to 127.0.0.1")
    parser.add_argument("--port", type=int, default=0)
    parser.add_argument("--auth", action="store_true", help="answer every request with 407")
    args = parser.parse_args()
    proxy = ForwardProxy({n: "127.0.0.1" for n in args.name}, args.port, args.auth)
    print(f"PORT {proxy.port}", flush=True)
    try:
        proxy.server.serve_forever()
    except KeyboardInterrupt:
        pass
    return 0


if __name__ == "__main__":
    raise SystemExit(main())
