"""Run server.py from a test and talk to its control endpoint.

    with TestServer(root, https="trusted", certdir=certs) as srv:
        srv.set_rules({"/zqHelmview/config/lista_updater.xml": {"status": 404}})
        run_installer(base=srv.base_url)
        assert srv.request_log()[0]["user_agent"] in (None, "")

The server runs as a child process so a test can kill it, restart it or see
it crash without taking the test runner down.
"""

import json
import os
import shutil
import signal
import ssl
import subprocess
import sys
import tempfile
import time
import urllib.error
import urllib.request

HERE = os.path.dirname(os.path.abspath(__file__))
if HERE not in sys.path:
    sys.path.insert(0, HERE)
import make_certs  # noqa: E402  (sits next to this file)

SERVER = os.path.join(HERE, "server.py")
START_TIMEOUT = 10.0

CERTS = {
    "selfsigned": ("selfsigned.crt", "selfsigned.key"),
    "trusted": ("localhost.crt", "localhost.key"),
}


class TestServer:
    __test__ = False  # not a test class, whatever pytest thinks of the name

    def __init__(self, root=None, rules=None, https=None, certdir=None,
                 rules_file=None, verbose=False):
        if https not in (None, "selfsigned", "trusted"):
            raise ValueError(f"https must be None, 'selfsigned' or 'trusted', not {https!r}")
        if https and not certdir:
            raise ValueError("https needs certdir")
        self.root = root
        self.initial_rules = rules
        self.https = https
        self.certdir = os.path.abspath(certdir) if certdir else None
        self.rules_file = rules_file
        self.verbose = verbose
        self.port = None
        self.process = None
        self._workdir = None
        self._log = None
        # The control calls must reach the server directly whatever proxy the
        # environment configures, and must not care which certificate it uses.
        tls = ssl.create_default_context()
        tls.check_hostname = False
        tls.verify_mode = ssl.CERT_NONE
        self._opener = urllib.request.build_opener(
            urllib.request.ProxyHandler({}), urllib.request.HTTPSHandler(context=tls))

    # --- lifecycle ----------------------------------------------------------

    def start(self):
        if self.process is not None:
            raise RuntimeError("server already started")
        self._workdir = tempfile.mkdtemp(prefix="helmview-testserver-")
        port_file = os.path.join(self._workdir, "port")
        args = [sys.executable, SERVER, "--port", "0", "--port-file", port_file]
        if self.root:
            args += ["--root", self.root]
        if self.rules_file:
            args += ["--rules", self.rules_file]
        if self.verbose:
            args.append("--verbose")
        if self.https:
            make_certs.ensure_certs(self.certdir)
            cert, key = CERTS[self.https]
            args += ["--https", "--cert", os.path.join(self.certdir, cert),
                     "--key", os.path.join(self.certdir, key)]

        # Output goes to a file, not a pipe nobody drains, so a chatty server
        # can never block on a full pipe.
        self._log = open(os.path.join(self._workdir, "server.log"), "w+b")
        self.process = subprocess.Popen(args, stdin=subprocess.DEVNULL,
                                        stdout=self._log, stderr=subprocess.STDOUT)
        deadline = time.monotonic() + START_TIMEOUT
        while self.port is None:
            if self.process.poll() is not None:
                output = self.output()
                self._cleanup()
                raise RuntimeError(f"test server exited at start:\n{output}")
            if time.monotonic() > deadline:
                self.stop()
                raise RuntimeError(f"test server did not report a port within {START_TIMEOUT} s")
            try:
                with open(port_file, encoding="ascii") as f:
                    self.port = int(f.read())
            except (FileNotFoundError, ValueError):
                time.sleep(0.02)
        if self.initial_rules is not None:
            self.set_rules(self.initial_rules)
        return self

    def stop(self):
        """Stop our own server process (SIGTERM, then SIGKILL) and tidy up."""
        if self.process is not None:
            if self.process.poll() is None:
                self.process.send_signal(signal.SIGTERM)
                try:
                    self.process.wait(timeout=5)
                except subprocess.TimeoutExpired:
                    self.process.kill()
                    self.process.wait()
            self.process = None
        self.port = None
        self._cleanup()

    def _cleanup(self):
        if self._log is not None:
            self._log.close()
            self._log = None
        if self._workdir is not None:
            shutil.rmtree(self._workdir, ignore_errors=True)
            self._workdir = None
        self.process = None

    def __enter__(self):
        return self.start()

    def __exit__(self, *exc):
        self.stop()

    # --- addresses ----------------------------------------------------------

    @property
    def base_url(self):
        # HTTPS uses the name the certificates carry; plain HTTP uses the
        # address so no name resolution is involved.
        if self.https:
            return f"https://localhost:{self.port}/"
        return f"http://127.0.0.1:{self.port}/"

    def url(self, path):
        return self.base_url + path.lstrip("/")

    @property
    def ca_der(self):
        """The CA certificate to import into a Wine prefix's ROOT store."""
        return os.path.join(self.certdir, "ca.der") if self.certdir else None

    def output(self):
        """Everything the server printed so far (startup line, errors)."""
        if self._log is None:
            return ""
        self._log.flush()
        self._log.seek(0)
        return self._log.read().decode("utf-8", "replace")

    # --- control endpoint -----------------------------------------------------

    def _control(self, method, name, payload=None):
        scheme = "https" if self.https else "http"
        data = None if payload is None else json.dumps(payload).encode("utf-8")
        request = urllib.request.Request(
            f"{scheme}://127.0.0.1:{self.port}/__control/{name}", data=data, method=method,
            headers={"Content-Type": "application/json"} if data is not None else {})
        try:
            with self._opener.open(request, timeout=10) as response:
                return json.loads(response.read() or b"null")
        except urllib.error.HTTPError as e:
            raise RuntimeError(f"{method} /__control/{name}: {e.code} {e.read().decode(errors='replace')}") from None

    def set_rules(self, rules, merge=False):
        """Replace (or with merge=True extend) the per-path behaviours."""
        self._control("POST", "rules?merge=1" if merge else "rules", rules)

    def rules(self):
        return self._control("GET", "rules")

    def request_log(self):
        """Requests seen so far: method, path, user_agent, time, status,
        bytes_sent, complete, headers, rule, error."""
        return self._control("GET", "log")

    def clear_log(self):
        self._control("DELETE", "log")

    def stats(self):
        return self._control("GET", "stats")
