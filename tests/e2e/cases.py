#!/usr/bin/env python3
"""End-to-end cases of the installer, each run on its own: cases.py <case> (cases.py --list names them).

Each case starts from a machine without any installation, serves the fixture package from the loopback test
server, starts build/HelmviewSetup.exe under Wine, and works its window through the UI driver as a user would.
Screenshots of every screen reached go to build/screenshots/e2e/<case>/.
"""

import hashlib
import os
import signal
import shutil
import subprocess
import sys
import threading
import time
import zipfile
from pathlib import Path

sys.path.insert(0, str(Path(__file__).resolve().parents[2] / "tools"))
from harness import installer as h  # noqa: E402
from harness.installer import (CANCEL_BUTTON, INSTALL_BUTTON, INSTALL_DIR_WIN, INSTALLER_VERSION_LINE,  # noqa: E402
                     LANGUAGE_COMBO, LAUNCH_CHECKBOX, OFFERED, PRODUCT, PROGRESS_BAR, RELEASE_NOTES_LINK,
                     SETTINGS_KEY, UNINSTALL_KEY, VERSION_LINE, T, expect)
from harness.texts import T_in  # noqa: E402

PACKAGE_PATH = f"/zqHelmview/application/{OFFERED}/Helmview.zip"
MANIFEST_PATH = "/zqHelmview/config/lista_updater.xml"

CASES = {}


def case(function):
    CASES[function.__name__] = function
    return function


# --------------------------------------------------------------------------------------------------------------
# Shared steps


def install_to_finish(c, inst, opening="welcome"):
    """From an opening screen through the run(s) to the success finish screen; returns the finish controls."""
    inst.wait_screen(opening)
    inst.click(INSTALL_BUTTON)
    # A replacement too goes straight to installing: the old version stays until the new one is ready.
    kids = inst.wait_screen("installing", timeout=60)
    expect(kids[CANCEL_BUTTON]["visible"], "Cancel is offered while installing")
    kids = inst.wait_screen("finish_installed", timeout=240)
    expect(kids[LAUNCH_CHECKBOX]["visible"] and kids[LAUNCH_CHECKBOX]["checked"] == 1,
           "finish screen shows the ticked launch box")
    expect(kids[LAUNCH_CHECKBOX]["text"] == T("IDS_LAUNCH_HELMVIEW", PRODUCT), "launch box names the product")
    expect(not kids[CANCEL_BUTTON]["visible"], "no Cancel on the finish screen")
    expect(kids[RELEASE_NOTES_LINK]["visible"] and not kids[LANGUAGE_COMBO]["visible"],
           "the release notes link stays, the language list does not come back")
    return kids


def wait_for(predicate, timeout, what):
    deadline = time.monotonic() + timeout
    while True:
        value = predicate()
        if value:
            return value
        if time.monotonic() >= deadline:
            raise h.E2EError("timed out waiting for " + what)
        time.sleep(0.2)


def expect_installed(version=OFFERED, exe=h.EXE):
    """The machine as a complete install of the fixture package leaves it."""
    folder = h.install_dir()
    wait_for(lambda: (folder / h.EXE.name).is_file() and (folder / h.EXE.name).read_bytes() == exe.read_bytes(),
             20, "the installer's copy in the install folder")
    expected = sorted(h.make_packages.package_members() + ["7za.exe", h.EXE.name])
    expect(h.folder_files(folder) == expected, f"install folder holds the package, 7za.exe and the installer "
                                               f"(found {h.folder_files(folder)})")
    settings = h.reg_values(SETTINGS_KEY) or {}
    expect(settings.get("IsInstalled") == ("REG_DWORD", 3), f"IsInstalled = 3 (found {settings.get('IsInstalled')})")
    expect(settings.get("InstallPath", (None, None))[1] == INSTALL_DIR_WIN, "InstallPath is the install folder")
    expect(settings.get("CurrentVersion", (None, None))[1] == version, f"CurrentVersion = {version}")
    expect(settings.get("CurrentCulture", (None, None))[1] == "en-US", "CurrentCulture remembers en-US")
    entry = h.reg_values(UNINSTALL_KEY) or {}
    wanted = {
        "DisplayVersion": version,
        "DisplayName": PRODUCT,
        "DisplayIcon": INSTALL_DIR_WIN + "Helmview.exe",
        "InstallSource": INSTALL_DIR_WIN + h.EXE.name,
        "Publisher": "Norvale Corporation",
    }
    for name, value in wanted.items():
        expect(entry.get(name) == ("REG_SZ", value), f"uninstall entry {name} = {value!r} "
                                                      f"(found {entry.get(name)!r})")
    # The copy's path has blanks in it: quoted, it cannot be mistaken for "C:\Program.exe" and the like.
    uninstall = entry.get("UninstallString")
    expect(uninstall == ("REG_SZ", '"' + INSTALL_DIR_WIN + h.EXE.name + '" -uninstall '),
           f"uninstall entry UninstallString names the installer's copy, quoted, with -uninstall ({uninstall!r})")
    for link in (h.desktop_shortcut(), h.start_menu_shortcut()):
        expect(link.is_file(), f"shortcut {h.windows_path(link)} exists")
        info = h.read_shortcut(link)
        expect((info["target"] or "").lower() == (INSTALL_DIR_WIN + "Helmview.exe").lower() and
               (info["working_dir"] or "").rstrip("\\").lower() == INSTALL_DIR_WIN.rstrip("\\").lower(),
               f"shortcut {link.name} in {link.parent.name} starts Helmview.exe in the install folder ({info})")


def expect_prerequisites_ran(c):
    lines = c.fixture_lines()
    vc = [l for l in lines if l.startswith("VC_redist.x86.exe ")]
    fenwick = [l for l in lines if l.startswith("fenwick_hal_setup.exe ")]
    morrow = [l for l in lines if l.startswith("morrow_hal_setup.exe ")]
    expect(len(vc) == 1 and vc[0].endswith(" /quiet /norestart"), f"runtime prerequisite ran quietly ({vc})")
    expect(len(fenwick) == 1 and fenwick[0].endswith(" /install /quiet /norestart"),
           f"driver package ran quietly ({fenwick})")
    expect(not morrow, "no older driver to remove: its removal did not run")


def expect_nothing_installed():
    expect(h.reg_value(SETTINGS_KEY, "IsInstalled") is None, "no IsInstalled record")
    expect(h.reg_values(UNINSTALL_KEY) is None, "no uninstall entry")
    expect(h.folder_files(h.install_dir()) == [], "install folder empty or gone")
    expect(not h.desktop_shortcut().exists() and not h.start_menu_shortcut().exists(), "no shortcuts")


def expect_no_app_started(c, wait=4.0):
    time.sleep(wait)
    expect(not [l for l in c.fixture_lines() if l.startswith("app ")], "the application was not launched")
    expect(not c.driver.exists(h.APP_WINDOW_CLASS), "no application window")


def wait_download_running(server, path=PACKAGE_PATH, timeout=60):
    def running():
        return [e for e in server.request_log() if e["path"] == path and e["method"] == "GET" and
                not e.get("complete") and e.get("bytes_sent", 0) > 0]
    return wait_for(running, timeout, "the package download to be under way")


def slow_package_rule():
    size = h.ensure_package().stat().st_size
    # About forty seconds for the whole package: time enough to cancel in the middle.
    return {PACKAGE_PATH: {"slow": {"bytes_per_sec": max(2048, size // 40)}}}


def run_uninstall_entry(c):
    """Runs the uninstall entry the way the system's program list does (Wine's uninstaller runs its
    UninstallString); returns the relaunched copy."""
    return h.Installer(c, command=["wine", "uninstaller", "--remove", "Norvale SSD Helmview"],
                       exe=h.EXE, extra_env=c.env(), temp_only=True)


# --------------------------------------------------------------------------------------------------------------
# Cases


@case
def first_install(c):
    server = c.serve()
    inst = c.start(server)
    expect(inst.first_exit == 0, "the process started ends with exit code 0 after relaunching")
    kids = inst.wait_screen("welcome")
    expect(inst.window["title"] == "Helmview Installer", "window caption")
    expect(kids[VERSION_LINE]["text"] == T("IDS_INSTALL_END_TEXT1", PRODUCT) + ": " + OFFERED,
           "version line shows the offered version")
    expect(kids[INSTALLER_VERSION_LINE]["text"] == T("IDS_INSTALL") + " " + T("IDS_VERSION") + ": " +
           h.INSTALLER_VERSION, "installer version line")
    combo = kids[LANGUAGE_COMBO]
    expect(combo["visible"] and len(combo["items"]) == 17 and combo["items"][combo["selected"]] == "English",
           "language list with English selected")
    expect(not kids[LAUNCH_CHECKBOX]["visible"], "no launch box before installing")

    install_to_finish(c, inst)
    expect_installed()
    expect_prerequisites_ran(c)
    paths = [e["path"] for e in server.request_log()]
    expect(MANIFEST_PATH in paths and PACKAGE_PATH in paths, "manifest and package were fetched from the server")

    inst.click(INSTALL_BUTTON)  # Finish, box ticked
    expect(inst.wait_exit(30) == 0, "Finish ends the installer with exit code 0")
    app = c.processes.wait_for_new("Helmview.exe", exclude=c.pids_seen, timeout=60)
    argv = c.processes.known[app]["argv"]
    expect(argv and argv[0].lower() == (INSTALL_DIR_WIN + "Helmview.exe").lower(),
           f"the installed application was started ({argv})")
    window = c.driver.find(h.APP_WINDOW_CLASS, timeout_ms=30000, visible=True)
    c.shot_count += 1
    c.driver.screenshot(str(c.shots / f"{c.shot_count:02d}-application.png"), h.APP_WINDOW_CLASS,
                        pid=window["pid"])
    expect(any(l.startswith("app ") for l in c.fixture_lines()), "the application recorded its start")
    c.driver.close(h.APP_WINDOW_CLASS, pid=window["pid"])
    expect(c.processes.wait(app, 30) == 0, "the application closed")


@case
def finish_unticked(c):
    server = c.serve()
    inst = c.start(server)
    install_to_finish(c, inst)
    inst.click(LAUNCH_CHECKBOX)
    kids = inst.children()
    expect(kids[LAUNCH_CHECKBOX]["checked"] == 0, "launch box unticked")
    c.screenshot(inst, "finish_unticked")
    inst.click(INSTALL_BUTTON)
    expect(inst.wait_exit(30) == 0, "Finish ends the installer with exit code 0")
    expect_no_app_started(c)


def start_slow_install(c):
    """Starts an install whose package download crawls, and returns once the
    bar shows the download step, so a Cancel lands inside the transfer."""
    server = c.serve()
    server.set_rules(slow_package_rule())
    inst = c.start(server)
    inst.wait_screen("welcome")
    inst.click(INSTALL_BUTTON)
    inst.wait_screen("installing")
    wait_download_running(server)
    wait_for(lambda: inst.progress() >= 10, 20, "the bar to show the download step")
    return server, inst


@case
def cancel_during_download(c):
    server, inst = start_slow_install(c)
    expect(h.reg_value(SETTINGS_KEY, "IsInstalled") is None, "nothing is recorded while the new version is staged")
    clicked = time.monotonic()
    inst.click(CANCEL_BUTTON)
    wait_for(lambda: inst.progress() == 0, 10, "the bar to drop to 0")
    c.screenshot(inst, "cancelled_bar_at_0")
    kids = inst.wait_screen("uninstalling", timeout=60)
    # Load can only lengthen the pause; a few hundredths spare the timers' granularity.
    pause = time.monotonic() - clicked
    expect(pause >= 1.95, f"the clean-up waits two seconds after the cancel ({pause:.2f} s)")
    # The clean-up is never cut short: Cancel is hidden and disabled, and neither Esc nor a click sent to it
    # anyway ends the program. The bar then shows the clean-up for about five seconds, time enough for both.
    expect(not kids[CANCEL_BUTTON]["visible"] and not kids[CANCEL_BUTTON]["enabled"],
           "Cancel hidden and disabled during the clean-up")
    inst.keys("ESC")
    inst.d.click(f"index:{CANCEL_BUTTON}", force=True)
    expect(inst.running() and inst.screen()[0] in ("uninstalling", "finish_cancelled"),
           "Esc and Cancel during the clean-up leave it running")
    kids = inst.wait_screen("finish_cancelled", timeout=120)
    expect(not kids[LAUNCH_CHECKBOX]["visible"] and not kids[CANCEL_BUTTON]["visible"],
           "no launch box and no Cancel after a cancelled install")
    expect(not kids[RELEASE_NOTES_LINK]["visible"], "release notes link hidden after the clean-up")
    expect(h.reg_value(SETTINGS_KEY, "IsInstalled") is None, "the clean-up removed the installation record")
    expect(not h.install_dir().parent.exists(), "no folder of the product is left, staging included")
    inst.click(INSTALL_BUTTON)
    expect(inst.wait_exit(30) == 0, "Finish ends the installer with exit code 0")
    expect_no_app_started(c)


@case
def second_cancel_in_pause(c):
    server, inst = start_slow_install(c)
    # Both presses in one driver call: the second follows within the pause however busy the machine is.
    inst.click(CANCEL_BUTTON, again_after_ms=500)
    expect(inst.wait_exit(30) == 0, "a second Cancel in the pause ends the installer, exit code 0")
    # Nothing is recorded before the new version is ready, whatever the clean-up got to do.
    expect(h.reg_value(SETTINGS_KEY, "IsInstalled") is None, "no IsInstalled record")


@case
def cancel_while_package_name_checked(c):
    """A Cancel during the check of the package's name, against a server that has stopped answering, is not held up
    by it: the clean-up follows the Cancel's pause at once, the run ends cancelled and the package is never
    fetched."""
    server = c.serve()
    # The first request for the package, the check which of its names the server has, gets no answer.
    server.set_rules({PACKAGE_PATH: {"delay": 300, "times": 1}})
    inst = c.start(server)
    inst.wait_screen("welcome")
    inst.click(INSTALL_BUTTON)
    inst.wait_screen("installing")
    wait_for(lambda: [e for e in server.request_log() if e["path"] == PACKAGE_PATH], 60,
             "the check of the package name")
    staging = h.install_dir().parent / (h.install_dir().name + ".staging")
    expect(staging.is_dir(), "the new version is staged beside the install folder while the install runs")
    expect(h.reg_value(SETTINGS_KEY, "IsInstalled") is None, "nothing is recorded while the new version is staged")
    inst.click(CANCEL_BUTTON)
    # Two seconds of the Cancel's pause, and the cancelled run must have returned by then.
    inst.wait_screen("uninstalling", timeout=3)
    kids = inst.wait_screen("finish_cancelled", timeout=120)
    expect(not kids[LAUNCH_CHECKBOX]["visible"], "no launch box after a cancelled install")
    requests = [e for e in server.request_log() if e["path"] == PACKAGE_PATH]
    expect(len(requests) == 1 and requests[0]["rule"],
           f"the package was asked for only by the name check, never transferred ({len(requests)} requests)")
    expect(h.reg_value(SETTINGS_KEY, "IsInstalled") is None, "no installation record is left")
    expect(h.folder_files(h.install_dir()) == [], f"install folder empty ({h.folder_files(h.install_dir())})")
    inst.click(INSTALL_BUTTON)
    expect(inst.wait_exit(30) == 0, "Finish ends the installer with exit code 0")


@case
def package_without_application(c):
    """A package that unpacks no application is told by name, and what the run staged is gone: no record, entry,
    shortcut or folder of the product is left."""
    server = c.serve(package_holds=())
    inst = c.start(server)
    inst.wait_screen("welcome")
    inst.click(INSTALL_BUTTON)
    inst.wait_screen("installing")
    box = inst.message(timeout_ms=240000, answer=False, shot_name="package_not_unpacked")
    expect(box["text"] == T("text_missing_file", "Helmview.zip") and box["caption"] == T("IDS_TITLE_ERROR"),
           f"message {box['text']!r} under {box['caption']!r}")
    c.driver.msgbox(answer=True, timeout_ms=5000, pid=inst.window["pid"])
    expect(inst.wait_exit(120) == 0, "the installer ends with exit code 0 after the message")
    expect_nothing_installed()
    expect(not h.install_dir().parent.exists(), "no folder of the product is left, the maker's neither")
    expect(not [l for l in c.fixture_lines() if l.startswith("VC_redist")], "no prerequisite ran")


def replace(c, status, opening):
    h.record_installation("2.1.0.5", status=status, files=("old-version.txt", "Helmview.exe"))
    c.installed = "2.1.0.5"
    server = c.serve()
    inst = c.start(server)
    kids = inst.wait_screen(opening)
    expect(kids[CANCEL_BUTTON]["visible"] and kids[INSTALL_BUTTON]["text"] == T("IDS_INSTALL"),
           "Install and Cancel offered")
    install_to_finish(c, inst, opening=opening)
    expect(not (h.install_dir() / "old-version.txt").exists(), "the old installation's files are gone")
    expect_installed()
    inst.click(LAUNCH_CHECKBOX)
    inst.click(INSTALL_BUTTON)
    expect(inst.wait_exit(30) == 0, "Finish ends the installer with exit code 0")


@case
def replace_old_version(c):
    replace(c, 3, "old_version")


@case
def replace_incomplete(c):
    replace(c, 1, "incomplete")


OLDER = "2.1.0.0"
OLDER_ONLY = "only-in-2.1.txt"


def install_older(c, version=OLDER):
    """An older version installed by our own installer (silently), plus a file only it has, so that its folder tells
    it from the offered one."""
    server = h.start_server(h.server_tree(c.work / "older-server", version=version))
    try:
        inst = c.start(server, args=["-silent"], expect_window=False, allow_quick_exit=True)
        expect(inst.wait_exit(240) == 0, f"version {version} installed silently")
    finally:
        server.stop()
    (h.install_dir() / OLDER_ONLY).write_text(version)
    c.installed = version


def machine_state():
    """What the user has of the product: the install folder's files (hashes), what lies beside it in the maker
    folder, the shortcuts' bytes, and both brands' settings values and uninstall entries."""
    folder = h.install_dir()
    files = {str(p.relative_to(folder)): hashlib.sha256(p.read_bytes()).hexdigest()
             for p in folder.rglob("*") if p.is_file()} if folder.is_dir() else {}
    beside = sorted(p.name for p in folder.parent.iterdir()) if folder.parent.is_dir() else []
    links = [link.read_bytes() if link.is_file() else None for link in (h.desktop_shortcut(), h.start_menu_shortcut())]
    keys = [h.reg_values(key) for key in (SETTINGS_KEY, UNINSTALL_KEY, h.TESSARO_SETTINGS_KEY, h.TESSARO_UNINSTALL_KEY)]
    return {"files": files, "beside": beside, "links": links, "records": keys}


def expect_unchanged(before, what):
    after = machine_state()
    for part in before:
        expect(after[part] == before[part], f"{what}: {part} as before the upgrade\n  before {before[part]}\n"
                                            f"  after  {after[part]}")


def hold_open(c, path):
    """A program holding the file open without delete sharing, as the user's editor might; stopped by Case.close
    or stop_holder."""
    holder = c.work / "holder.exe"
    shutil.copyfile(h.FIXTURES / "fixture_prereq.exe", holder)
    c.programs.add(holder.name)
    subprocess.Popen(["wine", str(holder)], env=h.wine_env({**c.env(), "HELMVIEW_FIXTURE_HOLD": h.windows_path(path)}),
                     stdin=subprocess.DEVNULL, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
    wait_for(lambda: any(l.startswith("holding ") for l in c.fixture_lines()), 60, "the file to be held")


def slow_unpacking_package(c):
    """The fixture package with a large member of zeros added: small to download, seconds to unpack."""
    out = c.work / "slow-unpacking.zip"
    shutil.copyfile(h.ensure_package(), out)
    with zipfile.ZipFile(out, "a", compression=zipfile.ZIP_DEFLATED) as archive:
        with archive.open("data/large.bin", "w", force_zip64=True) as member:
            block = bytes(1 << 20)
            for _ in range(768):
                member.write(block)
    return out


def upgrade_attempt(c, name, server, action):
    """One upgrade tried and stopped at its failure point: the window offers the upgrade, the user presses Install,
    then the failure is told (action: the message expected, or None for any error message) or the user cancels."""
    inst = c.start(server)
    inst.wait_screen("old_version")
    inst.click(INSTALL_BUTTON)
    inst.wait_screen("installing")
    if action in ("cancel", "cancel unpacking"):
        if action == "cancel":
            wait_download_running(server)
        else:
            tool = c.processes.wait_for_new("7za.exe", timeout=120)
        inst.click(CANCEL_BUTTON)
        inst.wait_screen("finish_cancelled", timeout=120)
        if action == "cancel unpacking":
            expect(not c.processes.running(tool), f"{name}: the archive tool was stopped with the run")
        inst.click(INSTALL_BUTTON)
        expect(inst.wait_exit(30) == 0, f"{name}: Finish ends the installer with exit code 0")
        return
    box = inst.message(timeout_ms=240000, shot_name=name.replace(" ", "_"))
    expect(box["caption"] == T("IDS_TITLE_ERROR") and (action is None or box["text"] == action or
                                                       box["text"].endswith(action)),
           f"{name}: message {box['text']!r} under {box['caption']!r}")
    expect(inst.wait_exit(60) == 0, f"{name}: the installer ends with exit code 0 after the message")


@case
def upgrade_failures_keep_the_older_version(c):
    """Whatever stops an upgrade before the new version is in place, the installed one is left exactly as it was,
    and the next start offers the upgrade again; then an upgrade that goes through replaces it whole."""
    install_older(c)
    before = machine_state()
    expect(before["files"].get(OLDER_ONLY) and before["records"][1].get("DisplayVersion") == ("REG_SZ", OLDER),
           f"version {OLDER} is installed ({before['records'][1]})")
    package = c.work / "server" / "zqHelmview" / "application" / OFFERED / "Helmview.zip"
    attempts = [
        # (failure point, server tree, server rules, what is told or done)
        ("package 404", {"package": False}, None, T("text_missing_file", "Helmview.zip")),
        ("truncated package", {}, "truncate", T("text_missing_file", "Helmview.zip")),
        ("hash mismatch", {"sha256": hashlib.sha256(b"another package").hexdigest()}, None,
         T("error_generic", "0x80091007", "Helmview.zip")),
        ("transfer cut beyond the retries", {}, {PACKAGE_PATH: {"drop_after": 4096}}, None),
        ("cancel during the download", {}, "slow", "cancel"),
        ("cancel during unpacking", {}, "large", "cancel unpacking"),
        ("a file of the old version held open", {}, "hold", f"(0x20): {OLDER_ONLY}"),
    ]
    for name, tree, rules, action in attempts:
        print(f"---- {name}", flush=True)
        server = c.serve(**tree)
        if rules == "truncate":
            package.write_bytes(package.read_bytes()[:package.stat().st_size // 2])
        elif rules == "large":
            shutil.copyfile(slow_unpacking_package(c), package)
        elif rules == "slow":
            server.set_rules(slow_package_rule())
        elif rules == "hold":
            hold_open(c, h.install_dir() / OLDER_ONLY)
        elif rules:
            server.set_rules(rules)
        upgrade_attempt(c, name, server, action)
        c.processes.stop_all(["holder.exe"])
        server.stop()
        expect_unchanged(before, name)

    print("---- the upgrade that goes through", flush=True)
    server = c.serve()
    inst = c.start(server)
    install_to_finish(c, inst, opening="old_version")
    expect_installed()
    expect(sorted(p.name for p in h.install_dir().parent.iterdir()) == ["SSD Helmview"],
           "nothing of the old version and no staging folder is left beside the new one")
    inst.click(LAUNCH_CHECKBOX)
    inst.click(INSTALL_BUTTON)
    expect(inst.wait_exit(30) == 0, "Finish ends the installer with exit code 0")


@case
def upgrade_of_tessaro_waits_for_the_new_version(c):
    """A Tessaro installation is kept, records and entry included, when the new package is missing; an upgrade
    that goes through removes it."""
    tessaro = h.drive_c() / "Program Files (x86)" / "Tessaro" / "SSD Helmview"
    tessaro.mkdir(parents=True)
    (tessaro / "TessaroSSDHelmview.exe").write_bytes(b"tessaro application")
    h.reg_set(h.TESSARO_SETTINGS_KEY, "IsInstalled", 3, "REG_DWORD")
    h.reg_set(h.TESSARO_SETTINGS_KEY, "InstallPath", h.windows_path(tessaro) + "\\")
    h.reg_set(h.TESSARO_UNINSTALL_KEY, "DisplayVersion", "2.1.0.5")
    c.installed = "2.1.0.5"
    h.reg_set(SETTINGS_KEY, "CurrentCulture", "en-US")  # remembered by any start: not the upgrade's doing
    tessaro_files = h.folder_files(tessaro)
    before = machine_state()
    server = c.serve(package=False)
    upgrade_attempt(c, "tessaro package 404", server, T("text_missing_file", "Helmview.zip"))
    server.stop()
    expect_unchanged(before, "Tessaro, package 404")
    expect(h.folder_files(tessaro) == tessaro_files, "the Tessaro folder is as it was")

    inst = c.start(c.serve())
    install_to_finish(c, inst, opening="old_version")
    expect_installed()
    expect(not tessaro.parent.exists(), "the Tessaro installation and its maker folder are gone")
    expect(h.reg_values(h.TESSARO_SETTINGS_KEY) is None and h.reg_values(h.TESSARO_UNINSTALL_KEY) is None,
           "and so are its records and uninstall entry")
    inst.click(LAUNCH_CHECKBOX)
    inst.click(INSTALL_BUTTON)
    expect(inst.wait_exit(30) == 0, "Finish ends the installer with exit code 0")


@case
def interrupted_upgrade_is_undone_at_the_next_start(c):
    """The installer ends abruptly in the middle of the switch (the new version moved in, its entry written, a
    prerequisite running): the next start puts the older version back before it decides, and offers the upgrade."""
    install_older(c)
    before = machine_state()
    server = c.serve()
    inst = c.start(server, extra_env={"HELMVIEW_FIXTURE_WAIT": "VC_redist.x86.exe=300"})
    inst.wait_screen("old_version")
    runtime_runs = lambda: len([l for l in c.fixture_lines() if l.startswith("VC_redist.x86.exe ")])  # noqa: E731
    ran_before = runtime_runs()  # the older version's install ran it too
    inst.click(INSTALL_BUTTON)
    wait_for(lambda: runtime_runs() > ran_before, 120, "the switch to reach the prerequisites")
    os.kill(inst.pid, signal.SIGKILL)
    inst.wait_exit(30)
    c.processes.stop_all(["VC_redist.x86.exe"])
    expect(h.reg_value(UNINSTALL_KEY, "DisplayVersion") == OFFERED and
           h.reg_values(r"HKLM\Software\Norvale\SSD Helmview switch") is not None,
           "the switch was left half done: the new entry written, the journal there")

    again = c.start(server)
    again.wait_screen("old_version")
    expect_unchanged(before, "the next start")
    again.click(CANCEL_BUTTON)
    expect(again.wait_exit(30) == 0, "Cancel on the opening screen ends the installer with exit code 0")


@case
def newer_version_installed(c):
    h.record_installation("9.0.0.0", status=3)
    c.installed = "9.0.0.0"
    server = c.serve()
    inst = c.start(server)
    kids = inst.wait_screen("newer_version")
    expect(kids[INSTALL_BUTTON]["text"] == T("IDS_OK") and not kids[CANCEL_BUTTON]["visible"],
           "only OK is offered")
    inst.close_box()
    time.sleep(2)
    expect(inst.running() and inst.screen()[0] == "newer_version", "the close box is ignored")
    inst.click(INSTALL_BUTTON)
    expect(inst.wait_exit(30) == 0, "OK ends the installer with exit code 0")
    expect(h.reg_value(SETTINGS_KEY, "IsInstalled") == 3 and h.reg_value(UNINSTALL_KEY, "DisplayVersion") ==
           "9.0.0.0", "the newer installation's records are untouched")
    expect((h.install_dir() / "old-version.txt").is_file(), "the newer installation's files are untouched")


@case
def uninstall_from_installed_copy(c):
    server = c.serve()
    inst = c.start(server)
    install_to_finish(c, inst)
    expect_installed()
    inst.click(LAUNCH_CHECKBOX)
    inst.click(INSTALL_BUTTON)
    expect(inst.wait_exit(30) == 0, "install finished")
    # A stray file in the maker folder and a sibling folder: loose files go, other folders stay.
    maker = h.install_dir().parent
    (maker / "loose.txt").write_text("x")
    (maker / "Other").mkdir()
    (maker / "Other" / "keep.txt").write_text("x")

    c.installed = OFFERED
    un = run_uninstall_entry(c)
    expect(un.argv[1:] == ["-uninstall"], f"the relaunched copy runs with -uninstall ({un.argv})")
    kids = un.wait_screen("uninstall_welcome")
    expect(kids[INSTALL_BUTTON]["text"] == T("IDS_UNINSTALL"), "Uninstall offered")
    expect(kids[VERSION_LINE]["text"] == T("IDS_INSTALL_END_TEXT1", PRODUCT) + ": " + OFFERED,
           "version line shows the installed version")
    un.click(INSTALL_BUTTON)
    un.wait_screen("uninstalling")
    kids = un.wait_screen("finish_uninstalled", timeout=120)
    expect(not kids[LAUNCH_CHECKBOX]["visible"], "no launch box after an uninstall")
    expect_nothing_installed()
    expect(not (maker / "loose.txt").exists() and (maker / "Other" / "keep.txt").is_file(),
           "loose files of the maker folder deleted, its other folders kept")
    settings = h.reg_values(SETTINGS_KEY) or {}
    expect(sorted(settings) == ["CurrentCulture", "StartMinimized"] and settings["CurrentCulture"][1] == "en-US",
           f"only the language and start-minimised values remain ({settings})")
    un.click(INSTALL_BUTTON)
    expect(un.wait_exit(30) == 0, "Finish ends the uninstaller with exit code 0")
    expect(not h.install_dir().exists(), "no install folder is left after Finish")
    expect_no_app_started(c, wait=1)


# The numbers screen readers get (MSAA).
ROLE_SYSTEM_LINK = 0x1E
STATE_SYSTEM_FOCUSABLE = 0x100000


def focus_moved(inst, before, key):
    """The control the focus went to from before: key events arrive asynchronously, so wait for the move."""
    def moved():
        now = inst.focused()
        return (now,) if now != before else None
    return wait_for(moved, 10, f"{key} to move the focus")[0]


def tab_round(inst, key="TAB"):
    """Presses the key until the focus is back where it started; returns the controls it went through."""
    start = inst.focused()
    met = []
    for _ in range(8):
        inst.keys(key)
        met.append(focus_moved(inst, met[-1] if met else start, key))
        if met[-1] == start:
            return met
    raise h.E2EError(f"{key} did not come back round ({met})")


def expect_enter_on_cancel_ends(inst, what):
    """Enter presses the focused push button, as in a dialog: on Cancel it ends the program and runs nothing.
    The default look moves to Cancel with the focus."""
    inst.keys("SHIFT+TAB")
    kids = inst.children()
    expect(inst.focused() == CANCEL_BUTTON and kids[CANCEL_BUTTON]["button_type"] == 1 and
           kids[INSTALL_BUTTON]["button_type"] == 0, f"{what}: Cancel focused and shown as the default button")
    inst.keys("ENTER")
    expect(inst.wait_exit(30) == 0, f"{what}: Enter on Cancel ends the program with exit code 0")


def expect_esc_ignored(inst, screen):
    inst.keys("ESC")
    time.sleep(1)
    expect(inst.running() and inst.screen()[0] == screen, f"Esc does nothing on the {screen} screen")


@case
def keyboard_install_and_uninstall(c):
    """An install and an uninstall with the keyboard alone, as real key events."""
    server = c.serve()
    inst = c.start(server)
    inst.wait_screen("welcome")
    expect_enter_on_cancel_ends(inst, "welcome")
    expect_nothing_installed()
    inst = c.start(server)
    kids = inst.wait_screen("welcome")
    expect(inst.focused() == INSTALL_BUTTON, f"the focus starts on Install ({inst.focused()})")
    # The hidden launch box is skipped.
    met = tab_round(inst)
    expect(met == [LANGUAGE_COMBO, RELEASE_NOTES_LINK, CANCEL_BUTTON, INSTALL_BUTTON],
           f"Tab goes round the language list, the link, Cancel and Install ({met})")
    met = tab_round(inst, "SHIFT+TAB")
    expect(met == [CANCEL_BUTTON, RELEASE_NOTES_LINK, LANGUAGE_COMBO, INSTALL_BUTTON],
           f"Shift+Tab goes round the other way ({met})")
    link = inst.accessible(RELEASE_NOTES_LINK)
    expect(link["role"] == ROLE_SYSTEM_LINK and link["name"] == kids[RELEASE_NOTES_LINK]["text"] and
           link["state"] & STATE_SYSTEM_FOCUSABLE, f"screen readers get the link as a focusable link ({link})")

    # A language picked with the arrow keys retexts the window; the focus stays on the list.
    inst.keys("TAB", "DOWN")
    wait_for(lambda: inst.children()[INSTALL_BUTTON]["text"] != T("IDS_INSTALL"), 10, "the next language")
    expect(inst.focused() == LANGUAGE_COMBO, "the focus stays on the language list")
    inst.keys("UP")
    inst.wait_screen("welcome", timeout=10, shot=False)
    expect(inst.focused() == LANGUAGE_COMBO, "the focus stays on the language list")

    # Enter on the language list presses the main button, which keeps the default look there.
    expect(inst.children()[INSTALL_BUTTON]["button_type"] == 1, "Install is the default button")
    inst.keys("ENTER")
    inst.wait_screen("installing")
    expect(inst.focused() == CANCEL_BUTTON, f"the focus moves to Cancel while installing ({inst.focused()})")
    inst.wait_screen("finish_installed", timeout=240)
    expect(inst.focused() == INSTALL_BUTTON, f"the focus moves to Finish ({inst.focused()})")
    met = tab_round(inst)
    expect(met == [LAUNCH_CHECKBOX, RELEASE_NOTES_LINK, INSTALL_BUTTON],
           f"Tab goes round the launch box, the link and Finish ({met})")
    inst.keys("TAB", "SPACE")
    wait_for(lambda: inst.children()[LAUNCH_CHECKBOX]["checked"] == 0, 10, "Space to untick the launch box")
    expect_esc_ignored(inst, "finish_installed")
    expect_installed()
    inst.keys("ENTER")
    expect(inst.wait_exit(30) == 0, "Enter on the finish screen ends the installer with exit code 0")
    expect_no_app_started(c, wait=1)

    c.installed = OFFERED
    un = run_uninstall_entry(c)
    un.wait_screen("uninstall_welcome")
    expect_enter_on_cancel_ends(un, "uninstall")
    expect_installed()
    un = run_uninstall_entry(c)
    un.wait_screen("uninstall_welcome")
    un.keys("ENTER")
    un.wait_screen("finish_uninstalled", timeout=120)
    expect_esc_ignored(un, "finish_uninstalled")
    expect_nothing_installed()
    un.keys("ENTER")
    expect(un.wait_exit(30) == 0, "Enter on the finish screen ends the uninstaller with exit code 0")


@case
def keyboard_cancel(c):
    """Esc during the download is the Cancel button, once however long it is held: the install is cancelled
    and cleaned up."""
    server = c.serve()
    server.set_rules(slow_package_rule())
    inst = c.start(server)
    inst.wait_screen("welcome")
    inst.keys("ENTER")
    inst.wait_screen("installing")
    wait_download_running(server)
    wait_for(lambda: inst.progress() >= 10, 20, "the bar to show the download step")
    staging = h.install_dir().parent / (h.install_dir().name + ".staging")
    expect(staging.is_dir(), "the new version is staged beside the install folder while the install runs")
    expect(h.reg_value(SETTINGS_KEY, "IsInstalled") is None, "nothing is recorded while the new version is staged")
    # The bar moves on meanwhile: what screen readers get lies between two readings of it.
    before = inst.progress()
    bar = inst.accessible(PROGRESS_BAR)
    after = inst.progress()
    told = bar["value"][:-1] if bar["value"].endswith("%") else ""
    expect(told.isdigit() and before <= int(told) <= after, f"screen readers get the bar's position "
                                                             f"({bar}, bar from {before} to {after})")
    # A held Esc, its automatic repeats included, is one Cancel: the clean-up runs to its end.
    inst.keys("ESC+ESC+ESC")
    wait_for(lambda: inst.progress() == 0, 10, "the bar to drop to 0")
    inst.wait_screen("finish_cancelled", timeout=120)
    expect(h.reg_value(SETTINGS_KEY, "IsInstalled") is None, "no installation record")
    expect(not staging.exists() and not h.install_dir().parent.exists(),
           "no folder of the product is left, staging included")
    expect_esc_ignored(inst, "finish_cancelled")
    inst.keys("ENTER")
    expect(inst.wait_exit(30) == 0, "Enter on the finish screen ends the installer with exit code 0")


@case
def installer_named_like_the_application(c):
    """An installer saved as Helmview.exe neither overwrites the application with its copy nor stops its own
    uninstall; and after the uninstall, Finish leaves no folder of the product behind."""
    server = c.serve()
    named = c.work / "downloads" / "Helmview.exe"
    named.parent.mkdir()
    shutil.copyfile(h.EXE, named)
    inst = h.Installer(c, ["-test", server.base_url], exe=named, extra_env=c.env())
    install_to_finish(c, inst)
    # The copy takes the installer's usual name, and the uninstall entry names it.
    expect_installed()
    expect((h.install_dir() / "Helmview.exe").read_bytes() == (h.FIXTURES / "Helmview.exe").read_bytes(),
           "Helmview.exe in the install folder is the application")
    inst.click(LAUNCH_CHECKBOX)
    inst.click(INSTALL_BUTTON)
    expect(inst.wait_exit(30) == 0, "install finished")

    c.installed = OFFERED
    un = run_uninstall_entry(c)
    un.wait_screen("uninstall_welcome")
    un.click(INSTALL_BUTTON)
    un.wait_screen("finish_uninstalled", timeout=120)
    expect_nothing_installed()
    un.click(INSTALL_BUTTON)
    expect(un.wait_exit(30) == 0, "Finish ends the uninstaller with exit code 0")
    maker = h.install_dir().parent
    expect(not maker.exists(), f"no folder of the product is left, the emptied maker folder neither "
                               f"({sorted(p.name for p in maker.iterdir()) if maker.exists() else ''})")


@case
def second_instance(c):
    server = c.serve()
    first = c.start(server)
    first.wait_screen("welcome")

    same = c.start(server, expect_window=False, allow_quick_exit=True)
    # A message box would hold it until answered, and nothing here answers one.
    expect(same.wait_exit(30) == 0, "a second instance with the same file name ends by itself, with exit code 0, "
                                    "so without a message")
    windows = c.driver.windows(h.WINDOW_CLASS)
    expect(len(windows) == 1, f"and shows no window ({len(windows)} installer windows)")

    other_exe = c.work / "other" / "OtherSetup.exe"
    other_exe.parent.mkdir()
    shutil.copyfile(h.EXE, other_exe)
    other = h.Installer(c, ["-test", server.base_url], exe=other_exe, extra_env=c.env())
    other.wait_screen("welcome")
    windows = c.driver.windows(h.WINDOW_CLASS)
    expect(sorted(w["exe"].lower() for w in windows) == ["helmviewsetup.exe", "othersetup.exe"],
           "an instance with another file name runs beside the first")
    expect(first.running(), "the first instance still runs")
    for inst in (other, first):
        inst.click(CANCEL_BUTTON)
        expect(inst.wait_exit(30) == 0, f"Cancel on the welcome screen ends {inst.exe.name}, exit code 0")


@case
def relaunch_copy(c):
    server = c.serve()
    temp = h.unix_path(h.temp_folder_windows())
    before = set(p.name for p in temp.iterdir()) if temp.is_dir() else set()
    args = ["-test", server.base_url, "-Extra", "two words"]
    inst = c.start(None, args=args)
    expect(inst.first_exit == 0, "the process started ends at once with exit code 0")
    copy = inst.argv[0]
    folder = copy.rsplit("\\", 1)[0]
    expect(folder.lower().rsplit("\\", 1)[0] == h.temp_folder_windows().rstrip("\\").lower(),
           f"the copy runs from a folder directly in the temporary-files folder ({copy})")
    name = folder.rsplit("\\", 1)[1]
    expect(name not in before, f"the folder {name} is new")
    expect(name.startswith("s") and "." in name, f"the folder has a temporary name ({name})")
    expect([p.name for p in h.unix_path(folder).iterdir()] == [h.EXE.name], "it holds only the installer")
    expect(h.unix_path(copy).read_bytes() == h.EXE.read_bytes(), "an exact copy")
    expect(inst.argv[1:] == args, f"the copy receives the same arguments ({inst.argv[1:]})")
    inst.wait_screen("welcome")
    inst.click(CANCEL_BUTTON)
    expect(inst.wait_exit(30) == 0, "Cancel on the welcome screen ends the installer, exit code 0")


class UnpackWatch:
    """Follows an install from outside while it runs: the batch file the installer writes for the archive tool (it
    lives for a moment only) and the command lines of the programs started meanwhile."""

    def __init__(self, c):
        self.c = c
        self.batch = None
        self.done = threading.Event()
        self.thread = threading.Thread(target=self._follow, daemon=True)
        self.thread.start()

    def _follow(self):
        path = h.install_dir().parent / (h.install_dir().name + ".staging") / "unzip.bat"
        while not self.done.is_set():
            try:
                self.batch = path.read_bytes() or self.batch
            except OSError:
                pass
            self.c.processes.children()
            time.sleep(0.01)

    def stop(self):
        self.done.set()
        self.thread.join()

    def command_lines(self, exe_name):
        return [info["argv"] for info in list(self.c.processes.known.values())
                if info["argv"] and info["argv"][0].rsplit("\\", 1)[-1].lower() == exe_name.lower()]


@case
def trusted_install(c):
    """Nothing the user's own processes can reach steers the elevated copy: it holds its executable against renaming
    and installs that very file, and the command interpreter it unpacks with skips AutoRun and runs the archive
    tool by its full path. The manifest's package hash, in either letter case, lets the install through."""
    digest = hashlib.sha256(h.ensure_package().read_bytes()).hexdigest()
    server = c.serve(sha256=digest[:32].upper() + digest[32:])
    inst = c.start(server)
    inst.wait_screen("welcome")
    running = h.unix_path(inst.argv[0])
    # The same command renames a file beside it that nothing holds: only the installer's hold can stop it.
    shutil.copyfile(running, running.with_name("spare.exe"))
    h.run_wine(["cmd", "/c", "ren", inst.argv[0].rsplit("\\", 1)[0] + "\\spare.exe", "spare-renamed.exe"],
               check=False)
    expect(running.with_name("spare-renamed.exe").is_file(), "a file beside the installer can be renamed")
    running.with_name("spare-renamed.exe").unlink()
    h.run_wine(["cmd", "/c", "ren", inst.argv[0], "planted.exe"], check=False)
    expect(running.is_file() and not (running.parent / "planted.exe").exists(),
           "the running installer cannot be renamed")

    watch = UnpackWatch(c)
    try:
        install_to_finish(c, inst)
    finally:
        watch.stop()
    expect_installed()  # the installer's copy included, byte for byte
    expect_prerequisites_ran(c)
    # The package is unpacked beside the install folder, and moved in once it holds the application.
    tool = INSTALL_DIR_WIN.rstrip("\\") + ".staging\\7za.exe"
    batch = (watch.batch or b"").decode("ascii", "replace").split("\r\n")
    expect(batch[0] == f'"{tool}" x -y Helmview.zip', f"the batch runs the archive tool by its full path ({batch})")
    shells = [[a.upper() for a in argv] for argv in watch.command_lines("cmd.exe")]
    expect(any("/D" in argv and "/C" in argv and argv.index("/D") < argv.index("/C") for argv in shells),
           f"the command interpreter is told to skip AutoRun (/D before /C: {shells})")
    expect(any(argv[0].lower() == tool.lower() for argv in watch.command_lines("7za.exe")),
           "the archive tool ran from the staging folder")
    inst.click(LAUNCH_CHECKBOX)
    inst.click(INSTALL_BUTTON)
    expect(inst.wait_exit(30) == 0, "Finish ends the installer with exit code 0")


@case
def package_hash_mismatch(c):
    """A package whose hash is not the manifest's is neither unpacked nor run, and what the run put in place goes."""
    server = c.serve(sha256=hashlib.sha256(b"another package").hexdigest())
    inst = c.start(server)
    inst.wait_screen("welcome")
    inst.click(INSTALL_BUTTON)
    inst.wait_screen("installing")
    expect_fatal_message(c, inst, T("error_generic", "0x80091007", "Helmview.zip"), "package_mismatch")
    expect(any(e["path"] == PACKAGE_PATH and e.get("complete") for e in server.request_log()),
           "the package was downloaded in full")
    expect(not c.fixture_lines(), f"no program of the package ran ({c.fixture_lines()})")
    expect(h.reg_value(SETTINGS_KEY, "IsInstalled") is None, "no installation record is left")
    expect(h.folder_files(h.install_dir()) == [], f"install folder empty ({h.folder_files(h.install_dir())})")
    expect_no_app_started(c, wait=1)


@case
def release_notes_link(c):
    """The link opens web addresses only: with -test naming a folder of the machine the same click opens nothing."""
    viewer = c.work / "notes_viewer.exe"
    shutil.copyfile(h.FIXTURES / "fixture_prereq.exe", viewer)
    planted = c.work / "planted"
    (planted / "zqHelmview").mkdir(parents=True)
    (planted / "zqHelmview" / "NorvaleHelmviewReleaseNotes.pdf").write_bytes(b"%PDF-1.4\n")
    h.record_installation(OFFERED)
    c.installed = OFFERED
    server = c.serve()
    opened = lambda: [l for l in c.fixture_lines() if l.startswith(viewer.name)]  # noqa: E731
    with h.open_commands(viewer):
        for base in (h.windows_path(planted) + "\\", server.base_url):
            inst = c.start(None, args=["-uninstall", "-test", base])
            inst.wait_screen("uninstall_welcome")
            inst.click(RELEASE_NOTES_LINK)
            if base == server.base_url:
                wait_for(opened, 30, "the release notes to be opened")
            else:
                time.sleep(4)
            inst.click(CANCEL_BUTTON)
            expect(inst.wait_exit(30) == 0, "Cancel ends the installer with exit code 0")
    notes = server.base_url + "zqHelmview/NorvaleHelmviewReleaseNotes.pdf"
    expect(len(opened()) == 1 and opened()[0].endswith(f'"{notes}"'),
           f"only the web address was opened ({opened()})")

@case
def relaunch_error_in_users_language(c):
    """A relaunch that cannot make its folder says so in the remembered language, before anything else ran."""
    h.reg_set(SETTINGS_KEY, "CurrentCulture", "de-DE")
    blocker = h.drive_c() / "blocked-temp"
    blocker.write_text("a file where the temporary-files folder should be")
    temp = h.windows_path(blocker) + "\\Temp"
    try:
        # Wine takes TMP and TEMP from the registry, not from the host: set them the Windows way.
        launch = f"set TMP={temp}&& set TEMP={temp}&& {h.windows_path(h.EXE)} -test http://127.0.0.1:9/"
        inst = h.Installer(c, command=["wine", "cmd", "/c", launch], extra_env=c.env(), expect_window=False,
                           relaunch=False)
        expect(inst.argv[0].lower() == h.windows_path(h.EXE).lower(), f"the installer started as is ({inst.argv})")
        box = inst.message(shot_name="relaunch_error")
        # A file of that name is in the way: the system's answer is ERROR_ALREADY_EXISTS.
        expect(box["text"] == T_in("de-DE", "error_creating_folder") + "(error code: 183)" and
               box["caption"] == T_in("de-DE", "IDS_TITLE_ERROR"), f"message {box['text']!r} under {box['caption']!r}")
        expect(inst.wait_exit(30) == 0, "the installer ends with exit code 0 after the message")
        expect(not c.driver.exists(exe=h.EXE.name), "no installer window was shown")
    finally:
        blocker.unlink()


def expect_fatal_message(c, inst, text, label):
    box = inst.message(shot_name=label)
    expect(box["text"] == text and box["caption"] == T("IDS_TITLE_ERROR"),
           f"message {box['text']!r} under {box['caption']!r}")
    expect(inst.wait_exit(30) == 0, "the installer ends with exit code 0 after the message")


@case
def manifest_404(c):
    server = c.serve(manifest=False)
    inst = c.start(server, expect_window=False)
    expect_fatal_message(c, inst, T("text_missing_file", "lista_updater.xml"), "manifest_missing")
    expect(not c.driver.exists(exe=h.EXE.name), "no installer window was shown")
    expect(any(e["path"] == MANIFEST_PATH and e["status"] == 404 for e in server.request_log()),
           "the manifest was asked for and answered 404")


@case
def package_404(c):
    server = c.serve(package=False)
    inst = c.start(server)
    inst.wait_screen("welcome")
    inst.click(INSTALL_BUTTON)
    inst.wait_screen("installing")
    expect_fatal_message(c, inst, T("text_missing_file", "Helmview.zip"), "package_missing")


@case
def https_self_signed(c):
    server = c.serve(https="selfsigned")
    inst = c.start(server, expect_window=False)
    expect_fatal_message(c, inst, T("ssl_error", "lista_updater.xml"), "ssl_error")
    expect(not any(e["path"] == MANIFEST_PATH for e in server.request_log()),
           "no request got through the refused handshake")


def main(argv):
    if len(argv) == 2 and argv[1] == "--list":
        print("\n".join(CASES))
        return 0
    if len(argv) != 2 or argv[1] not in CASES:
        print(f"usage: {argv[0]} <case>|--list\ncases: {', '.join(CASES)}", file=sys.stderr)
        return 2
    return h.run_case(argv[1], CASES[argv[1]])


if __name__ == "__main__":
    sys.exit(main(sys.argv))
