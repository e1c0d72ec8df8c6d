#!/usr/bin/env python3
"""Black-box tests of the installer window: the real window in the window host, driven and inspected with
uidriver.exe, with the installation records set in the registry.

    window_gui_test.py --uidriver <exe> --host <exe> --host-nologo <exe> --source <dir> --screenshots <dir>
                       <case>

Each case is one CTest test; screenshots of the screens are kept under the screenshots folder.
"""

import argparse
import os
import subprocess
import sys
import time

import windowtest as wt
from windowtest import expect, expect_equal

# The controls in their order among their siblings: the reading order, which keyboard navigation and screen
# readers follow.
BODY, PROGRESS, LABEL, COMBO, LAUNCH, VERSION, LINK, CANCEL, INSTALL, INSTALLER_VERSION = range(10)

WS_VISIBLE = 0x10000000
WS_CHILD = 0x40000000
BS_DEFPUSHBUTTON, BS_PUSHBUTTON, BS_AUTOCHECKBOX, BS_FLAT = 0x1, 0x0, 0x3, 0x8000
CBS_DROPDOWNLIST, CBS_HASSTRINGS, CBS_SORT = 0x3, 0x200, 0x100
PBS_SMOOTH = 0x1
SS_LEFT, SS_RIGHT, SS_NOTIFY = 0x0, 0x2, 0x100

# class, id, left, top, width, height (None: not checked), style bits besides WS_CHILD, type bits and mask
LAYOUT = {
    INSTALL: ("button", 0, 354, 262, 105, 29, BS_FLAT, BS_DEFPUSHBUTTON, 0xF),
    CANCEL: ("button", 0, 245, 262, 105, 29, BS_FLAT, BS_PUSHBUTTON, 0xF),
    LAUNCH: ("button", 1, 50, 150, 150, 45, 0, BS_AUTOCHECKBOX, 0xF),
    # A drop-down list reports the height of its closed field.
    COMBO: ("combobox", 0, 15, 167, 244, None, CBS_HASSTRINGS, CBS_DROPDOWNLIST, 0x3),
    PROGRESS: ("msctls_progress32", 0, 15, 167, 445, 25, PBS_SMOOTH, 0, 0),
    # The link and the version line are narrowed to their texts (see expect_text_row).
    LINK: ("static", 0, None, 220, None, 20, SS_NOTIFY, SS_RIGHT, 0x1F),
    BODY: ("static", 0, 15, 40, 444, 90, 0, SS_LEFT, 0x1F),
    LABEL: ("static", 0, 15, 145, 250, 20, 0, SS_LEFT, 0x1F),
    VERSION: ("static", 0, 15, 220, None, 20, 0, SS_LEFT, 0x1F),
    INSTALLER_VERSION: ("static", 0, 10, 300, 200, 20, 0, SS_LEFT, 0x1F),
}

LANGUAGE_CODES = ["cs-CZ", "da-DK", "de-DE", "en-US", "es-ES", "fr-FR", "it-IT", "ja-JP", "ko-KR", "nl-NL",
                  "pl-PL", "pt-PT", "ru-RU", "sv-SE", "tr-TR", "zh-CN", "zh-TW"]
DISPLAY_NAMES = ["Čeština", "Dansk", "Deutsch", "English", "Español", "Français", "Italiano", "日本語", "한국어",
                 "Nederlands", "Polski", "Português", "P\u0443\u0441\u0441\u043a\u0438\u0439", "Svenskt", "Türkçe",
                 "简体中文", "繁體中文"]

PRODUCT = "Helmview"
OFFERED = "2.2.0.1"
OLDER = "2.1.0.5"

config = None


def driver():
    sys.path.insert(0, os.path.dirname(os.path.abspath(config.uidriver_py)))
    from uidriver import UiDriver
    return UiDriver(config.uidriver)


def host(*args, nologo=False):
    exe = config.host_nologo if nologo else config.host
    return wt.Host(exe, driver(), *args, screenshot_dir=config.screenshots)


def texts(code):
    return wt.translations(config.source, code)


def T(code, key, *values):
    return wt.fill(texts(code).get(key, ""), *values)


def expect_texts(children, expected, what):
    for index, text in expected.items():
        expect_equal(children[index]["text"], text, "%s: text of control %d" % (what, index))


def expect_visible(children, visible, what):
    for index, shown in visible.items():
        expect_equal(children[index]["visible"], shown, "%s: control %d visible" % (what, index))


def expect_ended_by(h, index, what):
    """Presses a button that must end the program with exit code 0."""
    h.driver.click("index:%d" % index)
    expect_equal(h.wait_exit(), 0, what + " ends the program with exit code")


def expect_text_row(children, what):
    """The version line (from x 15, at most 300 wide) and the right-aligned link (up to x 460, at most 260
    wide, not left of 200) share row 220; narrowed to their texts, they must not overlap."""
    version, link = children[VERSION], children[LINK]
    expect(version["x"] == 15 and 0 < version["w"] <= 300, "%s: version line within its place" % what)
    expect(link["x"] + link["w"] == 460 and link["x"] >= 200 and link["w"] > 0, "%s: link within its place" % what)
    expect(version["x"] + version["w"] <= link["x"],
           "%s: version line (to x %d) and link (from x %d) apart" % (what, version["x"] + version["w"], link["x"]))


def link_drawn_whole(picture, link, what):
    """The link's blue text starts right at its left edge: nothing has painted over its beginning."""
    bluish = lambda c: c[2] > 150 and c[0] < 80
    columns = [x for x in range(200, 460) if any(bluish(picture.rgb(x, y)) for y in range(220, 240))]
    expect(columns and columns[0] <= link["x"] + 4 and columns[-1] >= 450,
           "%s: the link's text is drawn whole (blue from x %s to %s, control from %d)"
           % (what, columns[0] if columns else None, columns[-1] if columns else None, link["x"]))


def opening_texts(code, version):
    """The texts every opening screen shares."""
    return {
        CANCEL: T(code, "IDS_CANCEL"),
        LAUNCH: T(code, "IDS_LAUNCH_HELMVIEW", PRODUCT),
        LINK: T(code, "IDS_VIEW_RELEASE_NOTES"),
        LABEL: T(code, "options_select_language"),
        VERSION: T(code, "IDS_INSTALL_END_TEXT1", PRODUCT) + ": " + version,
        INSTALLER_VERSION: T(code, "IDS_INSTALL") + " " + T(code, "IDS_VERSION") + ": " + wt.INSTALLER_VERSION,
    }


# -- cases ---------------------------------------------------------------------------------------------


def test_welcome_screen_and_layout():
    wt.clear_records()
    with host("--offered", OFFERED) as h:
        w = h.window
        expect_equal(w["title"], "Helmview Installer", "caption")
        expect_equal((w["rect"]["left"], w["rect"]["top"]), (715, 361), "outer rectangle's top left on 1920 x 1080")
        expect_equal((w["width"], w["height"]), (490, 357), "outer size")
        expect(not w["has_maximize_box"], "no maximise box")
        expect(not w["has_sizing_border"], "no sizing border")
        expect(w["has_minimize_box"], "a minimise box")

        children = h.children()
        expect_equal(len(children), 10, "number of controls")
        for index, (cls, ident, x, y, width, height, bits, kind, mask) in LAYOUT.items():
            c = children[index]
            expect_equal(c["class"].lower(), cls, "control %d class" % index)
            expect_equal(c["id"], ident, "control %d identifier" % index)
            for key, value in (("x", x), ("y", y), ("w", width), ("h", height)):
                if value is not None:
                    expect_equal(c[key], value, "control %d %s" % (index, key))
            expect(c["style"] & WS_CHILD and c["style"] & bits == bits, "control %d style bits" % index)
            expect_equal(c["style"] & mask, kind, "control %d type" % index)
        expect_text_row(children, "welcome")
        expect_equal(children[COMBO]["style"] & CBS_SORT, 0, "the language list is not sorted")
        expect_equal(children[PROGRESS]["range"], [0, 100], "progress range")
        expect_equal(children[LAUNCH]["checked"], True, "launch box ticked while hidden")

        expected = opening_texts("en-US", OFFERED)
        expected[INSTALL] = "Install"
        expected[BODY] = ("Thank you for downloading Helmview. This software includes tools that can help you to "
                          "get the most out of your Norvale and Tessaro drives.")
        expect_texts(children, expected, "welcome")
        expect_equal(children[VERSION]["text"], "Helmview version: 2.2.0.1", "version line")
        expect_equal(children[INSTALLER_VERSION]["text"], "Install Version: " + wt.INSTALLER_VERSION,
                     "installer version line")
        expect_visible(children, {INSTALL: True, CANCEL: True, LAUNCH: False, COMBO: True, PROGRESS: False,
                                  LINK: True, BODY: True, LABEL: True, VERSION: True, INSTALLER_VERSION: True},
                       "welcome")
        h.screenshot("welcome")

        # The close box does nothing on an opening screen.
        h.driver.close()
        time.sleep(1.0)
        expect(h.proc.poll() is None and h.driver.exists(), "a close request on an opening screen is ignored")
        expect_ended_by(h, CANCEL, "Cancel on the welcome screen")


# Each opening screen the records and versions lead to: what the records hold (maker key, IsInstalled), the
# host's arguments, the main button, the body, the version the line names, what shows, and the button that
# ends it.
OPENING_SCREENS = [
    ("uninstall_welcome", (wt.SETTINGS_KEY, 3), ("--uninstall", "--installed", OLDER, "--offered", OFFERED),
     "Uninstall", "Welcome to the Helmview Installer. The Installer will remove Helmview software from your "
     "computer.", OLDER, {CANCEL: True, LINK: True, PROGRESS: False}, CANCEL),
    ("incomplete_install", (wt.SETTINGS_KEY, 1), ("--installed", OLDER, "--offered", OFFERED),
     "Install", "The previous Helmview installation was incomplete. The Helmview installer will uninstall it and "
     "install version 2.2.0.1.", OFFERED, {CANCEL: True, PROGRESS: False}, CANCEL),
    ("old_version", (wt.SETTINGS_KEY, 3), ("--installed", OLDER, "--offered", OFFERED),
     "Install", "Helmview 2.1.0.5 has been detected on this system. The Helmview installer will uninstall the "
     "current version and install version 2.2.0.1.", OFFERED, {CANCEL: True, PROGRESS: False}, CANCEL),
    # A Tessaro record counts when Norvale has none.
    ("old_version_tessaro", (wt.TESSARO_KEY, 3), ("--installed", OLDER, "--offered", OFFERED),
     "Install", "Helmview 2.1.0.5 has been detected on this system. The Helmview installer will uninstall the "
     "current version and install version 2.2.0.1.", OFFERED, {CANCEL: True}, CANCEL),
    ("newer_version", (wt.SETTINGS_KEY, 3), ("--installed", "2.3", "--offered", "2.2.9"),
     "OK", "Helmview version 2.3 is already installed. You must uninstall it before you can install version "
     "2.2.9.", "2.2.9", {CANCEL: False, LINK: True, PROGRESS: False}, INSTALL),
]


def test_opening_screens():
    for name, (key, status), args, button, body, version, visible, ender in OPENING_SCREENS:
        wt.clear_records()
        wt.set_is_installed(status, key)
        with host(*args) as h:
            children = h.children()
            expected = opening_texts("en-US", version)
            expected[INSTALL] = button
            expected[BODY] = body
            expect_texts(children, expected, name)
            expect_visible(children, {**visible, INSTALL: True, COMBO: True}, name)
            h.screenshot(name)
            expect_ended_by(h, ender, "%s on the %s screen" % (button if ender == INSTALL else "Cancel", name))


def test_incomplete_install_in_simplified_chinese():
    wt.clear_records()
    wt.set_is_installed(1)
    with host("--offered", OFFERED, "--language", "zh-CN") as h:
        children = h.children()
        expect("IDS_INCOMPLETE_INSTALL" not in texts("zh-CN"), "zh-CN carries no incomplete-install text")
        expect_equal(children[BODY]["text"], "", "body of the incomplete-install screen in zh-CN")
        expected = opening_texts("zh-CN", OFFERED)
        expected[INSTALL] = T("zh-CN", "IDS_INSTALL")
        expect_texts(children, expected, "zh-CN")
        expect_equal(children[COMBO]["selected"], LANGUAGE_CODES.index("zh-CN"), "zh-CN selected")
        h.screenshot("incomplete_install_zh-CN")
        expect_ended_by(h, CANCEL, "Cancel")


def test_language_combo_lists_the_carried_languages_in_code_order():
    wt.clear_records()
    with host("--offered", OFFERED) as h:
        combo = h.child(COMBO)
        expect_equal(combo["items"], DISPLAY_NAMES, "combo items")
        expect_equal(combo["selected"], LANGUAGE_CODES.index("en-US"), "selected item")
        expect_ended_by(h, CANCEL, "Cancel")
    with host("--offered", OFFERED, "--language", "de-DE") as h:
        combo = h.child(COMBO)
        expect_equal(combo["items"], DISPLAY_NAMES, "combo items in German")
        expect_equal(combo["selected"], DISPLAY_NAMES.index("Deutsch"), "Deutsch selected")
        expect_ended_by(h, CANCEL, "Cancel")


def test_language_that_is_not_carried_selects_the_first_item():
    wt.clear_records()
    with host("--offered", OFFERED, "--language", "fi-FI") as h:
        children = h.children()
        expect_equal(children[COMBO]["selected"], 0, "selected item for fi-FI")
        expect_equal(len(children[COMBO]["items"]), 17, "still seventeen items")
        # No texts at all: only the joining characters remain.
        expect_equal(children[VERSION]["text"], ": " + OFFERED, "version line without texts")
        expect_equal(children[BODY]["text"], "", "body without texts")
        expect_ended_by(h, CANCEL, "Cancel")


def test_picking_german_retexts_every_control_and_is_remembered():
    wt.clear_records()
    with host("--offered", OFFERED) as h:
        h.driver.select("index:%d" % COMBO, "Deutsch")
        de = "de-DE"
        expected = opening_texts(de, OFFERED)
        expected[INSTALL] = T(de, "IDS_INSTALL")
        expected[BODY] = T(de, "IDS_TITLE_INSTALLATION", PRODUCT)
        # Everything changes at once with the selection.
        h.driver.wait_until(lambda: h.child(BODY)["text"] == expected[BODY], 10, what="German body")
        children = h.children()
        expect_texts(children, expected, "after picking Deutsch")
        expect(children[BODY]["text"] != T("en-US", "IDS_TITLE_INSTALLATION", PRODUCT), "the body changed")
        expect_text_row(children, "German")
        expect_equal(children[COMBO]["items"], DISPLAY_NAMES, "combo entries stay display names")
        expect_equal(h.driver.find()["title"], "Helmview Installer", "caption is not translated")
        expect_equal(wt.read_string(wt.SETTINGS_KEY, "CurrentCulture"), "de-DE", "remembered language")
        link_drawn_whole(h.screenshot("welcome_de-DE"), children[LINK], "German")
        expect_ended_by(h, CANCEL, "Cancel")


def test_switching_language_keeps_the_newer_version_screen():
    wt.clear_records()
    wt.set_is_installed(3)
    with host("--installed", "2.3", "--offered", "2.2.9") as h:
        h.driver.select("index:%d" % COMBO, "Français")
        fr = "fr-FR"
        body = T(fr, "IDS_NEWER_VERSION_INSTALLED", "2.3", "2.2.9", PRODUCT)
        h.driver.wait_until(lambda: h.child(BODY)["text"] == body, 10, what="French body")
        children = h.children()
        expect_equal(children[INSTALL]["text"], T(fr, "IDS_OK"), "button keeps OK, in French")
        expect_equal(children[CANCEL]["visible"], False, "Cancel stays hidden")
        expect_equal(children[CANCEL]["text"], T(fr, "IDS_CANCEL"), "hidden Cancel re-texted")
        expect_texts(children, opening_texts(fr, "2.2.9"), "French newer-version screen")
        expect_text_row(children, "French")
        link_drawn_whole(h.screenshot("newer_version_fr-FR"), children[LINK], "French")
        expect_ended_by(h, INSTALL, "OK")


def test_switching_language_keeps_the_incomplete_install_screen():
    wt.clear_records()
    wt.set_is_installed(1)
    with host("--offered", OFFERED) as h:
        h.driver.select("index:%d" % COMBO, "Deutsch")
        body = T("de-DE", "IDS_INCOMPLETE_INSTALL", OFFERED, PRODUCT)
        h.driver.wait_until(lambda: h.child(BODY)["text"] == body, 10, what="German incomplete-install body")
        children = h.children()
        expect_equal(children[INSTALL]["text"], T("de-DE", "IDS_INSTALL"), "button text")
        expect_equal(children[CANCEL]["visible"], True, "Cancel visible")
        expect_ended_by(h, CANCEL, "Cancel")


def test_version_lines_name_the_right_version():
    wt.clear_records()
    # No offered version: the line ends in the colon and blank.
    with host("--installed", OLDER) as h:
        expect_equal(h.child(VERSION)["text"], "Helmview version: ", "version line with an empty offered version")
        expect_ended_by(h, CANCEL, "Cancel")
    wt.set_is_installed(3)
    with host("--uninstall", "--offered", OFFERED) as h:
        expect_equal(h.child(VERSION)["text"], "Helmview version: ",
                     "uninstall mode with an empty installed version")
        expect_equal(h.child(INSTALL)["text"], "Uninstall", "uninstall offer")
        expect_ended_by(h, CANCEL, "Cancel")


def logo_and_separator(picture):
    dark = lambda c: max(c) < 96
    line = [picture.rgb(x, 240) for x in range(0, 475)]
    expect(all(c == (0, 0, 0) for c in line), "separator: black from x 0 to 474 on row 240")
    expect(is_white_point(picture, 475, 240), "separator: its end point is not drawn")
    expect(all(wt.is_white(picture.rgb(x, 241)) for x in range(0, 475)), "one pixel wide")
    return picture.count(15, 270, 161, 292, lambda c: not wt.is_white(c)), dark


def is_white_point(picture, x, y):
    return wt.is_white(picture.rgb(x, y))


def test_logo_and_separator_are_drawn():
    wt.clear_records()
    with host("--offered", OFFERED) as h:
        picture = h.screenshot("logo_and_separator")
        marked, dark = logo_and_separator(picture)
        expect(marked > 146 * 22 // 8, "logo drawn into its rectangle (%d coloured pixels)" % marked)
        expect(picture.count(15, 270, 161, 292, dark) > 0, "the logo has dark parts")
        # Scaled into 146 x 22: nothing of it beyond the rectangle.
        expect_equal(picture.count(161, 262, 240, 298, lambda c: not wt.is_white(c)), 0,
                     "nothing right of the logo rectangle")
        expect_equal(picture.count(15, 262, 161, 270, lambda c: not wt.is_white(c)), 0,
                     "nothing above the logo rectangle")
        # The release-notes link is blue, the other texts black.
        blue = picture.count(200, 220, 460, 240, lambda c: c[2] > 150 and c[0] < 80)
        expect(blue > 20, "release-notes link drawn in blue (%d pixels)" % blue)
        expect(picture.count(200, 220, 460, 240, lambda c: c == (0, 112, 187)) > 0, "in the link colour 0, 112, 187")
        link_drawn_whole(picture, h.child(LINK), "English")
        expect_equal(picture.count(15, 220, 200, 240, lambda c: c[2] > 150 and c[0] < 80), 0,
                     "version line has no blue")
        expect_ended_by(h, CANCEL, "Cancel")


def test_focus_is_drawn_once_the_keyboard_is_used():
    wt.clear_records()
    with host("--offered", OFFERED) as h:
        link = h.child(LINK)

        def frame_dots(picture):
            """Dark pixels on the link's top edge, where its focus frame runs."""
            return picture.count(link["x"], link["y"], link["x"] + link["w"], link["y"] + 1,
                                 lambda c: not wt.is_white(c))

        expect_equal((h.driver.focus() or {}).get("index"), INSTALL, "the focus starts on the main button")
        expect_equal(frame_dots(h.screenshot("focus_not_drawn")), 0, "no focus frame before the keyboard is used")
        h.driver.keys("TAB", "TAB")
        h.driver.wait_until(lambda: (h.driver.focus() or {}).get("index") == LINK, 10, what="two Tabs to reach "
                            "the link")
        dots = frame_dots(h.screenshot("focus_on_link"))
        expect(dots > link["w"] // 4, "a dotted focus frame round the link (%d dots)" % dots)
        expect_ended_by(h, CANCEL, "Cancel")


def test_window_works_without_the_logo_resource():
    wt.clear_records()
    with host("--offered", OFFERED, nologo=True) as h:
        picture = h.screenshot("welcome_without_logo")
        marked, _ = logo_and_separator(picture)
        expect_equal(marked, 0, "no logo drawn")
        children = h.children()
        expect_equal(len(children), 10, "all controls")
        expect_equal(children[INSTALL]["text"], "Install", "welcome screen")
        h.driver.select("index:%d" % COMBO, "Deutsch")
        h.driver.wait_until(lambda: h.child(INSTALL)["text"] == T("de-DE", "IDS_INSTALL"), 10,
                            what="language change")
        expect_ended_by(h, CANCEL, "Cancel")


def start_uninstall(h):
    """Presses Uninstall on the uninstall offer and checks the uninstalling screen."""
    h.driver.click("index:%d" % INSTALL)
    body = "Please wait while Helmview is uninstalled from your computer."
    h.driver.wait_until(lambda: h.child(BODY)["text"] == body, 20, what="uninstalling screen")
    children = h.children()
    expect_visible(children, {INSTALL: False, CANCEL: False, LABEL: False, COMBO: False, PROGRESS: True,
                              LINK: False, LAUNCH: False}, "uninstalling")
    h.screenshot("uninstalling")
    # The close box does nothing while the run is under way.
    h.driver.close()
    finished = "Helmview was successfully uninstalled."
    h.driver.wait_until(lambda: h.child(BODY)["text"] == finished, 120, interval_s=0.5, what="finish screen")
    expect(h.proc.poll() is None, "a close request during the run was ignored")
    children = h.children()
    expect_equal(children[INSTALL]["text"], "Finish", "button of the finish screen")
    expect_visible(children, {INSTALL: True, CANCEL: False, LAUNCH: False, PROGRESS: False, COMBO: False,
                              LINK: False}, "finish after uninstall")
    expect_equal(children[PROGRESS]["pos"], 100, "the bar ended full")
    h.screenshot("finish_uninstall")


def test_uninstall_run_ends_on_the_finish_screen_which_the_close_box_ends():
    wt.clear_records()
    wt.set_is_installed(3)
    with host("--uninstall", "--installed", OLDER, "--offered", OFFERED) as h:
        start_uninstall(h)
        expect_equal(wt.read_dword(wt.SETTINGS_KEY, "IsInstalled"), None, "the record was removed")
        h.driver.close()
        expect_equal(h.wait_exit(), 0, "the close box on the finish screen ends the program with exit code")


def test_finish_after_uninstall_ends_the_program_and_makes_no_install_folder():
    wt.clear_records()
    wt.set_is_installed(3)
    remove_install_dir()
    with host("--uninstall", "--installed", OLDER, "--offered", OFFERED) as h:
        start_uninstall(h)
        expect_ended_by(h, INSTALL, "Finish after the uninstall")
    expect(not os.path.exists(install_dir()), "Finish after an uninstall leaves no install folder")


# -- install runs against a local download server -------------------------------------------------------


INSTALL_DIR_PARTS = ("drive_c", "Program Files (x86)", "Norvale", "SSD Helmview")


def install_dir():
    return os.path.join(os.environ["WINEPREFIX"], *INSTALL_DIR_PARTS)


def remove_install_dir():
    """The prefix's install folder (inside drive_c only) goes, so each run starts from nothing."""
    import shutil
    folder = install_dir()
    assert os.path.join("drive_c", "Program Files (x86)") in folder
    shutil.rmtree(folder, ignore_errors=True)


class Server:
    """A loopback download server holding the package of OFFERED."""

    def __init__(self, name):
        sys.path.insert(0, os.path.join(config.source, "tools", "testserver"))
        sys.path.insert(0, os.path.join(config.source, "tools", "fixtures"))
        from testserver import TestServer
        from make_packages import make_package
        root = os.path.join(config.work, name)
        package = os.path.join(root, "zqHelmview", "application", OFFERED, "Helmview.zip")
        if not os.path.isfile(package):
            make_package(package, config.seven_zip, config.fixtures)
        self.package_path = "/zqHelmview/application/%s/Helmview.zip" % OFFERED
        self.server = TestServer(root=root)

    def __enter__(self):
        self.server.start()
        return self.server

    def __exit__(self, *exc):
        self.server.stop()
        return False


def fixture_log_env():
    """The stand-in programs of the package append to this log; the host passes it on to them."""
    path = os.path.join(config.work, "fixture.log")
    if os.path.exists(path):
        os.remove(path)
    os.environ["HELMVIEW_FIXTURE_LOG"] = "Z:" + path.replace("/", "\\")
    return path


def installing_screen(h):
    body = "Please wait while Helmview is installed on your computer."
    h.driver.wait_until(lambda: h.child(BODY)["text"] == body, 60, what="installing screen")
    children = h.children()
    expect_visible(children, {INSTALL: False, CANCEL: True, LABEL: False, COMBO: False, PROGRESS: True,
                              LINK: True, LAUNCH: False}, "installing")
    return children


def test_replacing_an_old_version_installs_the_new_one():
    wt.clear_records()
    wt.set_is_installed(3)
    remove_install_dir()
    fixture_log_env()
    with Server("replace") as server, host("--installed", OLDER, "--offered", OFFERED,
                                           "--server", server.base_url) as h:
        h.driver.click("index:%d" % INSTALL)
        # The old version stays until the new one is ready: Install goes straight to the installing screen.
        installing_screen(h)
        finished = "Helmview version 2.2.0.1 was successfully installed."
        h.driver.wait_until(lambda: h.child(BODY)["text"] == finished, 240, interval_s=0.5, what="finish screen")
        expect_equal(h.child(LAUNCH)["visible"], True, "launch box after the install")
        # Untick the box: Finish then starts nothing.
        h.driver.check("index:%d" % LAUNCH, False)
        h.driver.click("index:%d" % INSTALL)
        expect_equal(h.wait_exit(), 0, "Finish ends the program with exit code")
    expect_equal(wt.read_dword(wt.SETTINGS_KEY, "IsInstalled"), 3, "installation recorded as complete")


# -- display scales ------------------------------------------------------------------------------------

SHOWN_ON_WELCOME = (BODY, LABEL, COMBO, VERSION, LINK, CANCEL, INSTALL, INSTALLER_VERSION)


def use_scaled_prefix(dpi):
    """Wine takes the system DPI (LogPixels) when its server starts: the scaled cases run in a prefix of their
    own, whose server is restarted for every DPI, so no other test's programs are disturbed."""
    prefix = os.path.join(os.path.dirname(os.path.abspath(config.screenshots)), "wine-prefix-dpi")
    os.environ["WINEPREFIX"] = os.environ["HELM_WINEPREFIX"] = prefix
    quiet = dict(stdin=subprocess.DEVNULL, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
    setup = 'source "$0/scripts/wine-env" && helm_ensure_prefix'
    subprocess.run(["bash", "-c", setup, config.source], check=True, **quiet)
    wt.run_windows(["reg", "add", r"HKCU\Control Panel\Desktop", "/v", "LogPixels", "/t", "REG_DWORD", "/d",
                    str(dpi), "/f"])
    subprocess.run(["wineserver", "-k"], **quiet)
    subprocess.run(["wineserver", "-w"], **quiet)
    subprocess.run(["bash", "-c", 'source "$0/scripts/wine-env" && helm_start_server', config.source],
                   check=True, **quiet)


def edges(c):
    return {"left": c["x"], "top": c["y"], "right": c["x"] + c["w"], "bottom": c["y"] + c["h"]}


def test_layout_follows_the_display_scale():
    """At LogPixels 96, 120, 144 and 192 the window and every control are their 96-DPI places scaled (within 1
    pixel), the controls shown neither overlap nor leave the client area, and the logo and the separator are
    drawn at their scaled places; a screenshot per scale."""
    design = None
    try:
        for dpi in (96, 120, 144, 192):
            use_scaled_prefix(dpi)
            wt.clear_records()
            scale = dpi / 96
            with host("--offered", OFFERED) as h:
                what = "at %d DPI" % dpi
                picture = h.screenshot("welcome_%d_dpi" % dpi)
                w, children = h.window, h.children()
                for key, size in (("width", 490), ("height", 357)):
                    expect(abs(w[key] - size * scale) <= 1, "%s: window %s %d" % (what, key, w[key]))
                design = design or children
                for index, c in enumerate(children):
                    # The version line and the link are narrowed to their texts, the closed list's height
                    # follows its font: only their anchored edges scale.
                    skip = {VERSION: ("right",), LINK: ("left",), COMBO: ("bottom",)}.get(index, ())
                    for edge, value in edges(c).items():
                        if edge not in skip:
                            expect(abs(value - edges(design[index])[edge] * scale) <= 1,
                                   "%s: control %d %s at %d" % (what, index, edge, value))
                shown = [children[i] for i in SHOWN_ON_WELCOME]
                expect([c["visible"] for c in shown] == [True] * len(shown), what + ": the welcome screen")
                for c in shown:
                    e = edges(c)
                    expect(e["left"] >= 0 and e["top"] >= 0 and e["right"] <= w["client"]["w"] and
                           e["bottom"] <= w["client"]["h"], "%s: control %d inside the client area" % (what, c["index"]))
                    for o in map(edges, shown):
                        expect(o == e or o["right"] <= e["left"] or e["right"] <= o["left"] or
                               o["bottom"] <= e["top"] or e["bottom"] <= o["top"],
                               "%s: control %d overlaps another" % (what, c["index"]))
                row = round(240 * scale)
                expect(all(picture.rgb(x, row) == (0, 0, 0) for x in range(0, round(475 * scale))),
                       what + ": the separator runs across")
                logo = [round(v * scale) for v in (15, 270, 161, 292)]
                marked = picture.count(*logo, lambda c: not wt.is_white(c))
                expect(marked > (logo[2] - logo[0]) * (logo[3] - logo[1]) // 8,
                       "%s: the logo fills its place (%d pixels)" % (what, marked))
                expect_equal(picture.count(logo[2] + 1, logo[1], logo[2] + 60, logo[3], lambda c: not wt.is_white(c)),
                             0, what + ": nothing right of the logo")
                expect_ended_by(h, CANCEL, "Cancel " + what)
    finally:
        subprocess.run(["wineserver", "-k"], stdin=subprocess.DEVNULL, stdout=subprocess.DEVNULL,
                       stderr=subprocess.DEVNULL)


def main():
    global config
    parser = argparse.ArgumentParser()
    parser.add_argument("--uidriver", required=True)
    parser.add_argument("--uidriver-py", required=True)
    parser.add_argument("--host", required=True)
    parser.add_argument("--host-nologo", required=True)
    parser.add_argument("--source", required=True)
    parser.add_argument("--screenshots", required=True)
    parser.add_argument("--seven-zip", required=True)
    parser.add_argument("--fixtures", required=True)
    parser.add_argument("--work", required=True)
    parser.add_argument("case")
    config = parser.parse_args()
    wt.link_cjk_font()
    return wt.run_case({k: v for k, v in globals().items() if k.startswith("test_")}, [config.case])


if __name__ == "__main__":
    sys.exit(main())
