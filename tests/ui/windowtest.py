"""Support for the installer window's black-box tests: the registry records, the window host, the texts of
the carried translations, and the pixels of a screenshot.

The tests run natively; every Windows program (the host, uidriver.exe, reg.exe) runs under Wine with the
prefix and display of the environment (scripts/wine-env, scripts/test). What the end-to-end tests share with
these (checks, registry, texts) comes from the harness package in tools/.
"""

import os
import struct
import subprocess
import sys
import tempfile
import zlib
from pathlib import Path

sys.path.insert(0, str(Path(__file__).resolve().parents[2] / "tools"))
from harness.checks import CheckFailed as TestFailure, expect, expect_equal  # noqa: E402,F401
from harness.installer import INSTALLER_VERSION, reg_delete_key, reg_query, reg_set, run_wine  # noqa: E402,F401
from harness.texts import fill, translations  # noqa: E402,F401

SETTINGS_KEY = r"HKLM\SOFTWARE\Norvale\SSD Helmview"
TESSARO_KEY = r"HKLM\SOFTWARE\Tessaro\SSD Helmview"
MAKER_KEYS = (r"HKLM\SOFTWARE\Norvale", r"HKLM\SOFTWARE\Tessaro")

WINE = os.environ.get("WINE", "wine")


# -- registry (the installer's 32-bit view) -----------------------------------------------------------


def link_cjk_font():
    """On Windows, Segoe UI falls back to the system's CJK fonts for the Chinese, Japanese and Korean texts;
    Wine has no such link for the font it substitutes. Link it to the CJK font the test machine has
    (fonts-wqy-microhei), so the screenshots show those languages instead of empty boxes."""
    run_wine(["reg", "add", r"HKLM\Software\Microsoft\Windows NT\CurrentVersion\FontLink\SystemLink", "/v",
              "Segoe UI", "/t", "REG_MULTI_SZ", "/d", "wqy-microhei.ttc,WenQuanYi Micro Hei", "/f", "/reg:32"],
             check=False)


def clear_records():
    """No installation of either brand, no remembered language."""
    for key in MAKER_KEYS:
        reg_delete_key(key)


def set_is_installed(number, key=SETTINGS_KEY):
    reg_set(key, "IsInstalled", number, "REG_DWORD")


def read_string(key, name):
    """The REG_SZ value's text, or None when it is absent."""
    found = reg_query(key, name)
    return found[1].strip() if found and found[0] == "REG_SZ" else None


def read_dword(key, name):
    """The REG_DWORD value, or None when it is absent."""
    found = reg_query(key, name)
    return found[1] if found and found[0] == "REG_DWORD" else None


def run_windows(argv, timeout=120):
    """Runs a Windows command line under Wine; returns (exit code, output)."""
    return run_wine(argv, timeout=timeout, check=False)


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
    """One window host process with its window found and showing its first screen. Ends it when leaving the
    with-block."""

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
        self._events = tempfile.NamedTemporaryFile(suffix=".log")
        log = ["--log", "Z:" + self._events.name.replace("/", "\\")]
        self.proc = subprocess.Popen([WINE, self.exe] + self.args + log, stdin=subprocess.DEVNULL,
                                     stdout=self._log, stderr=subprocess.STDOUT)
        found = self.driver.find(exe=os.path.basename(self.exe), timeout_ms=60000, visible=True)
        self.driver = self.driver.with_pid(found["pid"])
        # The window logs the decision as it shows the screen for the records; queries wait for that handling.
        self.driver.wait_until(lambda: b" decision: " in Path(self._events.name).read_bytes(), 30,
                               what="the first screen")
        self.window = self.driver.find()
        return self

    def __exit__(self, *exc):
        if self.proc.poll() is None:
            self.proc.kill()
            self.proc.wait(30)
        self._log.close()
        self._events.close()
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
