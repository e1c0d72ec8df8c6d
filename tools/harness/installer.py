"""Drives the real build/HelmviewSetup.exe from outside for the end-to-end tests and the demo.

The installer runs under Wine in the checkout's throwaway prefix (HELM_WINEPREFIX, else <build>/wine-prefix), against
the loopback test server (tools/testserver) holding packages packed from the fixture programs
(tools/fixtures/make_packages.py). Its window is read and clicked through the UI driver (tools/uidriver), its
files and registry records are read through the prefix.

Every start relaunches: the process we start copies the installer into a new folder of the temporary-files folder,
starts that copy and ends. Wine starts a process as a grandchild of the one that asks and lets the middle process
end, so this Python process makes itself a child subreaper: the relaunched copy (and the application the installer
launches later) become our children. That gives their command lines, their exit codes and their CPU times, and
lets us stop what is left at the end, by process id.
"""

import contextlib
import ctypes
import getpass
import json
import os
import re
import shutil
import signal
import subprocess
import sys
import tempfile
import time
from pathlib import Path

ROOT = Path(__file__).resolve().parents[2]
BUILD = Path(os.environ.get("HELM_BUILD_DIR", ROOT / "build")).resolve()
EXE = BUILD / "HelmviewSetup.exe"
SEVEN_ZIP = BUILD / "thirdparty" / "7za.exe"
FIXTURES = BUILD / "tools" / "fixtures"
PACKAGES = BUILD / "e2e" / "packages"
CERTS = BUILD / "e2e" / "certs"
SHOTS = BUILD / "screenshots" / "e2e"

sys.path.insert(0, str(ROOT / "tools"))
sys.path.insert(0, str(ROOT / "tools" / "testserver"))
sys.path.insert(0, str(ROOT / "tools" / "fixtures"))
sys.path.insert(0, str(ROOT / "tools" / "uidriver"))
from testserver import TestServer  # noqa: E402
import make_packages  # noqa: E402
from uidriver import UiDriver, UiDriverError, index  # noqa: E402
from harness.checks import CheckFailed as E2EError, expect  # noqa: E402,F401
from harness.texts import T  # noqa: E402,F401

OFFERED = "2.2.0.1"
PRODUCT = "Helmview"
# The number the build gives the installer, from the one place that holds it.
INSTALLER_VERSION = re.search(r'INSTALLER_VERSION_TEXT "([^"]+)"',
                              (ROOT / "resources" / "installer_version.h").read_text()).group(1)
WINDOW_CLASS = "TESTSETUP"
APP_WINDOW_CLASS = "HelmviewFixtureApp"

# The installer window's controls where the driver lists them: in their order among their siblings, which is
# the reading order (and, for those that take the focus, the Tab order).
BODY_TEXT, PROGRESS_BAR, LANGUAGE_LABEL, LANGUAGE_COMBO, LAUNCH_CHECKBOX = 0, 1, 2, 3, 4
VERSION_LINE, RELEASE_NOTES_LINK, CANCEL_BUTTON, INSTALL_BUTTON, INSTALLER_VERSION_LINE = 5, 6, 7, 8, 9

# Registry locations (HKEY_LOCAL_MACHINE, 32-bit view).
SETTINGS_KEY = r"HKLM\Software\Norvale\SSD Helmview"
TESSARO_SETTINGS_KEY = r"HKLM\Software\Tessaro\SSD Helmview"
UNINSTALL_KEY = r"HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall\Norvale SSD Helmview"
TESSARO_UNINSTALL_KEY = r"HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall\Tessaro SSD Helmview"
INSTALL_DIR_WIN = "C:\\Program Files (x86)\\Norvale\\SSD Helmview\\"

PR_SET_CHILD_SUBREAPER = 36


# --------------------------------------------------------------------------------------------------------------
# Wine environment


def wine_prefix():
    # The same rule as scripts/wine-env.
    return Path(os.environ.get("HELM_WINEPREFIX") or (BUILD / "wine-prefix")).resolve()


def wine_env(extra=None):
    env = dict(os.environ)
    env["WINEPREFIX"] = str(wine_prefix())
    env["WINEARCH"] = "win64"
    env["WINEDEBUG"] = "-all"
    env["WINEDLLOVERRIDES"] = "mscoree,mshtml=;winemenubuilder.exe=d"
    # English texts whatever the host's locale: the first run takes the user's locale as its language.
    env["LC_ALL"] = "en_US.UTF-8"
    env["LANG"] = "en_US.UTF-8"
    env.pop("LANGUAGE", None)
    if extra:
        env.update(extra)
    return env


def prepare_prefix():
    """Creates the prefix once (safely, see scripts/wine-env) and starts its server detached from our output."""
    script = f'source "{ROOT}/scripts/wine-env" && helm_ensure_prefix && helm_start_server'
    env = dict(os.environ)
    env["HELM_WINEPREFIX"] = str(wine_prefix())
    subprocess.run(["bash", "-c", script], check=True, env=env, stdin=subprocess.DEVNULL,
                   stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)


def run_wine(args, timeout=120, check=True, env=None):
    """Runs a Windows console program to its end; returns (exit code, output)."""
    with tempfile.TemporaryFile() as out:
        result = subprocess.run(["wine"] + [str(a) for a in args], env=env or wine_env(), stdin=subprocess.DEVNULL,
                                stdout=out, stderr=subprocess.STDOUT, timeout=timeout)
        out.seek(0)
        text = out.read().decode("utf-8", "replace")
    if check and result.returncode != 0:
        raise E2EError(f"wine {' '.join(map(str, args))}: exit {result.returncode}\n{text}")
    return result.returncode, text


def drive_c():
    return wine_prefix() / "drive_c"


def unix_path(windows_path):
    """C:\\a\\b -> <prefix>/drive_c/a/b; Z:\\x -> /x."""
    p = windows_path.rstrip("\\")
    drive, rest = p[0].upper(), p[2:].replace("\\", "/").lstrip("/")
    if drive == "C":
        return drive_c() / rest
    if drive == "Z":
        return Path("/" + rest)
    raise ValueError(windows_path)


def windows_path(path):
    path = Path(path).resolve()
    try:
        return "C:\\" + str(path.relative_to(drive_c())).replace("/", "\\")
    except ValueError:
        return "Z:" + str(path).replace("/", "\\")


def user_folder():
    return drive_c() / "users" / getpass.getuser()


def temp_folder_windows():
    """The temporary-files folder as the installer sees it (%TEMP% of the prefix)."""
    _, out = run_wine(["cmd", "/c", "echo", "%TEMP%"])
    return out.strip().splitlines()[-1].strip()


def install_dir():
    return unix_path(INSTALL_DIR_WIN)


def desktop_shortcut():
    return user_folder() / "Desktop" / "Helmview.lnk"


def start_menu_shortcut():
    return drive_c() / "ProgramData" / "Microsoft" / "Windows" / "Start Menu" / "Programs" / "Helmview.lnk"


class Display:
    """The X display the windows go to: $DISPLAY, or a private Xvfb started here and stopped by its pid."""

    def __init__(self, private=False):
        self.private = private or not os.environ.get("DISPLAY")
        self.process = None
        self.saved = os.environ.get("DISPLAY")

    def __enter__(self):
        if not self.private:
            return self
        for n in range(150, 200):
            if Path(f"/tmp/.X{n}-lock").exists() or Path(f"/tmp/.X11-unix/X{n}").exists():
                continue
            process = subprocess.Popen(["Xvfb", f":{n}", "-screen", "0", "1920x1080x24", "-nolisten", "tcp"],
                                       stdin=subprocess.DEVNULL, stdout=subprocess.DEVNULL,
                                       stderr=subprocess.DEVNULL)
            deadline = time.monotonic() + 10
            while process.poll() is None and not Path(f"/tmp/.X11-unix/X{n}").exists() and \
                    time.monotonic() < deadline:
                time.sleep(0.1)
            if process.poll() is None and Path(f"/tmp/.X11-unix/X{n}").exists():
                self.process = process
                os.environ["DISPLAY"] = f":{n}"
                return self
            if process.poll() is None:
                process.kill()
            process.wait()
        raise E2EError("could not start Xvfb")

    def __exit__(self, *exc):
        if self.process is not None:
            self.process.terminate()
            try:
                self.process.wait(timeout=10)
            except subprocess.TimeoutExpired:
                self.process.kill()
                self.process.wait()
            self.process = None
            if self.saved is None:
                os.environ.pop("DISPLAY", None)
            else:
                os.environ["DISPLAY"] = self.saved


def stop_wine_server():
    """Stops the prefix's wineserver and with it every Windows process of the prefix."""
    subprocess.run(["wineserver", "-k"], env=wine_env(), stdin=subprocess.DEVNULL, stdout=subprocess.DEVNULL,
                   stderr=subprocess.DEVNULL, check=False)
    subprocess.run(["wineserver", "-w"], env=wine_env(), stdin=subprocess.DEVNULL, stdout=subprocess.DEVNULL,
                   stderr=subprocess.DEVNULL, check=False, timeout=60)


# --------------------------------------------------------------------------------------------------------------
# Registry, through Wine's reg.exe (32-bit view for HKEY_LOCAL_MACHINE)


def _reg_line(line):
    # "    Name    REG_SZ    data": the data keeps its trailing blanks.
    return re.split(r" {4}|\t", line.lstrip().rstrip("\r\n"), maxsplit=2)


def _reg_read(args):
    """reg.exe's output for a query, or None when reg.exe says the key or value does not exist. Any other failure
    (a key it cannot reach, Wine not starting) raises: "could not tell" must never read as "absent"."""
    code, out = run_wine(["reg", "query"] + args + ["/reg:32"], check=False)
    if code == 0:
        return out
    if code == 1 and "unable to find" in out.lower():
        return None
    raise E2EError(f"reg query {' '.join(args)}: exit {code}\n{out}")


def reg_query(key, name):
    """(type, data) of a value, or None when reg.exe finds no such key or value."""
    out = _reg_read([key, "/v", name])
    if out is None:
        return None
    for line in out.splitlines():
        parts = _reg_line(line)
        if len(parts) >= 2 and parts[0] == name and parts[1].startswith("REG_"):
            data = parts[2] if len(parts) > 2 else ""
            if parts[1] == "REG_DWORD":
                return parts[1], int(data, 16)
            return parts[1], data
    raise E2EError(f"reg query {key} /v {name} succeeded without the value in its output:\n{out}")


def reg_value(key, name):
    found = reg_query(key, name)
    return None if found is None else found[1]


def reg_values(key):
    """All values of a key as {name: (type, data)}; None when reg.exe finds no such key."""
    out = _reg_read([key])
    if out is None:
        return None
    values = {}
    for line in out.splitlines():
        parts = _reg_line(line)
        if len(parts) >= 2 and parts[1].startswith("REG_"):
            data = parts[2] if len(parts) > 2 else ""
            values[parts[0]] = (parts[1], int(data, 16) if parts[1] == "REG_DWORD" else data)
    return values


def reg_set(key, name, data, kind="REG_SZ"):
    run_wine(["reg", "add", key, "/v", name, "/t", kind, "/d", str(data), "/f", "/reg:32"])


def reg_delete_key(key):
    run_wine(["reg", "delete", key, "/f", "/reg:32"], check=False)


# --------------------------------------------------------------------------------------------------------------
# Machine state


def reset_machine():
    """No installation of either brand: registry records, install folders and shortcuts removed."""
    for key in (r"HKLM\Software\Norvale", r"HKLM\Software\Tessaro", UNINSTALL_KEY, TESSARO_UNINSTALL_KEY):
        reg_delete_key(key)
    for folder in (drive_c() / "Program Files (x86)" / "Norvale", drive_c() / "Program Files (x86)" / "Tessaro"):
        shutil.rmtree(folder, ignore_errors=True)
    for link in (desktop_shortcut(), start_menu_shortcut()):
        link.unlink(missing_ok=True)


def run_case(name, body, cleanup=None):
    """Runs body(case) on a machine reset before and after, with cleanup() and the case's own clean-up on the way
    out however it ends; 0 once it passed (a failed check raises)."""
    c = Case(name)
    try:
        reset_machine()
        body(c)
    finally:
        if cleanup:
            cleanup()
        c.close()
        reset_machine()
    print(f"PASS {name} (screenshots in {c.shots})")
    return 0


@contextlib.contextmanager
def open_commands(program):
    """While it lasts, the shell opens web addresses and PDF documents with program, which the fixture log then
    records, instead of handing them to a browser or viewer of the host."""
    command = f'"{windows_path(program)}" "%1"'
    wanted = {r"HKLM\Software\Classes\.pdf": "pdffile"}
    for name in ("http", "https", "pdffile"):
        wanted[rf"HKLM\Software\Classes\{name}\shell\open\command"] = command
    views = ("/reg:32", "/reg:64")
    saved = []
    # All read before any is written: the two views may share the key.
    for key in wanted:
        for view in views:
            _, out = run_wine(["reg", "query", key, "/ve", view], check=False)
            old = [_reg_line(line) for line in out.splitlines() if "REG_SZ" in line]
            saved.append((key, view, old[0][2] if old and len(old[0]) > 2 else None))
    try:
        for key, data in wanted.items():
            for view in views:
                run_wine(["reg", "add", key, "/ve", "/d", data, "/f", view])
        yield
    finally:
        for key, view, old in reversed(saved):
            if old is None:
                run_wine(["reg", "delete", key, "/ve", "/f", view], check=False)
            else:
                run_wine(["reg", "add", key, "/ve", "/d", old, "/f", view], check=False)


def record_installation(version, status=3, files=("old-version.txt",)):
    """An earlier installation as the installer records it (status 1: begun and never finished)."""
    reg_set(SETTINGS_KEY, "IsInstalled", status, "REG_DWORD")
    reg_set(SETTINGS_KEY, "InstallPath", INSTALL_DIR_WIN)
    reg_set(SETTINGS_KEY, "CurrentVersion", version)
    reg_set(UNINSTALL_KEY, "DisplayVersion", version)
    folder = install_dir()
    folder.mkdir(parents=True, exist_ok=True)
    for name in files:
        (folder / name).write_text(f"left by version {version}\n")


def folder_files(folder):
    """Relative paths (with "/") of the files below folder."""
    folder = Path(folder)
    if not folder.is_dir():
        return []
    return sorted(str(p.relative_to(folder)) for p in folder.rglob("*") if p.is_file())


def read_shortcut(path):
    """{"target", "working_dir", "icon"} of a shell link file, as far as it records them."""
    data = Path(path).read_bytes()
    if len(data) < 76 or int.from_bytes(data[0:4], "little") != 0x4C:
        raise E2EError(f"{path} is not a shell link")
    flags = int.from_bytes(data[20:24], "little")
    pos = 76
    if flags & 0x1:  # HasLinkTargetIDList
        pos += 2 + int.from_bytes(data[pos:pos + 2], "little")
    result = {"target": None, "working_dir": None, "icon": None}
    if flags & 0x2:  # HasLinkInfo
        size = int.from_bytes(data[pos:pos + 4], "little")
        info = data[pos:pos + size]
        info_flags = int.from_bytes(info[8:12], "little")
        if info_flags & 0x1:  # VolumeIDAndLocalBasePath
            base = int.from_bytes(info[16:20], "little")
            result["target"] = info[base:info.index(b"\0", base)].decode("mbcs" if os.name == "nt" else "latin-1")
        pos += size
    unicode = bool(flags & 0x80)
    for bit, key in ((0x4, None), (0x8, None), (0x10, "working_dir"), (0x20, None), (0x40, "icon")):
        if not flags & bit:
            continue
        count = int.from_bytes(data[pos:pos + 2], "little")
        width = 2 if unicode else 1
        raw = data[pos + 2:pos + 2 + count * width]
        pos += 2 + count * width
        if key:
            # Some writers count a terminating NUL into the length.
            result[key] = raw.decode("utf-16-le" if unicode else "latin-1").rstrip("\0")
    return result


# --------------------------------------------------------------------------------------------------------------
# Packages and server


def ensure_package(names=(make_packages.APP_NAME,), label="default"):
    """The package archive for the given application names, packed once per build."""
    out = PACKAGES / label / "Helmview.zip"
    stamp = out.with_suffix(".inputs")
    inputs = json.dumps([list(names)] + [os.stat(FIXTURES / n).st_mtime_ns for n in ("Helmview.exe",
                                                                                    "fixture_prereq.exe")])
    if not out.is_file() or not stamp.is_file() or stamp.read_text() != inputs:
        env = wine_env()
        saved = dict(os.environ)
        os.environ.update({k: env[k] for k in ("WINEPREFIX", "WINEARCH", "WINEDEBUG", "WINEDLLOVERRIDES")})
        try:
            make_packages.make_package(out, SEVEN_ZIP, FIXTURES, names=names)
        finally:
            os.environ.clear()
            os.environ.update(saved)
        stamp.write_text(inputs)
    return out


def server_tree(folder, version=OFFERED, package=True, manifest=True, package_name="Helmview.zip",
                package_holds=(make_packages.APP_NAME,), sha256=None):
    """A download server's folder: the manifest offering version (and, given sha256, stating the package's hash)
    and the package of that version, holding the application names package_holds (and every other fixture
    file)."""
    folder = Path(folder)
    shutil.rmtree(folder, ignore_errors=True)
    product = folder / "zqHelmview"
    (product / "config").mkdir(parents=True)
    if manifest:
        hash_line = f"  <sha256>{sha256}</sha256>\n" if sha256 is not None else ""
        (product / "config" / "lista_updater.xml").write_text(
            f'<?xml version="1.0"?>\n<updater>\n  <version>{version}</version>\n{hash_line}</updater>\n')
    if package:
        target = product / "application" / version / package_name
        target.parent.mkdir(parents=True)
        holds = tuple(package_holds)
        label = "default" if holds == (make_packages.APP_NAME,) else "-".join(holds) or "no-application"
        shutil.copyfile(ensure_package(holds, label), target)
    (product / "NorvaleHelmviewReleaseNotes.pdf").write_bytes(b"%PDF-1.4\n% release notes stand-in\n")
    return folder


def start_server(root, https=None):
    return TestServer(str(root), https=https, certdir=str(CERTS) if https else None).start()


# --------------------------------------------------------------------------------------------------------------
# Processes: this process as child subreaper


class Processes:
    """Our child processes, including the ones Wine's relaunches leave to us."""

    def __init__(self):
        libc = ctypes.CDLL(None, use_errno=True)
        if libc.prctl(PR_SET_CHILD_SUBREAPER, 1, 0, 0, 0) != 0:
            raise OSError(ctypes.get_errno(), "prctl(PR_SET_CHILD_SUBREAPER)")
        self.me = os.getpid()
        self.known = {}     # pid -> {"comm", "argv", "start"}; argv remembered while they run (a zombie has none)
        self.results = {}   # pid -> (exit code, user+system CPU seconds)

    @staticmethod
    def _stat(pid):
        try:
            raw = Path(f"/proc/{pid}/stat").read_text()
        except OSError:
            return None
        comm = raw[raw.index("(") + 1:raw.rindex(")")]
        fields = raw[raw.rindex(")") + 2:].split()
        # The start time tells a process from a later one that got the same pid.
        return {"comm": comm, "state": fields[0], "ppid": int(fields[1]), "start": int(fields[19])}

    @staticmethod
    def argv(pid):
        try:
            raw = Path(f"/proc/{pid}/cmdline").read_bytes()
        except OSError:
            return []
        # Wine writes the Windows command line over the loader's and pads the rest with NULs.
        args = [a.decode("utf-8", "replace") for a in raw.split(b"\0")]
        while args and not args[-1]:
            args.pop()
        return args

    def children(self):
        """Scans /proc; returns {pid: info} of our current children and remembers what it saw."""
        found = {}
        for entry in os.listdir("/proc"):
            if not entry.isdigit():
                continue
            pid = int(entry)
            st = self._stat(pid)
            if not st or st["ppid"] != self.me:
                continue
            info = self.known.get(pid)
            if info is None or info["start"] != st["start"]:
                # New, or a pid handed out again (they wrap at 32768 on a busy machine).
                info = self.known[pid] = {"comm": st["comm"], "argv": [], "start": st["start"]}
            # Wine renames the process once it has loaded the program, which can be after our last look at a
            # short-lived one; its zombie keeps that final name.
            info["comm"] = st["comm"]
            argv = self.argv(pid)
            # Until Wine has loaded the program the command line is the loader's.
            if argv and re.match(r"^[A-Za-z]:\\", argv[0]):
                info["argv"] = argv
            info["state"] = st["state"]
            found[pid] = info
        return found

    def wait_for_new(self, exe_name, exclude=(), timeout=60, folder=None, allow_zombie=False):
        """A child of ours running the Windows program exe_name (from folder, when given) that is not in
        exclude; its pid. allow_zombie: one that has already ended, known only by its name, also counts."""
        short = exe_name[:15]  # the kernel keeps 15 characters of a process name
        prefix = folder.rstrip("\\").lower() + "\\" if folder else ""
        deadline = time.monotonic() + timeout
        while time.monotonic() < deadline:
            for pid, info in self.children().items():
                if pid in exclude:
                    continue
                argv = info["argv"]
                if argv and Path(argv[0].replace("\\", "/")).name.lower() == exe_name.lower() and \
                        argv[0].lower().startswith(prefix):
                    return pid
                if allow_zombie and not argv and info.get("state") == "Z" and info["comm"] == short:
                    return pid
            time.sleep(0.05)
        raise E2EError(f"no process {exe_name} appeared within {timeout} s")

    def wait(self, pid, timeout=60):
        """Exit code of an adopted child; raises on timeout."""
        if pid in self.results:
            return self.results[pid][0]
        deadline = time.monotonic() + timeout
        while True:
            self.children()
            try:
                done, status, usage = os.wait4(pid, os.WNOHANG)
            except ChildProcessError:
                raise E2EError(f"process {pid} is not ours")
            if done:
                self.results[pid] = (os.waitstatus_to_exitcode(status), usage.ru_utime + usage.ru_stime)
                return self.results[pid][0]
            if time.monotonic() >= deadline:
                raise E2EError(f"process {pid} did not end within {timeout} s")
            time.sleep(0.05)

    def running(self, pid):
        st = self._stat(pid)
        return st is not None and st["state"] != "Z"

    def cpu_seconds(self, pid):
        return self.results[pid][1]

    def stop_all(self, exe_names):
        """Ends the children of ours still running one of exe_names (by pid) and reaps every child that ended."""
        wanted = {n.lower() for n in exe_names} | {n[:15].lower() for n in exe_names}
        killed = []
        for pid, info in self.children().items():
            name = Path(info["argv"][0].replace("\\", "/")).name.lower() if info["argv"] else info["comm"].lower()
            if info.get("state") != "Z" and name in wanted:
                try:
                    os.kill(pid, signal.SIGKILL)
                    killed.append(pid)
                except ProcessLookupError:
                    pass
        for pid in killed:
            try:
                self.wait(pid, timeout=10)
            except E2EError:
                pass
        while True:  # zombies of anything else that ended
            try:
                pid, _ = os.waitpid(-1, os.WNOHANG)
            except ChildProcessError:
                return
            if pid == 0:
                return


# --------------------------------------------------------------------------------------------------------------
# The installer window


def uidriver_exe():
    if os.environ.get("UIDRIVER_EXE"):
        return Path(os.environ["UIDRIVER_EXE"])
    for candidate in (BUILD / "tools" / "uidriver" / "uidriver.exe", BUILD / "tools" / "uidriver.exe",
                      BUILD / "uidriver.exe"):
        if candidate.is_file():
            return candidate
    found = sorted(BUILD.rglob("uidriver.exe"))
    if not found:
        raise E2EError("uidriver.exe not built")
    return found[0]


def classify(children, offered=OFFERED, installed=""):
    """The screen the controls show: welcome, uninstall_welcome, incomplete, old_version, newer_version,
    installing, uninstalling, finish_installed, finish_uninstalled, finish_cancelled, or unknown."""
    body = children[BODY_TEXT]["text"]
    button = children[INSTALL_BUTTON]
    cancel = children[CANCEL_BUTTON]
    progress = children[PROGRESS_BAR]
    if progress["visible"] and not button["visible"]:
        if body == T("IDS_INSTALLING_TEXT", PRODUCT) and cancel["visible"]:
            return "installing"
        if body == T("IDS_UNINSTALLING_TEXT", PRODUCT) and not cancel["visible"]:
            return "uninstalling"
        return "unknown"
    if button["visible"] and button["text"] == T("IDS_FINISH") and not progress["visible"]:
        if body == T("IDS_SUMMARY_CANCELLED"):
            return "finish_cancelled"
        if body == T("IDS_UNINSTALL_END_TEXT", PRODUCT):
            return "finish_uninstalled"
        if body == T("IDS_INSTALL_END_TEXT1", PRODUCT) + " " + offered + " " + T("IDS_INSTALL_END_TEXT2"):
            return "finish_installed"
        return "unknown"
    if not button["visible"]:
        return "unknown"
    screens = {
        "welcome": (T("IDS_TITLE_INSTALLATION", PRODUCT), T("IDS_INSTALL"), True),
        "uninstall_welcome": (T("IDS_TITLE_UNINSTALL", PRODUCT), T("IDS_UNINSTALL"), True),
        "incomplete": (T("IDS_INCOMPLETE_INSTALL", offered, PRODUCT), T("IDS_INSTALL"), True),
        "old_version": (T("IDS_OLD_VERSION_INSTALLED", installed, offered, PRODUCT), T("IDS_INSTALL"), True),
        "newer_version": (T("IDS_NEWER_VERSION_INSTALLED", installed, offered, PRODUCT), T("IDS_OK"), False),
    }
    for name, (text, button_text, cancel_visible) in screens.items():
        if body == text and button["text"] == button_text and cancel["visible"] == cancel_visible:
            return name
    return "unknown"


class Installer:
    """One run of the installer: the process started, its relaunched copy and the copy's window."""

    def __init__(self, case, args=(), exe=EXE, extra_env=None, expect_window=True, command=None, temp_only=True,
                 allow_quick_exit=False, relaunch=True):
        """command: what to start instead of "wine <exe> <args>" (a launcher that in turn starts the installer).
        temp_only: the relaunched copy is recognised by running from the temporary-files folder.
        allow_quick_exit: the copy may have ended before we saw its command line (known by its name only).
        relaunch=False: the installer started by command is to stop before it relaunches; that process, wherever
        it runs from, is the one followed."""
        self.case = case
        self.exe = Path(exe)
        self.args = [str(a) for a in args]
        env = wine_env(extra_env)
        command = command or ["wine", str(self.exe)] + self.args
        self.first = subprocess.Popen(command, env=env, stdin=subprocess.DEVNULL, stdout=subprocess.DEVNULL,
                                      stderr=subprocess.DEVNULL)
        self.started = time.monotonic()
        case.programs.add(self.exe.name)
        self.pid = case.processes.wait_for_new(self.exe.name, exclude=case.pids_seen | {self.first.pid},
                                               folder=case.temp_windows if temp_only and relaunch else None,
                                               allow_zombie=allow_quick_exit)
        case.pids_seen.add(self.pid)
        self.argv = case.processes.known[self.pid]["argv"]
        # Without a relaunch the launcher may wait for the installer, which waits for us.
        self.first_exit = self.first.wait(timeout=60) if relaunch else None
        self.window = None
        self.d = case.driver
        if expect_window:
            self.attach()

    def attach(self, timeout=60):
        """Waits for the installer window of this run; fails as soon as the installer has ended."""
        deadline = time.monotonic() + timeout
        while True:
            found = self.case.driver.find(exe=self.exe.name, visible=True, timeout_ms=1000, check=False)
            if "error" not in found and found["pid"] not in self.case.windows_seen:
                break
            if not self.running():
                raise E2EError(f"the installer ended (exit code {self.wait_exit(5)}) without showing its window")
            if time.monotonic() >= deadline:
                raise E2EError(f"no installer window within {timeout} s")
        self.window = found
        self.case.windows_seen.add(found["pid"])
        self.d = self.case.driver.with_pid(self.window["pid"])
        return self.window

    # -- state --------------------------------------------------------------------------------------------------

    def children(self):
        return self.d.children()

    def screen(self):
        kids = self.children()
        return classify(kids, self.case.offered, self.case.installed), kids

    def wait_screen(self, name, timeout=60, shot=True):
        """Polls until the window shows the named screen; saves a screenshot of it; returns the controls."""
        deadline = time.monotonic() + timeout
        last = None
        while True:
            try:
                current, kids = self.screen()
            except UiDriverError as e:
                current, kids = f"(no window: {e})", None
            if current == name:
                if shot:
                    self.case.screenshot(self, name)
                return kids
            if not self.running():
                raise E2EError(f"the installer ended (exit code {self.wait_exit(5)}) before screen {name}")
            last = current
            if time.monotonic() >= deadline:
                raise E2EError(f"screen {name} not reached within {timeout} s (last seen: {last})")
            time.sleep(0.1)

    def progress(self):
        return self.d.child(index(PROGRESS_BAR))["pos"]

    # -- actions ------------------------------------------------------------------------------------------------

    def click(self, control, again_after_ms=None):
        self.d.click(index(control), again_after_ms=again_after_ms)

    def close_box(self):
        self.d.close()

    def keys(self, *names):
        """Types the keys into the window as real key events, the window brought to the foreground first."""
        self.d.keys(*names)

    def focused(self):
        """The control holding the keyboard focus (its index among the children), or None."""
        focus = self.d.focus()
        return focus["index"] if focus else None

    def accessible(self, control):
        """What screen readers are told about the control: name, value, role and state."""
        return self.d.accessible(index(control))

    def message(self, timeout_ms=60000, answer=True, shot_name="message"):
        """The message box the installer shows (screenshot saved); answered with OK unless answer=False."""
        filters = {"pid": self.window["pid"]} if self.window else {"exe": self.exe.name}
        box = self.case.driver.msgbox(timeout_ms=timeout_ms, **filters)
        self.case.screenshot_msgbox(filters, shot_name)
        if answer:
            self.case.driver.msgbox(answer=True, timeout_ms=5000, **filters)
        return box

    def wait_exit(self, timeout=60):
        return self.case.processes.wait(self.pid, timeout)

    def running(self):
        return self.case.processes.running(self.pid)


class Case:
    """One end-to-end case: a clean machine, a server, the driver, screenshots, and clean-up of our processes."""

    def __init__(self, name, work=None, shots=None):
        self.name = name
        self.work = Path(work) if work else BUILD / "e2e" / name
        shutil.rmtree(self.work, ignore_errors=True)
        self.work.mkdir(parents=True)
        self.shots = Path(shots) if shots else SHOTS / name
        self.shots.mkdir(parents=True, exist_ok=True)
        for old in self.shots.glob("*.png"):
            old.unlink()
        self.shot_count = 0
        self.last_shot = None
        # Before we become a subreaper: Wine's own helper processes must not become ours.
        prepare_prefix()
        self.processes = Processes()
        self.pids_seen = set()
        self.windows_seen = set()  # Windows pids of installer windows already attached to
        self.driver = UiDriver(str(uidriver_exe()), env=wine_env())
        self.temp_windows = temp_folder_windows()
        self.fixture_log = self.work / "fixture-log.txt"
        self.servers = []
        self.offered = OFFERED
        self.installed = ""
        # Programs of ours that may still run when the case ends: the installer copies and what they start.
        self.programs = {EXE.name, make_packages.APP_NAME, make_packages.APP_FULL_NAME,
                         *make_packages.PREREQUISITE_NAMES}

    def env(self):
        """What the installer and the programs it starts see: the fixture programs log here."""
        return {"HELMVIEW_FIXTURE_LOG": windows_path(self.fixture_log)}

    def serve(self, https=None, **tree):
        server = start_server(server_tree(self.work / "server", **tree), https=https)
        self.servers.append(server)
        return server

    def start(self, server=None, args=(), **kw):
        args = list(args)
        if server is not None:
            args = ["-test", server.base_url] + args
        extra = self.env()
        extra.update(kw.pop("extra_env", {}))
        return Installer(self, args, extra_env=extra, **kw)

    def fixture_lines(self):
        if not self.fixture_log.is_file():
            return []
        return self.fixture_log.read_text(encoding="utf-8", errors="replace").splitlines()

    def screenshot(self, installer, label):
        if (installer.pid, label) == self.last_shot:  # the same screen of the same run seen again
            return None
        self.last_shot = (installer.pid, label)
        self.shot_count += 1
        path = self.shots / f"{self.shot_count:02d}-{label}.png"
        installer.d.screenshot(str(path))
        return path

    def screenshot_msgbox(self, filters, label):
        self.last_shot = label
        self.shot_count += 1
        path = self.shots / f"{self.shot_count:02d}-{label}.png"
        self.driver.screenshot_msgbox(str(path), **filters)
        return path

    def close(self):
        for server in self.servers:
            server.stop()
        self.processes.stop_all(self.programs)


def main(argv):
    if argv[1:] == ["package"]:
        prepare_prefix()
        print(ensure_package())
        return 0
    print(f"usage: {argv[0]} package", file=sys.stderr)
    return 2


if __name__ == "__main__":
    sys.exit(main(sys.argv))
