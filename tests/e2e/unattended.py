#!/usr/bin/env python3
"""Unattended installs and uninstalls: the real installer under Wine with -silent and -log, and nobody clicking.

One machine, one server and one log file shared by the steps, which run in order, each building on what the one
before it left: a fresh install, the same install again, a second copy while one runs, the uninstall entry's quiet
command, the uninstall of a leftover and of nothing, a newer version installed, a missing manifest. Then the log
must hold every kind of event, appended by both processes of every start.

Exit codes are read through run_and_wait.exe, which prints the whole 32-bit code (Wine hands Linux only its low
eight bits). A message box would hold a run until somebody answered it, so every run that ends on its own also
shows that nothing waited for a user.
"""

import json
import os
import re
import subprocess
import sys
import time
from pathlib import Path

sys.path.insert(0, str(Path(__file__).resolve().parents[2] / "tools"))
sys.path.insert(0, str(Path(__file__).resolve().parent))
from harness import installer as h  # noqa: E402
from harness.installer import (CANCEL_BUTTON, INSTALL_DIR_WIN, OFFERED, SETTINGS_KEY, UNINSTALL_KEY,  # noqa: E402
                               T, expect)
import cases  # noqa: E402  (the shared checks of the interactive cases)

RUN_AND_WAIT = h.FIXTURES / "run_and_wait.exe"
LOG_NAME = "unattended.log"
MANIFEST_PATH = "/zqHelmview/config/lista_updater.xml"
STAMP = re.compile(r"^\d{4}-\d\d-\d\dT\d\d:\d\d:\d\d\.\d{3}[+-]\d\d:\d\d \[(\d+)\] ([a-z]+): (.*)$")


class Unattended:
    """The fixture the steps share: the case (driver, processes), the server and the log."""

    def __init__(self, c):
        self.c = c
        self.server = c.serve()
        self.log = c.work / LOG_NAME
        self.marks = []  # (step, number of log lines before it)

    def run(self, command_line, timeout=300, cwd=None, env=None):
        """Runs a command line as Windows would (CreateProcess, run_and_wait.exe) from the work folder (or the
        Windows folder cwd), with env's variables added; returns the whole exit code."""
        env = h.wine_env({**self.c.env(), **(env or {})})
        env["RUN_AND_WAIT_COMMAND_LINE"] = command_line
        if cwd:
            env["RUN_AND_WAIT_CURRENT_DIRECTORY"] = cwd
        result = subprocess.run(["wine", str(RUN_AND_WAIT)], cwd=self.c.work, env=env, stdin=subprocess.DEVNULL,
                                stdout=subprocess.PIPE, stderr=subprocess.DEVNULL, timeout=timeout)
        lines = [l for l in result.stdout.decode("utf-8", "replace").splitlines() if l.startswith("{")]
        answer = json.loads(lines[-1]) if lines else {"error": "no answer"}
        if "exit_code" not in answer:
            raise h.E2EError(f"{command_line}: {answer}")
        return answer["exit_code"]

    def installer(self, *args, log=True, server=None, env=None):
        """The installer started from the work folder with the given switches, -test first; its exit code."""
        line = f'"{h.windows_path(h.EXE)}" -test {(server or self.server).base_url} ' + " ".join(args)
        if log:
            line += " -log " + LOG_NAME  # relative: the copy must get it made absolute
        return self.run(line, env=env)

    def step(self, name):
        print(f"---- {name}", flush=True)
        self.marks.append((name, len(self.lines())))

    def lines(self):
        return self.log.read_bytes().decode("utf-8").splitlines() if self.log.is_file() else []

    def events(self, step=None):
        """(pid, kind, text) of every line, or of those the step wrote."""
        start, end = 0, None
        if step:
            names = [name for name, _ in self.marks]
            at = names.index(step)
            start = self.marks[at][1]
            end = self.marks[at + 1][1] if at + 1 < len(self.marks) else None
        found = []
        for line in self.lines()[start:end]:
            match = STAMP.match(line)
            expect(match is not None, f"log line has a timestamp, process id and kind: {line!r}")
            found.append((int(match.group(1)), match.group(2), match.group(3)))
        return found


def snapshot():
    folder = h.install_dir()
    files = {str(p.relative_to(folder)): (p.stat().st_size, p.stat().st_mtime_ns)
             for p in folder.rglob("*") if p.is_file()}
    return files, h.reg_values(SETTINGS_KEY), h.reg_values(UNINSTALL_KEY), \
        h.desktop_shortcut().stat().st_mtime_ns, h.start_menu_shortcut().stat().st_mtime_ns


def expect_full_uninstall_entry():
    entry = h.reg_values(UNINSTALL_KEY) or {}
    copy = INSTALL_DIR_WIN + h.EXE.name
    size = sum(p.stat().st_size for p in h.install_dir().rglob("*") if p.is_file())
    wanted = {
        "InstallLocation": ("REG_SZ", INSTALL_DIR_WIN),
        "EstimatedSize": ("REG_DWORD", (size + 1023) // 1024),
        "QuietUninstallString": ("REG_SZ", f'"{copy}" -uninstall -silent'),
        "NoModify": ("REG_DWORD", 1),
        "NoRepair": ("REG_DWORD", 1),
    }
    for name, value in wanted.items():
        expect(entry.get(name) == value, f"uninstall entry {name} = {value!r} (found {entry.get(name)!r})")


def steps(u):
    c = u.c

    u.step("fresh install")
    # A user's own unzip.bat first on PATH, and the variable that keeps the command interpreter from looking
    # for a bare name in the current folder: the installer's batch must still be the one that runs.
    planted = c.work / "user-bin"
    planted.mkdir()
    (planted / "unzip.bat").write_bytes(b'@echo ran> "%~dp0planted-ran.txt"\r\n@exit /b 0\r\n')
    user_env = {"NoDefaultCurrentDirectoryInExePath": "1", "WINEPATH": h.windows_path(planted)}  # PATH's head
    expect(u.installer("-silent", env=user_env) == 0, "a silent fresh install ends with 0")
    expect(not (planted / "planted-ran.txt").exists(), "the user's unzip.bat on PATH did not run")
    cases.expect_installed()
    expect_full_uninstall_entry()
    cases.expect_prerequisites_ran(c)
    cases.expect_no_app_started(c, wait=1)
    expect(not c.driver.windows(h.WINDOW_CLASS), "no installer window is left")

    u.step("same version")
    before = snapshot()
    time.sleep(1)  # a rewritten file would get another time stamp
    expect(u.installer("-SILENT") == 0, "a silent install over the same version ends with 0")
    expect(snapshot() == before, "and changes nothing: files, records, uninstall entry, shortcuts")

    u.step("second copy")
    first = c.start(u.server)  # an interactive one, holding the single-instance guard
    first.wait_screen("uninstall_welcome")
    expect(u.installer("-silent") == 1618, "a silent copy while another runs ends with 1618")
    first.click(CANCEL_BUTTON)
    expect(first.wait_exit(30) == 0, "the interactive copy is untouched and still ends with 0")

    u.step("quiet uninstall")
    quiet = h.reg_value(UNINSTALL_KEY, "QuietUninstallString")
    # Started from inside the install folder, as a console in that folder would start it.
    expect(u.run(quiet, cwd=INSTALL_DIR_WIN) == 0,
           f"the uninstall entry's quiet command ({quiet}) ends with 0")
    expect(not h.install_dir().exists() and not h.install_dir().parent.exists(),
           "the install folder and the maker folder are gone, though the first process started in it "
           f"(left: {h.folder_files(h.install_dir().parent)})")
    cases.expect_nothing_installed()
    expect(not c.driver.windows(h.WINDOW_CLASS), "without a window")

    u.step("uninstall a leftover")
    h.record_installation("2.1.0.5", status=1)
    expect(h.reg_value(SETTINGS_KEY, "IsInstalled") == 1, "the leftover is recorded")
    expect(u.installer("-silent", "-uninstall") == 0, "a silent uninstall of an unfinished install ends with 0")
    cases.expect_nothing_installed()
    expect(u.installer("-uninstall", "-silent") == 0, "and with nothing installed, 0 too")
    expect(u.run(f'"{h.windows_path(h.EXE)}" -silent -uninstall -log Z:\\no\\such\\folder\\x.log') == 0,
           "a log that cannot be opened is no failure")
    target = c.work / "log-target"
    target.mkdir()
    (c.work / "log-linked").symlink_to(target.name)
    linked_log = h.windows_path(c.work) + "\\log-linked\\linked.log"
    run = subprocess.run(["wine", str(h.EXE), "-silent", "-uninstall", "-log", linked_log], cwd=c.work,
                         env=h.wine_env(c.env()), stdin=subprocess.DEVNULL, stdout=subprocess.DEVNULL,
                         stderr=subprocess.PIPE, timeout=300)
    said = run.stderr.decode("utf-8", "replace")
    expect(run.returncode == 0, "a log through a link is no failure either")
    expect(not list(target.iterdir()), "and nothing is written where the link leads")
    expect(f"the log {linked_log} is refused" in said and "log-linked is a link" in said,
           f"the refusal is said on standard error ({said.strip()!r})")

    u.step("newer version")
    h.record_installation("9.0.0.0", status=3)
    expect(u.installer("-silent") == 1638, "a silent install over a newer version ends with 1638")
    expect(h.reg_value(UNINSTALL_KEY, "DisplayVersion") == "9.0.0.0" and
           (h.install_dir() / "old-version.txt").is_file(), "and leaves the newer installation alone")
    h.reset_machine()

    u.step("manifest missing")
    (c.work / "server" / "zqHelmview" / "config" / "lista_updater.xml").unlink()
    expect(u.installer("-silent") == 1603, "a silent install without a manifest ends with 1603")
    expect(any(e["path"] == MANIFEST_PATH and e["status"] == 404 for e in u.server.request_log()),
           "the server answered 404")
    events = u.events("manifest missing")
    expect(any(k == "request" and "lista_updater.xml: HTTP 404" in t for _, k, t in events),
           "the log names the 404")
    expect(any(k == "failure" and T("text_missing_file", "lista_updater.xml") in t for _, k, t in events),
           "and the message that would have been shown, in English")
    expect(any(k == "end" and t == "exit code 1603" for _, k, t in events), "and the exit code")
    cases.expect_nothing_installed()

    u.step("failed upgrade")
    older = h.start_server(h.server_tree(c.work / "older", version=cases.OLDER))
    expect(u.installer("-silent", server=older) == 0, f"version {cases.OLDER} installed silently")
    older.stop()
    before = cases.machine_state()
    missing = h.start_server(h.server_tree(c.work / "no-package", package=False))
    expect(u.installer("-silent", server=missing) == 1603, "a silent upgrade without its package ends with 1603")
    missing.stop()
    cases.expect_unchanged(before, "silent upgrade, package 404")

    u.step("restart needed")
    good = h.start_server(h.server_tree(c.work / "good"))
    expect(u.installer("-silent", server=good, env={"HELMVIEW_FIXTURE_EXIT": "VC_redist.x86.exe=3010"}) == 3010,
           "a silent upgrade whose runtime setup asks for a restart ends with 3010")
    cases.expect_installed()
    expect(u.installer("-silent", "-uninstall", server=good) == 0, "uninstalled again")
    expect(u.installer("-silent", server=good, env={"HELMVIEW_FIXTURE_EXIT": "VC_redist.x86.exe=1638"}) == 0,
           "a runtime setup that finds a newer runtime (1638) is no failure: 0")
    cases.expect_installed()
    good.stop()


def check_log(u):
    print("---- the log", flush=True)
    events = u.events()
    kinds = {k for _, k, _ in events}
    expected = {"start", "decision", "request", "process", "package", "unpack", "registry", "folder", "failure",
                "end"}
    expect(expected <= kinds, f"the log holds every kind of event ({sorted(kinds)})")
    log_windows = h.windows_path(u.log)
    for name, start in u.marks:
        if name == "quiet uninstall":  # run without a log, as the system runs it
            continue
        run = u.events(name)
        starts = [(pid, t) for pid, k, t in run if k == "start"]
        expect(len({pid for pid, _ in starts}) >= 2,
               f"{name}: both processes logged their start ({len(starts)} start lines)")
        expect(starts and f"-log {LOG_NAME}" in starts[0][1] and f"-log {log_windows}" in starts[1][1],
               f"{name}: the copy was given the log's absolute path ({starts[1][1] if len(starts) > 1 else ''})")
        expect(any(k == "end" for pid, k, _ in run if pid == starts[0][0]) and
               any(k == "end" for pid, k, _ in run if pid == starts[1][0]), f"{name}: both logged their end")
    fresh = u.events("fresh install")
    texts = [t for _, k, t in fresh]
    for what, found in (
            ("the start names the version, the Windows version and the elevation",
             any(k == "start" and h.INSTALLER_VERSION in t and "Windows 10." in t and "elevated:" in t
                 for _, k, t in fresh)),
            ("the decision with its versions",
             any(k == "decision" and f"offered {OFFERED}" in t and "installed none" in t for _, k, t in fresh)),
            ("the package request with status, bytes and time",
             any(k == "request" and re.search(rf"/application/{OFFERED}/Helmview.zip: HTTP 200, [1-9]\d* bytes, "
                                              r"\d+ ms$", t) for _, k, t in fresh)),
            ("the prerequisites with their command lines and exit codes",
             any(k == "process" and "VC_redist.x86.exe\" /quiet /norestart: exit code 0" in t
                 for _, k, t in fresh)),
            ("the relaunched copy with its exit code",
             any(k == "process" and h.EXE.name in t and t.endswith("exit code 0") for _, k, t in fresh)),
            ("the package check: this manifest states no hash",
             any(k == "package" and t == "Helmview.zip not verified: the manifest states no SHA-256"
                 for _, k, t in fresh)),
            ("the unpack result", any(k == "unpack" and "Helmview.zip" in t for _, k, t in fresh)),
            ("the uninstall entry's values",
             any(k == "registry" and "QuietUninstallString" in t for _, k, t in fresh)),
            ("the end with the exit code", texts and texts[-1] == "exit code 0")):
        expect(found, f"fresh install: {what}")
    leftover = u.events("uninstall a leftover")
    expect(any(k == "folder" and "SSD Helmview" in t and t.endswith(" removed") for _, k, t in leftover),
           "uninstall: the folder removed")
    expect(any(k == "registry" and "Uninstall\\Norvale SSD Helmview deleted" in t for _, k, t in leftover),
           "uninstall: the registry key deleted")
    newer = u.events("newer version")
    expect(any(k == "decision" and "offered " + OFFERED in t and "installed 9.0.0.0" in t for _, k, t in newer),
           "newer version: the decision with its versions")


def run(c):
    u = Unattended(c)
    steps(u)
    check_log(u)


def main():
    return h.run_case("unattended", run)


if __name__ == "__main__":
    sys.exit(main())
