#!/usr/bin/env python3
"""Loopback HTTP/HTTPS server for the installer's download tests.

Serves a directory tree and lets a test make individual paths misbehave
(error codes, redirects, slow or broken transfers, huge generated bodies) so
the downloader can be exercised against the failures it meets in the field.

Rules map an exact URL path (the request target, or the target without its
query string) to a behaviour object.  They come from a JSON file given with
--rules, re-read on every request, and from POST /__control/rules; for the
same path the control endpoint wins.

Byte ranges: a GET or HEAD answered 200 honours one "Range: bytes=N-",
"bytes=N-M" or "bytes=-N" with 206, Content-Range "bytes N-M/TOTAL" and just
those bytes (a generated body keeps byte i = i % 251 at absolute offset i);
a range starting at or past the end gets 416 with Content-Range "bytes */TOTAL".
Such answers carry "Accept-Ranges: bytes".  Several ranges, a malformed
header, or an If-Range that is neither the body's strong ETag nor its
Last-Modified (generated and inline bodies have only the ETag a rule gives
them) get the whole body with 200.

Behaviour keys (all optional, freely combined):
  delay          seconds to wait before answering
  redirect       target path or URL; "code" picks the status (default 302)
  status         status code; non-2xx answers with a small body, 204/304 with
                 none, 2xx serves the normal body with that code
  body           inline body text (UTF-8) instead of a file
  content_type   Content-Type for the response
  headers        extra response headers {name: value}
  generate       body of this many bytes made on the fly (byte i = i % 251)
  slow           {"bytes_per_sec": N, "size": M}; size is optional and means
                 "generate M bytes", otherwise the normal body is paced
  ranges         false: ignore Range, as a server without range support
  drop_after     send only this many body bytes of the advertised length
                 (of a 206 answer: of that part)...
  drop_mode      ...then "reset" (RST, default), "fin" (orderly close) or
                 "hang" (stall until the client leaves or hang_seconds pass)
  hang_seconds   upper bound for drop_mode "hang" (default 300)
  content_length false: omit Content-Length and end the body by closing
  etag           ETag of the body; an If-Range equal to it (and not weak)
                 lets a Range through
  if_range       false: ignore If-Range, as a server or cache that does not
                 honour it
  times          apply the rule to the first N matching requests only; later
                 ones still get the body a 2xx rule defines (generate,
                 slow.size, body, content_type, etag, ranges and if_range),
                 so {"generate": M, "drop_after": N, "times": 1} cuts the
                 first transfer and serves a resumed one
  after          the behaviour of the requests after the first "times" ones,
                 instead of that body: a file replaced on the server

Control API (never logged, never subject to rules):
  GET    /__control/ping    -> "ok"
  GET    /__control/rules   -> effective rules (file merged with control)
  POST   /__control/rules   body {path: behaviour}; replaces the control
                            rules (?merge=1 adds to them) and resets "times"
  GET    /__control/log     -> [{method, path, user_agent, time, ...}]
  DELETE /__control/log     clears the log (POST /__control/log/clear too)
  GET    /__control/stats   -> {"requests": n, "tls_handshake_failures": n}
"""

import argparse
import email.utils
import json
import mimetypes
import os
import re
import select
import signal
import socket
import ssl
import struct
import sys
import threading
import time
import traceback
import urllib.parse
from http import HTTPStatus
from http.server import BaseHTTPRequestHandler, ThreadingHTTPServer

CONTROL_PREFIX = "/__control/"

# Large enough that a generated body streams at memory speed, small enough
# that many parallel transfers stay cheap.
CHUNK = 1024 * 1024
FILE_CHUNK = 256 * 1024

# Generated bodies repeat a 251-byte ramp: a prime period never lines up with
# power-of-two buffer sizes, so a client that drops or repeats a block gets a
# detectably different byte stream.
PATTERN_PERIOD = 251
PATTERN = (bytes(range(PATTERN_PERIOD)) * (CHUNK // PATTERN_PERIOD + 2))[: CHUNK + PATTERN_PERIOD]

KNOWN_KEYS = {
    "delay", "redirect", "code", "status", "body", "content_type", "headers",
    "generate", "slow", "drop_after", "drop_mode", "hang_seconds",
    "content_length", "times", "ranges", "etag", "if_range", "after",
}
DROP_MODES = ("reset", "fin", "hang")
BODY_KEYS = ("generate", "body", "content_type", "etag")

class RulesError(ValueError):
    pass


def validate_rules(rules):
    """Reject malformed rules up front: a typo must fail the test loudly
    instead of silently serving the unmodified file."""
    if not isinstance(rules, dict):
        raise RulesError("rules must be a JSON object {path: behaviour}")
    for path, rule in rules.items():
        where = f"rule for {path!r}"
        if not path.startswith("/"):
            raise RulesError(f"{where}: path must start with '/'")
        if not isinstance(rule, dict):
            raise RulesError(f"{where}: behaviour must be an object")
        unknown = set(rule) - KNOWN_KEYS
        if unknown:
            raise RulesError(f"{where}: unknown keys {sorted(unknown)}")
        for key in ("status", "code", "generate", "drop_after", "times"):
            if key in rule and (not isinstance(rule[key], int) or rule[key] < 0):
                raise RulesError(f"{where}: {key} must be a non-negative integer")
        for key in ("delay", "hang_seconds"):
            if key in rule and (not isinstance(rule[key], (int, float)) or rule[key] < 0):
                raise RulesError(f"{where}: {key} must be a non-negative number")
        if "slow" in rule:
            slow = rule["slow"]
            if not isinstance(slow, dict) or set(slow) - {"bytes_per_sec", "size"}:
                raise RulesError(f"{where}: slow must be {{bytes_per_sec, size}}")
            bps = slow.get("bytes_per_sec")
            if not isinstance(bps, int) or bps <= 0:
                raise RulesError(f"{where}: slow.bytes_per_sec must be a positive integer")
            if "size" in slow and (not isinstance(slow["size"], int) or slow["size"] < 0):
                raise RulesError(f"{where}: slow.size must be a non-negative integer")
        if rule.get("drop_mode", "reset") not in DROP_MODES:
            raise RulesError(f"{where}: drop_mode must be one of {DROP_MODES}")
        for key in ("ranges", "if_range"):
            if key in rule and not isinstance(rule[key], bool):
                raise RulesError(f"{where}: {key} must be true or false")
        if "after" in rule:
            validate_rules({path: rule["after"]})
        if "content_length" in rule and rule["content_length"] is not False:
            raise RulesError(f"{where}: content_length only accepts false")
        if "headers" in rule and not (
            isinstance(rule["headers"], dict)
            and all(isinstance(v, str) for v in rule["headers"].values())
        ):
            raise RulesError(f"{where}: headers must map names to strings")
        for key in ("redirect", "body", "content_type", "etag"):
            if key in rule and not isinstance(rule[key], str):
                raise RulesError(f"{where}: {key} must be a string")
    return rules


# One range only: several would need a multipart answer, and a server may
# ignore Range instead of giving one.
RANGE = re.compile(r"\s*bytes\s*=\s*(\d*)\s*-\s*(\d*)\s*", re.IGNORECASE | re.ASCII)


def parse_range(header, length):
    """The (first, last) byte a Range header asks for; None to serve the whole
    body (no header, or one to ignore as malformed or unsupported);
    "unsatisfiable" when none of the asked bytes exists."""
    match = RANGE.fullmatch(header or "")
    if not match or not (match[1] or match[2]):
        return None
    if not match[1]:  # "-N": the last N bytes
        suffix = int(match[2])
        if suffix == 0 or length == 0:
            return "unsatisfiable"
        return max(0, length - suffix), length - 1
    first = int(match[1])
    last = int(match[2]) if match[2] else None
    if last is not None and last < first:
        return None
    if first >= length:
        return "unsatisfiable"
    return first, length - 1 if last is None else min(last, length - 1)


def body_of(rule):
    """What a used-up "times" rule leaves: the body the path serves, without
    the misbehaviour, so a generated body is still there for the request that
    follows a cut one.  An error or redirect rule's body is only its message."""
    if "redirect" in rule or not 200 <= rule.get("status", 200) < 300:
        return None
    body = {k: rule[k] for k in BODY_KEYS if k in rule}
    if "size" in rule.get("slow", {}):
        body.setdefault("generate", rule["slow"]["size"])
    # A server without range support stays one.
    for key in ("ranges", "if_range"):
        if body and key in rule:
            body[key] = rule[key]
    return body or None


class ClientGone(Exception):
    """The client closed the connection in the middle of a response."""


# Errors that only mean the client went away (or never finished TLS); they
# are part of normal test traffic and must not spam stderr.
CLIENT_GONE = (ClientGone, ConnectionError, TimeoutError, ssl.SSLError)


# --- Body sources: each yields count bytes from offset start in bounded chunks,
# so no body is ever held in memory as a whole. --------------------------------

class FileBody:
    def __init__(self, path):
        self._file = open(path, "rb")
        self.length = os.fstat(self._file.fileno()).st_size
        self.last_modified = os.fstat(self._file.fileno()).st_mtime

    def chunks(self, max_chunk, start, count):
        self._file.seek(start)
        buf = bytearray(min(max_chunk, FILE_CHUNK))
        view = memoryview(buf)
        while count > 0:
            n = self._file.readinto(view[:min(len(buf), count)])
            if not n:
                return
            count -= n
            yield view[:n]

    def close(self):
        self._file.close()


class GeneratedBody:
    last_modified = None

    def __init__(self, length):
        self.length = length

    def chunks(self, max_chunk, start, count):
        # The pattern is tied to the absolute offset, so a resumed transfer
        # joins up with the bytes it already has.
        view = memoryview(PATTERN)
        offset, end = start, start + count
        while offset < end:
            n = min(max_chunk, CHUNK, end - offset)
            phase = offset % PATTERN_PERIOD
            yield view[phase:phase + n]
            offset += n

    def close(self):
        pass


class BytesBody:
    last_modified = None

    def __init__(self, data):
        self._data = data
        self.length = len(data)

    def chunks(self, max_chunk, start, count):
        view = memoryview(self._data)[start:start + count]
        for offset in range(0, len(view), max_chunk):
            yield view[offset:offset + max_chunk]

    def close(self):
        pass


class TestHTTPServer(ThreadingHTTPServer):
    daemon_threads = True
    # Downloads, release notes and control calls can arrive in bursts.
    request_queue_size = 64

    def __init__(self, port, root, rules_file, tls_context, verbose):
        self.root = os.path.realpath(root) if root else None
        self.rules_file = rules_file
        self.tls_context = tls_context
        self.verbose = verbose
        self.lock = threading.Lock()
        self.control_rules = {}
        self.rule_hits = {}
        self.log = []
        self.stats = {"requests": 0, "tls_handshake_failures": 0}
        # Sockets whose response was cut on purpose; see shutdown_request.
        self.aborted = set()
        super().__init__(("127.0.0.1", port), Handler)

    def get_request(self):
        sock, addr = self.socket.accept()
        if self.tls_context is not None:
            # The handshake is deferred to the handler thread: done here it
            # would let one stalled or refusing client block every accept.
            sock = self.tls_context.wrap_socket(
                sock, server_side=True, do_handshake_on_connect=False)
        return sock, addr

    def shutdown_request(self, request):
        with self.lock:
            aborted = request in self.aborted
            self.aborted.discard(request)
        if aborted:
            # Skip the usual shutdown(SHUT_WR): it would send a FIN ahead of
            # the RST and the client would see an ordinary end of stream.
            request.close()
        else:
            super().shutdown_request(request)

    def handle_error(self, request, client_address):
        exc = sys.exc_info()[1]
        if isinstance(exc, CLIENT_GONE) and not self.verbose:
            return
        # Anything else is a fault in this server and must stay visible.
        traceback.print_exc(file=sys.stderr)

    def effective_rules(self):
        rules = {}
        if self.rules_file:
            try:
                with open(self.rules_file, encoding="utf-8") as f:
                    text = f.read()
            except FileNotFoundError:
                text = ""
            if text.strip():
                try:
                    rules.update(validate_rules(json.loads(text)))
                except ValueError as e:
                    raise RulesError(f"rules file {self.rules_file}: {e}") from None
        with self.lock:
            rules.update(self.control_rules)
        return rules

    def take_rule(self, rules, target):
        """Return the behaviour for target, counting uses for "times"."""
        path = target.split("?", 1)[0]
        for key in (target, path):
            rule = rules.get(key)
            if rule is None:
                continue
            limit = rule.get("times")
            if limit is None:
                return rule
            # Keyed by content too, so editing the rule file restarts the count.
            counter = (key, json.dumps(rule, sort_keys=True))
            with self.lock:
                used = self.rule_hits.get(counter, 0)
                if used < limit:
                    self.rule_hits[counter] = used + 1
                    return rule
            return rule["after"] if "after" in rule else body_of(rule)
        return None


class Handler(BaseHTTPRequestHandler):
    protocol_version = "HTTP/1.1"
    server_version = "HelmviewTestServer/1.0"
    # Bounds idle keep-alive connections and stuck writes to a client that
    # stopped reading, so no handler thread lives forever.
    timeout = 120

    # --- plumbing ---------------------------------------------------------

    def handle(self):
        if isinstance(self.connection, ssl.SSLSocket):
            try:
                self.connection.do_handshake()
            except (ssl.SSLError, OSError) as e:
                # Expected when the client rejects our certificate.
                with self.server.lock:
                    self.server.stats["tls_handshake_failures"] += 1
                if self.server.verbose:
                    sys.stderr.write(f"TLS handshake failed: {e}\n")
                self.close_connection = True
                return
        super().handle()

    def version_string(self):
        return self.server_version

    def log_message(self, format, *args):
        if self.server.verbose:
            super().log_message(format, *args)

    def do_GET(self):
        self.dispatch(head=False)

    def do_HEAD(self):
        self.dispatch(head=True)

    def do_POST(self):
        self.dispatch_control_only()

    def do_DELETE(self):
        self.dispatch_control_only()

    def dispatch_control_only(self):
        if self.path.startswith(CONTROL_PREFIX):
            self.handle_control()
        else:
            # The request body was not read, so the connection cannot be reused.
            self.close_connection = True
            self.send_simple(HTTPStatus.METHOD_NOT_ALLOWED)

    def write(self, data):
        try:
            self.wfile.write(data)
        except OSError as e:
            # Reset, broken pipe, timeout or TLS failure: in every case the
            # peer is no longer reading this response.
            raise ClientGone() from e

    def send_simple(self, code, body=None, content_type="text/plain; charset=utf-8",
                    extra_headers=None, head=False):
        """Complete response with a small in-memory body."""
        code = int(code)
        if body is None:
            try:
                body = f"{code} {HTTPStatus(code).phrase}\n"
            except ValueError:
                body = f"{code}\n"
        data = body.encode("utf-8") if isinstance(body, str) else body
        no_body = code in (204, 304) or 100 <= code < 200
        self.send_response(code)
        if not no_body:
            self.send_header("Content-Type", content_type)
            self.send_header("Content-Length", str(len(data)))
        for name, value in (extra_headers or {}).items():
            self.send_header(name, value)
        self.end_headers()
        if not no_body and not head:
            self.write(data)

    # --- control endpoint ---------------------------------------------------

    def handle_control(self):
        url = urllib.parse.urlsplit(self.path)
        name = url.path[len(CONTROL_PREFIX):].strip("/")
        query = urllib.parse.parse_qs(url.query)
        srv = self.server
        method = self.command

        def reply_json(value, code=200):
            self.send_simple(code, json.dumps(value, indent=1), "application/json")

        if method == "GET" and name == "ping":
            return self.send_simple(200, "ok\n")
        if method == "GET" and name == "log":
            # Serialised under the lock (handlers update entries in place) but
            # sent outside it, so a slow reader cannot stall other requests.
            with srv.lock:
                text = json.dumps(srv.log, indent=1)
            return self.send_simple(200, text, "application/json")
        if (method == "DELETE" and name == "log") or (method == "POST" and name == "log/clear"):
            with srv.lock:
                srv.log.clear()
            return reply_json({"ok": True})
        if method == "GET" and name == "stats":
            with srv.lock:
                stats = dict(srv.stats)
            return reply_json(stats)
        if method == "GET" and name == "rules":
            try:
                return reply_json(srv.effective_rules())
            except RulesError as e:
                return reply_json({"error": str(e)}, 500)
        if method == "POST" and name == "rules":
            length = int(self.headers.get("Content-Length") or 0)
            try:
                rules = validate_rules(json.loads(self.rfile.read(length) or b"{}"))
            except ValueError as e:
                return reply_json({"error": str(e)}, 400)
            with srv.lock:
                if query.get("merge", ["0"])[0] not in ("", "0"):
                    srv.control_rules.update(rules)
                else:
                    srv.control_rules = rules
                srv.rule_hits.clear()
            return reply_json({"ok": True})
        return self.send_simple(HTTPStatus.NOT_FOUND)

    # --- test traffic -------------------------------------------------------

    def dispatch(self, head):
        if self.path.startswith(CONTROL_PREFIX):
            return self.handle_control()

        entry = {
            "method": self.command,
            "path": self.path,
            # None when the header is absent, "" when sent empty: tests can
            # tell the two apart.
            "user_agent": self.headers.get("User-Agent"),
            "time": time.time(),
            "headers": {k: v for k, v in self.headers.items()},
            "status": None,
            "bytes_sent": 0,
            "complete": False,
            # Every key exists from the start: later updates only replace
            # values, which keeps concurrent serialisation of the log safe.
            "rule": None,
            "error": None,
        }
        # Logged before answering so a test can see a transfer in progress.
        with self.server.lock:
            self.server.log.append(entry)
            self.server.stats["requests"] += 1

        self.headers_sent = False
        try:
            self.serve(entry, head)
        except ClientGone:
            self.close_connection = True
        except RulesError as e:
            sys.stderr.write(f"{e}\n")
            entry["error"] = str(e)
            self.close_connection = True
            if not self.headers_sent:
                self.send_simple(500, f"{e}\n")
                entry["status"] = 500
        except Exception as e:
            entry["error"] = repr(e)
            self.close_connection = True
            if not self.headers_sent:
                try:
                    self.send_simple(500, f"test server fault: {e!r}\n")
                    entry["status"] = 500
                except ClientGone:
                    pass
            raise

    def end_headers(self):
        self.headers_sent = True
        super().end_headers()

    def serve(self, entry, head):
        rule = self.server.take_rule(self.server.effective_rules(), self.path) or {}
        entry["rule"] = rule or None

        if rule.get("delay"):
            time.sleep(rule["delay"])

        extra = dict(rule.get("headers", {}))

        if "redirect" in rule:
            code = rule.get("code", 302)
            entry["status"] = code
            extra["Location"] = self.absolute_url(rule["redirect"])
            self.send_simple(code, f"Redirecting to {extra['Location']}\n",
                             extra_headers=extra, head=head)
            entry["complete"] = True
            return

        status = rule.get("status", 200)
        if not 200 <= status < 300 or status == 204:
            entry["status"] = status
            self.send_simple(status, rule.get("body"), rule.get("content_type", "text/plain; charset=utf-8"),
                             extra, head=head)
            entry["complete"] = True
            return

        body = self.pick_body(rule)
        if body is None:
            entry["status"] = 404
            self.send_simple(404, extra_headers=extra, head=head)
            entry["complete"] = True
            return
        try:
            self.send_body(entry, rule, status, body, extra, head)
        finally:
            body.close()

    def pick_body(self, rule):
        slow = rule.get("slow", {})
        if "generate" in rule:
            return GeneratedBody(rule["generate"])
        if "size" in slow:
            return GeneratedBody(slow["size"])
        if "body" in rule:
            return BytesBody(rule["body"].encode("utf-8"))
        path = self.translate_path()
        if path is None:
            return None
        try:
            return FileBody(path)
        except OSError:
            return None

    def translate_path(self):
        """Map the URL onto --root, refusing anything that escapes it."""
        if self.server.root is None:
            return None
        url_path = urllib.parse.unquote(urllib.parse.urlsplit(self.path).path)
        candidate = os.path.realpath(os.path.join(self.server.root, url_path.lstrip("/")))
        if os.path.commonpath([candidate, self.server.root]) != self.server.root:
            return None
        return candidate if os.path.isfile(candidate) else None

    def absolute_url(self, target):
        if "://" in target:
            return target
        host = self.headers.get("Host")
        if not host:
            return target
        scheme = "https" if self.server.tls_context else "http"
        return f"{scheme}://{host}{target}"

    def send_body(self, entry, rule, status, body, extra, head):
        with_length = rule.get("content_length", True) is not False
        content_type = rule.get("content_type")
        if content_type is None:
            guessed = mimetypes.guess_type(urllib.parse.urlsplit(self.path).path)[0]
            content_type = guessed or "application/octet-stream"

        # Ranges apply to plain 200 answers only, as a real server's would.
        ranged = status == 200 and rule.get("ranges", True)
        first, count = 0, body.length
        if ranged and self.range_applies(body, rule):
            wanted = parse_range(self.headers.get("Range"), body.length)
            if wanted == "unsatisfiable":
                entry["status"] = 416
                extra = {"Content-Range": f"bytes */{body.length}", **extra}
                self.send_simple(416, extra_headers=extra, head=head)
                entry["complete"] = True
                return
            if wanted is not None:
                first, last = wanted
                count = last - first + 1
                status = 206
                extra = {"Content-Range": f"bytes {first}-{last}/{body.length}", **extra}

        entry["status"] = status
        self.send_response(status)
        self.send_header("Content-Type", content_type)
        if ranged:
            self.send_header("Accept-Ranges", "bytes")
        if with_length:
            self.send_header("Content-Length", str(count))
        else:
            # Without a length the only end-of-body marker is the close.
            self.send_header("Connection", "close")
            self.close_connection = True
        if body.last_modified is not None:
            self.send_header("Last-Modified", email.utils.formatdate(body.last_modified, usegmt=True))
        if "etag" in rule:
            self.send_header("ETag", rule["etag"])
        for name, value in extra.items():
            self.send_header(name, value)
        self.end_headers()
        if head:
            entry["complete"] = True
            return

        bps = rule.get("slow", {}).get("bytes_per_sec")
        limit = rule.get("drop_after")
        to_send = count if limit is None else min(limit, count)
        # Pace in about twenty writes a second: smooth enough for progress
        # bars, and a vanished client is noticed within a tick.
        max_chunk = CHUNK if bps is None else max(1, min(64 * 1024, bps // 20))

        start = time.monotonic()
        sent = 0
        for chunk in body.chunks(max_chunk, first, count):
            if sent >= to_send:
                break
            if sent + len(chunk) > to_send:
                chunk = chunk[: to_send - sent]
            self.write(chunk)
            sent += len(chunk)
            entry["bytes_sent"] = sent
            if bps is not None:
                wait = start + sent / bps - time.monotonic()
                if wait > 0:
                    time.sleep(wait)

        if limit is not None and limit < count:
            self.cut_connection(rule)
            return
        entry["complete"] = True

    def range_applies(self, body, rule):
        """If-Range: resume only when the client's validator is still this
        body's strong ETag or Last-Modified; otherwise the whole, possibly
        changed, body."""
        validator = self.headers.get("If-Range")
        if validator is None or rule.get("if_range", True) is False:
            return True
        validator = validator.strip()
        tag = rule.get("etag")
        if tag is not None and not tag.startswith("W/") and validator == tag:
            return True
        return (body.last_modified is not None
                and validator == email.utils.formatdate(body.last_modified, usegmt=True))

    def cut_connection(self, rule):
        mode = rule.get("drop_mode", "reset")
        self.close_connection = True
        if mode == "hang":
            self.hang(rule.get("hang_seconds", 300))
        elif mode == "reset":
            # Linger 0 makes close() send RST: the client gets a hard error
            # (possibly losing already-sent bytes) instead of a tidy EOF.
            self.connection.setsockopt(socket.SOL_SOCKET, socket.SO_LINGER, struct.pack("ii", 1, 0))
            with self.server.lock:
                self.server.aborted.add(self.connection)

    def hang(self, seconds):
        """Keep the connection open without sending, until the client leaves."""
        deadline = time.monotonic() + seconds
        while time.monotonic() < deadline:
            readable, _, _ = select.select([self.connection], [], [], 0.2)
            if readable:
                try:
                    if not self.connection.recv(4096):
                        return
                except (OSError, ssl.SSLError):
                    return


def write_atomically(path, text):
    tmp = f"{path}.tmp.{os.getpid()}"
    with open(tmp, "w", encoding="utf-8") as f:
        f.write(text)
    os.replace(tmp, path)


def main(argv=None):
    parser = argparse.ArgumentParser(description=__doc__.split("\n\n")[0])
    parser.add_argument("--port", type=int, default=0, help="port on 127.0.0.1 (0: any free port)")
    parser.add_argument("--root", help="directory served for GET/HEAD")
    parser.add_argument("--rules", help="JSON rules file, re-read on every request")
    parser.add_argument("--https", action="store_true", help="serve TLS")
    parser.add_argument("--cert", help="PEM certificate (chain) for --https")
    parser.add_argument("--key", help="PEM private key for --https")
    parser.add_argument("--port-file", help="write the bound port here once listening")
    parser.add_argument("--pid-file", help="write this process id here")
    parser.add_argument("--verbose", action="store_true", help="log every request to stderr")
    args = parser.parse_args(argv)

    if args.root and not os.path.isdir(args.root):
        parser.error(f"--root {args.root} is not a directory")
    tls_context = None
    if args.https:
        if not (args.cert and args.key):
            parser.error("--https needs --cert and --key")
        tls_context = ssl.SSLContext(ssl.PROTOCOL_TLS_SERVER)
        tls_context.load_cert_chain(args.cert, args.key)

    server = TestHTTPServer(args.port, args.root, args.rules, tls_context, args.verbose)
    stop = threading.Event()

    def on_signal(signum, frame):
        stop.set()

    signal.signal(signal.SIGTERM, on_signal)
    signal.signal(signal.SIGINT, on_signal)

    # serve_forever runs on a worker so the main thread stays free to react
    # to signals; calling shutdown() from the serving thread would deadlock.
    worker = threading.Thread(target=server.serve_forever, kwargs={"poll_interval": 0.2}, daemon=True)
    worker.start()

    port = server.server_address[1]
    if args.pid_file:
        write_atomically(args.pid_file, f"{os.getpid()}\n")
    if args.port_file:
        write_atomically(args.port_file, f"{port}\n")
    print(f"PORT {port}", flush=True)

    try:
        while not stop.wait(1.0):
            pass
    finally:
        server.shutdown()
        server.server_close()
        # A stale port file would point the next reader at a dead server.
        for path in (args.port_file, args.pid_file):
            if path:
                try:
                    os.unlink(path)
                except FileNotFoundError:
                    pass
    return 0


if __name__ == "__main__":
    sys.exit(main())
