"""Support for the installer window's black-box tests: the registry records, the window host, the texts of
the carried translations, and the pixels of a screenshot.

The tests run natively; every Windows program (the host, uidriver.exe, reg.exe) runs under Wine with the
prefix and display of the environment (scripts/wine-env, scripts/test).
"""

import os
import struct
import subprocess
import sys
import tempfile
import time
import zlib

SETTINGS_KEY = r"HKLM\SOFTWARE\Norvale\SSD Helmview"
TESSARO_KEY = r"HKLM\SOFTWARE\Tessaro\SSD Helmview"
MAKER_KEYS = (r"HKLM\SOFTWARE\Norvale", r"HKLM\SOFTWARE\Tessaro")

WINE = os.environ.get("WINE", "wine")


class TestFailure(AssertionError):
    pass


def expect(condition, what):
    if not condition:
        raise TestFailure(what)
    print("ok  ", what)


def expect_equal(actual, expected, what):
    if actual != expected:
        raise TestFailure("%s: expected %r, got %r" % (what, expected, actual))
    print("ok  ", "%s = %r" % (what, actual))


def _run_quietly(argv, timeout=120):
    # Files, not pipes: a program that starts Wine's server would hand the pipe on to it.
    with tempfile.TemporaryFile() as out:
        proc = subprocess.run(argv, stdin=subprocess.DEVNULL, stdout=out, stderr=subprocess.STDOUT,
                              timeout=timeout)
        out.seek(0)
        return proc.returncode, out.read().decode("utf-8", "replace")


# -- registry ------------------------------------------------------------------------------------------


def reg(*args):
    """wine reg <args> in the 32-bit view; returns (exit code, output)."""
    return _run_quietly([WINE, "reg"] + list(args) + ["/reg:32"])


def link_cjk_font():
    """On Windows, Segoe UI falls back to the system's CJK fonts for the Chinese, Japanese and Korean texts;
    Wine has no such link for the font it substitutes. Link it to the CJK font the test machine has
    (fonts-wqy-microhei), so the screenshots show those languages instead of empty boxes."""
    reg("add", r"HKLM\Software\Microsoft\Windows NT\CurrentVersion\FontLink\SystemLink", "/v", "Segoe UI",
        "/t", "REG_MULTI_SZ", "/d", "wqy-microhei.ttc,WenQuanYi Micro Hei", "/f")


def clear_records():
    """No installation of either brand, no remembered language."""
    for key in MAKER_KEYS:
        reg("delete", key, "/f")


def set_is_installed(number, key=SETTINGS_KEY):
    code, out = reg("add", key, "/v", "IsInstalled", "/t", "REG_DWORD", "/d", str(number), "/f")
    if code != 0:
        raise TestFailure("could not write IsInstalled: " + out)


def read_string(key, name):
    """The REG_SZ value's text, or None when it is absent."""
    code, out = reg("query", key, "/v", name)
    if code != 0:
        return None
    for line in out.splitlines():
        parts = line.split(None, 2)
        if len(parts) >= 2 and parts[0] == name and parts[1] == "REG_SZ":
            return parts[2].strip() if len(parts) == 3 else ""
    return None


def read_dword(key, name):
    """The REG_DWORD value, or None when it is absent."""
    code, out = reg("query", key, "/v", name)
    if code != 0:
        return None
    for line in out.splitlines():
        parts = line.split()
        if len(parts) == 3 and parts[0] == name and parts[1] == "REG_DWORD":
            return int(parts[2], 16)
    return None


def run_windows(argv, timeout=120):
    """Runs a Windows command line under Wine; returns (exit code, output)."""
    return _run_quietly([WINE] + argv, timeout)


# -- translations --------------------------------------------------------------------------------------


def translations(source_dir, code):
    """key -> text of one carried translation file, read the way the installer reads it."""
    path = os.path.join(source_dir, "resources", "lang", code + ".txt")
    with open(path, encoding="utf-8-sig") as f:
        lines = f.read().split("\n")
    texts = {}
    in_body = False
    for line in lines:
        if not in_body:
            in_body = "translations:" in line
            continue
        if ":" not in line or line.count('"') < 2:
            continue
        key = line.split(":", 1)[0].strip()
        first = line.index('"')
        texts[key] = line[first + 1:line.index('"', first + 1)].strip()
    return texts


def fill(text, *values):
    """Placeholders as the catalogue fills them: backslash-n becomes a line feed, then %1.. in one pass."""
    if not values:
        return text
    text = text.replace("\\n", "\n")
    out, i = [], 0
    while i < len(text):
        for n, value in enumerate(values, 1):
            mark = "%%%d" % n
            if text.startswith(mark, i):
                out.append(value)
                i += len(mark)
                break
        else:
            out.append(text[i])
            i += 1
    return "".join(out)


# -- pictures ------------------------------------------------------------------------------------------


class Picture:
    """The pixels of an 8-bit RGB or RGBA PNG (what uidriver writes)."""

    def __init__(self, path):
        with open(path, "rb") as f:
            data = f.read()
        if data[:8] != b"\x89PNG\r\n\x1a\n":
            raise TestFailure("%s is not a PNG" % path)
        pos, idat = 8, b""
        while pos < len(data):
            length, kind = struct.unpack(">I4s", data[pos:pos + 8])
            body = data[pos + 8:pos + 8 + length]
            if kind == b"IHDR":
                self.width, self.height, depth, colour, _, _, interlace = struct.unpack(">IIBBBBB", body)
                if depth != 8 or colour not in (2, 6) or interlace:
                    raise TestFailure("unsupported PNG form in %s" % path)
                self.channels = 3 if colour == 2 else 4
            elif kind == b"IDAT":
                idat += body
            pos += 12 + length
        raw = zlib.decompress(idat)
        stride = self.width * self.channels
        rows, prev = [], bytearray(stride)
        for y in range(self.height):
            start = y * (stride + 1)
            kind, line = raw[start], bytearray(raw[start + 1:start + 1 + stride])
            bpp = self.channels
            for x in range(stride):
                a = line[x - bpp] if x >= bpp else 0
                b = prev[x]
                c = prev[x - bpp] if x >= bpp else 0
                if kind == 1:
                    line[x] = (line[x] + a) & 0xFF
                elif kind == 2:
                    line[x] = (line[x] + b) & 0xFF
                elif kind == 3:
                    line[x] = (line[x] + (a + b) // 2) & 0xFF
                elif kind == 4:
                    p = a + b - c
                    pa, pb, pc = abs(p - a), abs(p - b), abs(p - c)
                    line[x] = (line[x] + (a if pa <= pb and pa <= pc else b if pb <= pc else c)) & 0xFF
            rows.append(line)
            prev = line
        self.rows = rows
        self.origin = (0, 0)

    def rgb(self, x, y):
        """Colour at client coordinates (set origin to the client's place in the picture)."""
        px, py = x + self.origin[0], y + self.origin[1]
        i = px * self.channels
        return tuple(self.rows[py][i:i + 3])

    def count(self, left, top, right, bottom, predicate):
        return sum(1 for y in range(top, bottom) for x in range(left, right) if predicate(self.rgb(x, y)))


def is_white(c):
    return c == (255, 255, 255)


# -- the window host -----------------------------------------------------------------------------------


class Host:
    """One window host process with its window found. Ends it when leaving the with-block."""

    def __init__(self, exe, driver, *args, screenshot_dir=None):
        self.exe = exe
        self.args = [str(a) for a in args]
        self.driver = driver
        self.screenshot_dir = screenshot_dir
        self.proc = None
        self.window = None
        self._log = None

    def __enter__(self):
        self._log = tempfile.TemporaryFile()
        self.proc = subprocess.Popen([WINE, self.exe] + self.args, stdin=subprocess.DEVNULL, stdout=self._log,
                                     stderr=subprocess.STDOUT)
        found = self.driver.find(exe=os.path.basename(self.exe), timeout_ms=60000, visible=True)
        self.driver = self.driver.with_pid(found["pid"])
        # The first paint has chosen the screen once the body has its text or the buttons their final state.
        time.sleep(0.5)
        self.window = self.driver.find()
        return self

    def __exit__(self, *exc):
        if self.proc.poll() is None:
            self.proc.kill()
            self.proc.wait(30)
        self._log.close()
        return False

    def children(self):
        return self.driver.children()

    def child(self, index):
        return self.children()[index]

    def wait_exit(self, timeout=30):
        try:
            return self.proc.wait(timeout)
        except subprocess.TimeoutExpired:
            raise TestFailure("the host did not end within %d s" % timeout)

    def screenshot(self, name):
        """Saves build/screenshots/<name>.png and returns its pixels, client-relative."""
        os.makedirs(self.screenshot_dir, exist_ok=True)
        path = os.path.join(self.screenshot_dir, name + ".png")
        self.driver.screenshot(path, settle_ms=300)
        picture = Picture(path)
        w = self.driver.find()
        picture.origin = (w["client_origin"]["x"] - w["rect"]["left"], w["client_origin"]["y"] - w["rect"]["top"])
        print("screenshot", path)
        return picture


def run_case(cases, argv):
    """Runs the one case named on the command line."""
    name = argv[-1]
    case = cases.get("test_" + name)
    if case is None:
        print("no such case:", name, file=sys.stderr)
        return 2
    try:
        case()
    except TestFailure as e:
        print("FAIL:", e, file=sys.stderr)
        return 1
    print("passed:", name)
    return 0
