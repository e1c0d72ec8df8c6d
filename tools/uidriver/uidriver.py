"""Python side of uidriver.exe: inspects and drives the installer window from black-box tests.

Every call runs ``wine uidriver.exe <command> ...`` with the caller's environment (WINEPREFIX, DISPLAY, ...)
and returns the parsed JSON line it prints. A non-zero exit raises UiDriverError unless ``check=False``.

    d = UiDriver("/path/to/uidriver.exe")          # or set UIDRIVER_EXE
    w = d.find(timeout_ms=20000)                    # waits for the "TESTSETUP" window
    d.click(text("Install"), pid=w["pid"])
    box = d.msgbox(pid=w["pid"], timeout_ms=60000, answer=True)

Child specs: index(n), text("Exact text"), nth("Button", k), ctl_id(n) build the strings the exe accepts
("index:N", "text:T", "class:C#K", "id:N").

Non-ASCII arguments are passed hex-encoded ("@u8:<hex>"), so they survive whatever locale Wine uses to turn
the Unix argv into UTF-16; output is UTF-8 JSON, decoded here.
"""

import json
import os
import subprocess
import tempfile
import time

DEFAULT_CLASS = "TESTSETUP"


class UiDriverError(RuntimeError):
    """uidriver.exe exited non-zero (window/control not found, timeout, failure) or printed no JSON."""

    def __init__(self, message, returncode=None, result=None, argv=None, stderr=""):
        super().__init__(message)
        self.returncode = returncode
        self.result = result or {}
        self.argv = argv or []
        self.stderr = stderr


def index(n):
    return "index:%d" % n


def text(t):
    return "text:" + t


def nth(class_name, k=0):
    return "class:%s#%d" % (class_name, k)


def ctl_id(n):
    return "id:%d" % n


def to_wine_path(path):
    """Absolute Unix paths become Z:\\... (Wine maps / to Z:); anything else is passed unchanged."""
    path = os.fspath(path)
    if path.startswith("/"):
        return "Z:" + path.replace("/", "\\")
    return path


def _encode_arg(arg):
    arg = str(arg)
    if arg.isascii() and not arg.startswith("@u8:"):
        return arg
    return "@u8:" + arg.encode("utf-8").hex()


class UiDriver:
    def __init__(self, exe=None, *, wine=None, env=None, window_class=DEFAULT_CLASS, pid=None,
                 call_timeout=60.0):
        """exe: path to uidriver.exe (default $UIDRIVER_EXE). wine: the wine launcher (default $WINE or
        "wine"). env: extra variables on top of os.environ. pid: default Windows pid filter for windows and
        message boxes (the pid reported by find(), not the Unix pid of the wine process)."""
        self.exe = os.fspath(exe or os.environ.get("UIDRIVER_EXE", ""))
        if not self.exe:
            raise ValueError("uidriver.exe path not given and UIDRIVER_EXE not set")
        self.wine = wine or os.environ.get("WINE", "wine")
        self.env = dict(os.environ)
        self.env.setdefault("WINEDEBUG", "-all")
        if env:
            self.env.update(env)
        self.window_class = window_class
        self.pid = pid
        self.call_timeout = call_timeout

    def with_pid(self, pid):
        """A copy of this driver whose calls default to the windows of one process."""
        other = UiDriver(self.exe, wine=self.wine, env=self.env, window_class=self.window_class, pid=pid,
                         call_timeout=self.call_timeout)
        return other

    # -- plumbing ---------------------------------------------------------------------------------------

    def run(self, *args, check=True, timeout_ms=0):
        """Runs one command; returns the parsed JSON object (it holds "error" when check=False and it failed)."""
        argv = [self.wine, self.exe] + [_encode_arg(a) for a in args]
        # Files, not pipes: if this call happens to start the wineserver, it and explorer.exe inherit the
        # output handles and would keep a pipe open (and us waiting for EOF) long after uidriver exits.
        with tempfile.TemporaryFile() as out, tempfile.TemporaryFile() as err:
            try:
                proc = subprocess.run(argv, stdin=subprocess.DEVNULL, stdout=out, stderr=err, env=self.env,
                                      timeout=self.call_timeout + timeout_ms / 1000.0)
            except subprocess.TimeoutExpired as e:
                raise UiDriverError("uidriver did not finish: %s" % " ".join(map(str, args)), argv=argv) from e
            out.seek(0)
            err.seek(0)
            stdout = out.read().decode("utf-8", "replace")
            stderr = err.read().decode("utf-8", "replace")
        lines = [l for l in stdout.splitlines() if l.strip()]
        result = None
        if lines:
            try:
                result = json.loads(lines[-1])
            except ValueError:
                result = None
        if result is None:
            raise UiDriverError("uidriver printed no JSON (exit %d): %r %s" % (proc.returncode, lines, stderr),
                                proc.returncode, None, argv, stderr)
        if check and proc.returncode != 0:
            raise UiDriverError("%s: %s" % (" ".join(map(str, args)), result.get("error", result)),
                                proc.returncode, result, argv, stderr)
        return result

    def _opts(self, pid=None, exe=None, hwnd=None, timeout_ms=0, visible=False):
        out = []
        pid = self.pid if pid is None else pid
        if pid:
            out += ["--pid", str(pid)]
        if exe:
            out += ["--exe", exe]
        if hwnd:
            out += ["--hwnd", str(hwnd)]
        if timeout_ms:
            out += ["--timeout", str(int(timeout_ms))]
        if visible:
            out.append("--visible")
        return out

    def _cls(self, window_class):
        return window_class or self.window_class

    # -- windows ----------------------------------------------------------------------------------------

    def find(self, window_class=None, *, pid=None, exe=None, hwnd=None, timeout_ms=0, visible=False, check=True):
        """hwnd, pid, exe, title, rect{left,top,right,bottom}, width, height, client{w,h}, client_origin,
        style, exstyle, has_maximize_box, has_minimize_box, has_sizing_border, visible, enabled, minimized,
        maximized, foreground, count (matching windows)."""
        return self.run("find", self._cls(window_class), *self._opts(pid, exe, hwnd, timeout_ms, visible),
                        check=check, timeout_ms=timeout_ms)

    def exists(self, window_class=None, **kw):
        return "error" not in self.find(window_class, check=False, **kw)

    def windows(self, window_class=None, *, all=False, pid=None, exe=None):
        """Top-level windows (visible only unless all=True): hwnd, class, title, pid, exe, visible, rect."""
        args = ["windows"] + ([window_class] if window_class else []) + self._opts(pid, exe)
        if all:
            args.append("--all")
        return self.run(*args)["windows"]

    def close(self, window_class=None, *, pid=None, exe=None, hwnd=None, timeout_ms=0):
        """Posts WM_CLOSE."""
        return self.run("close", self._cls(window_class), *self._opts(pid, exe, hwnd, timeout_ms),
                        timeout_ms=timeout_ms)

    def wait_gone(self, window_class=None, timeout_ms=10000, *, pid=None, exe=None, hwnd=None, visible=False,
                  check=True):
        """Waits until no matching window exists (visible=True: until none is visible); raises UiDriverError
        on timeout (or returns the error object with check=False). Under Wine without a window manager a
        closed window stays listed, hidden, until its process has exited."""
        return self.run("wait-gone", self._cls(window_class), *self._opts(pid, exe, hwnd, timeout_ms, visible),
                        check=check, timeout_ms=timeout_ms)

    # -- controls ---------------------------------------------------------------------------------------

    def children(self, window_class=None, *, pid=None, exe=None, hwnd=None, timeout_ms=0):
        """Direct children in Z (creation) order: index, hwnd, class, id, text, visible, enabled, x, y, w, h
        (parent client coordinates), style, exstyle, font (None when unreadable, always under Wine); Button:
        button_type, button_type_name, checked; ComboBox: items, selected; msctls_progress32: pos,
        range [lo, hi]; Static: static_type, notify."""
        return self.run("children", self._cls(window_class), *self._opts(pid, exe, hwnd, timeout_ms),
                        timeout_ms=timeout_ms)["children"]

    def child(self, spec, window_class=None, *, pid=None, exe=None, hwnd=None, timeout_ms=0, check=True):
        """One child's entry as in children(); timeout_ms waits for it to appear."""
        return self.run("child", self._cls(window_class), spec, *self._opts(pid, exe, hwnd, timeout_ms),
                        check=check, timeout_ms=timeout_ms)

    def click(self, spec, window_class=None, *, pid=None, exe=None, hwnd=None, timeout_ms=0, force=False,
              again_after_ms=None):
        """Posts WM_COMMAND(BN_CLICKED) for the child to its parent; automatic check boxes and radio buttons
        change state first, as a mouse click would. Disabled or hidden controls are refused unless
        force=True. again_after_ms posts the same click once more that long after the first, in the same
        call. Returns at once: poll for the effect."""
        args = ["click", self._cls(window_class), spec] + self._opts(pid, exe, hwnd, timeout_ms)
        if force:
            args.append("--force")
        if again_after_ms is not None:
            args += ["--again", str(int(again_after_ms))]
        return self.run(*args, timeout_ms=timeout_ms)

    def check(self, spec, state=True, window_class=None, *, pid=None, exe=None, hwnd=None, timeout_ms=0,
              notify=False):
        """BM_SETCHECK (state True/False or 0/1/2); notify=True also posts BN_CLICKED to the parent."""
        args = ["check", self._cls(window_class), spec, str(int(state))] + self._opts(pid, exe, hwnd, timeout_ms)
        if notify:
            args.append("--notify")
        return self.run(*args, timeout_ms=timeout_ms)

    def select(self, spec, item, window_class=None, *, pid=None, exe=None, hwnd=None, timeout_ms=0,
               force=False):
        """Selects a combo box item by index (int) or exact text (str), then posts CBN_SELCHANGE."""
        which = str(item) if isinstance(item, int) else "text:" + item
        args = ["select", self._cls(window_class), spec, which] + self._opts(pid, exe, hwnd, timeout_ms)
        if force:
            args.append("--force")
        return self.run(*args, timeout_ms=timeout_ms)

    # -- keyboard ---------------------------------------------------------------------------------------

    def keys(self, *names, window_class=None, pid=None, exe=None, hwnd=None, timeout_ms=0, pause_ms=None):
        """Brings the window to the foreground and types the keys as real key events, e.g.
        keys("TAB", "SHIFT+TAB", "ENTER", "ESC", "SPACE"); pause_ms (default 50) follows each key. Returns
        {hwnd, sent, foreground}."""
        if not names:
            raise ValueError("keys() needs at least one key")
        args = ["keys", self._cls(window_class)] + list(names) + self._opts(pid, exe, hwnd, timeout_ms)
        if pause_ms is not None:
            args += ["--pause", str(int(pause_ms))]
        return self.run(*args, timeout_ms=timeout_ms)

    def focus(self, window_class=None, *, pid=None, exe=None, hwnd=None, timeout_ms=0):
        """The child holding the keyboard focus, as an entry of children(), or None when no control of the
        window has it (it is on the window itself, or on another window such as a message box)."""
        return self.run("focus", self._cls(window_class), *self._opts(pid, exe, hwnd, timeout_ms),
                        timeout_ms=timeout_ms)["focus"]

    def accessible(self, spec, window_class=None, *, pid=None, exe=None, hwnd=None, timeout_ms=0):
        """What screen readers are told about the child: name, value, role and state (the MSAA numbers),
        from the object its window hands out for OBJID_CLIENT or the system's standard one."""
        return self.run("accessible", self._cls(window_class), spec, *self._opts(pid, exe, hwnd, timeout_ms),
                        timeout_ms=timeout_ms)

    # -- message boxes ----------------------------------------------------------------------------------

    def msgbox(self, *, pid=None, exe=None, timeout_ms=0, answer=False, button=None, check=True):
        """The first visible "#32770" dialog: hwnd, pid, caption, text, button_texts, buttons[{id, text,
        default, hwnd}]. answer=True presses OK (or the default button); button="Text" presses that one.
        When answering, also answered, answered_id and gone."""
        args = ["msgbox"] + self._opts(pid, exe, None, timeout_ms)
        if button is not None:
            args += ["--button", button]
        elif answer:
            args.append("--answer")
        return self.run(*args, check=check, timeout_ms=max(timeout_ms, 5000))

    def answer_msgbox(self, button=None, **kw):
        return self.msgbox(answer=True, button=button, **kw)

    def no_msgbox(self, *, pid=None, exe=None):
        """True when no message box is showing right now."""
        return "error" in self.msgbox(pid=pid, exe=exe, check=False)

    # -- pixels -----------------------------------------------------------------------------------------

    def screenshot(self, path, window_class=None, *, pid=None, exe=None, hwnd=None, timeout_ms=0,
                   method=None, settle_ms=None):
        """PNG of the whole window (frame included), captured from the screen after raising the window."""
        args = ["screenshot", self._cls(window_class), to_wine_path(path)] + self._opts(pid, exe, hwnd,
                                                                                      timeout_ms)
        args += self._capture_opts(method, settle_ms)
        return self.run(*args, timeout_ms=timeout_ms)

    def screenshot_msgbox(self, path, *, pid=None, exe=None, timeout_ms=0, method=None, settle_ms=None):
        args = ["screenshot-msgbox", to_wine_path(path)] + self._opts(pid, exe, None, timeout_ms)
        args += self._capture_opts(method, settle_ms)
        return self.run(*args, timeout_ms=timeout_ms)

    def pixel(self, x, y, window_class=None, **kw):
        """{"x", "y", "r", "g", "b", "hex"} of a point in CLIENT coordinates."""
        return self.pixels([(x, y)], window_class, **kw)[0]

    def pixels(self, points, window_class=None, *, pid=None, exe=None, hwnd=None, timeout_ms=0, method=None,
               settle_ms=None):
        """Several client points from one capture; a list of pixel objects in the same order."""
        coords = [str(int(c)) for p in points for c in p]
        args = ["pixel", self._cls(window_class)] + coords + self._opts(pid, exe, hwnd, timeout_ms)
        args += self._capture_opts(method, settle_ms)
        result = self.run(*args, timeout_ms=timeout_ms)
        return result["pixels"] if "pixels" in result else [result]

    @staticmethod
    def _capture_opts(method, settle_ms):
        out = []
        if method:
            out += ["--method", method]
        if settle_ms is not None:
            out += ["--settle", str(int(settle_ms))]
        return out

    # -- polling ----------------------------------------------------------------------------------------

    @staticmethod
    def wait_until(predicate, timeout_s=10.0, interval_s=0.1, what="condition"):
        """Calls predicate() until it returns something truthy and returns that; raises TimeoutError."""
        deadline = time.monotonic() + timeout_s
        while True:
            value = predicate()
            if value:
                return value
            if time.monotonic() >= deadline:
                raise TimeoutError("timed out waiting for " + what)
            time.sleep(interval_s)

    def wait_child(self, spec, predicate, window_class=None, timeout_s=10.0, **kw):
        """Polls child(spec) until predicate(child_dict) holds; returns that child's entry."""
        def attempt():
            c = self.child(spec, window_class, check=False, **kw)
            return c if "error" not in c and predicate(c) else None
        return self.wait_until(attempt, timeout_s, what="child %s" % spec)
