#!/usr/bin/env python3
"""Shows the installer at work against a local download server (run through scripts/demo).

With a display ($DISPLAY) the installer window comes up for you to click through; afterwards the demo prints what
was installed and, when you answer yes, starts the uninstall from the system's program list. Without a display (or
with --headless) it runs a private Xvfb and drives a whole install and uninstall itself, saving a screenshot of
every screen to build/demo/.

The demo works in its own Wine prefix (HELM_WINEPREFIX, build/demo-prefix by default) and starts from a machine
without any installation.
"""

import argparse
import os
import sys
import time
from pathlib import Path

ROOT = Path(__file__).resolve().parents[2]
sys.path.insert(0, str(ROOT / "tools"))
from harness import installer as h  # noqa: E402

DEMO = h.BUILD / "demo"


def show_installation(title):
    print(f"\n== {title}")
    folder = h.install_dir()
    files = h.folder_files(folder)
    print(f"Install folder {h.INSTALL_DIR_WIN}" + ("" if folder.is_dir() else "  (absent)"))
    for name in files:
        print(f"    {name:45} {(folder / name).stat().st_size:>10} bytes")
    if folder.is_dir() and not files:
        print("    (empty)")
    print("Shortcuts")
    for link in (h.desktop_shortcut(), h.start_menu_shortcut()):
        where = h.windows_path(link)
        if link.is_file():
            info = h.read_shortcut(link)
            print(f"    {where}\n        -> {info['target']}  (in {info['working_dir']}, icon {info['icon']})")
        else:
            print(f"    {where}  (absent)")
    for key in (h.SETTINGS_KEY, h.UNINSTALL_KEY):
        values = h.reg_values(key)
        print(f"Registry {key} (32-bit view)" + ("" if values is not None else "  (absent)"))
        for name, (kind, data) in sorted((values or {}).items()):
            shown = f"{data} (0x{data:x})" if kind == "REG_DWORD" else repr(data)
            print(f"    {name:16} {kind:10} {shown}")


def headless(case, server):
    print(f"Driving the installer against {server.base_url} on display {os.environ['DISPLAY']}")
    inst = case.start(server)
    inst.wait_screen("welcome")
    inst.click(h.INSTALL_BUTTON)
    inst.wait_screen("installing", timeout=60)
    inst.wait_screen("finish_installed", timeout=300)
    print("Installed; Finish launches the application.")
    inst.click(h.INSTALL_BUTTON)
    inst.wait_exit(30)
    window = case.driver.find(h.APP_WINDOW_CLASS, visible=True, timeout_ms=60000)
    case.shot_count += 1
    case.driver.screenshot(str(case.shots / f"{case.shot_count:02d}-application.png"), h.APP_WINDOW_CLASS,
                           pid=window["pid"])
    case.driver.close(h.APP_WINDOW_CLASS, pid=window["pid"])
    show_installation("What the install left")

    print("\nUninstalling through the uninstall entry (as the system's program list does)")
    case.installed = h.OFFERED
    un = h.Installer(case, command=["wine", "uninstaller", "--remove", "Norvale SSD Helmview"], exe=h.EXE,
                     extra_env=case.env())
    un.wait_screen("uninstall_welcome")
    un.click(h.INSTALL_BUTTON)
    un.wait_screen("uninstalling", timeout=60)
    un.wait_screen("finish_uninstalled", timeout=300)
    un.click(h.INSTALL_BUTTON)
    un.wait_exit(30)
    show_installation("What the uninstall left")


def interactive(case, server):
    print(f"The installer window is on display {os.environ['DISPLAY']}; server {server.base_url}")
    print("Click through it; the demo goes on when the installer has ended.")
    inst = h.Installer(case, ["-test", server.base_url], extra_env=case.env(), expect_window=False)
    while inst.running():
        time.sleep(0.5)
    show_installation("After the installer")
    if h.reg_values(h.UNINSTALL_KEY) is not None and sys.stdin.isatty():
        if input("\nRun the uninstall entry now? [y/N] ").strip().lower().startswith("y"):
            un = h.Installer(case, command=["wine", "uninstaller", "--remove", "Norvale SSD Helmview"], exe=h.EXE,
                             extra_env=case.env(), expect_window=False)
            while un.running():
                time.sleep(0.5)
            show_installation("After the uninstaller")


def main():
    parser = argparse.ArgumentParser(description=__doc__, formatter_class=argparse.RawDescriptionHelpFormatter)
    parser.add_argument("--headless", action="store_true", help="drive the installer on a private Xvfb")
    args = parser.parse_args()

    with h.Display(private=args.headless) as display:
        case = h.Case("demo", work=DEMO / "work", shots=DEMO)
        try:
            h.reset_machine()
            package = h.ensure_package()
            server = case.serve()
            print(f"Demo server on {server.base_url} serving {case.work / 'server'}")
            print(f"    zqHelmview/config/lista_updater.xml  offers {h.OFFERED}")
            print(f"    zqHelmview/application/{h.OFFERED}/Helmview.zip  ({package.stat().st_size} bytes)")
            if display.private:
                headless(case, server)
                print(f"\nScreenshots: {', '.join(p.name for p in sorted(case.shots.glob('*.png')))}")
                print(f"in {case.shots}")
            else:
                interactive(case, server)
        finally:
            case.close()
            h.stop_wine_server()
    return 0


if __name__ == "__main__":
    sys.exit(main())
