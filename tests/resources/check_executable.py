#!/usr/bin/env python3
"""Checks the installer's executable form from the file alone, with nothing run:
PE32 for i386 (or PE32+ for x86-64, the 64-bit test build), GUI subsystem, only
imports of DLLs that Windows itself ships (no MinGW runtime DLLs), and the
resources the installer looks up: the manifest, icon group 100, string 109, the
logo, the archive tool for the same machine, seventeen translations and the
version information.

    check_executable.py EXE OBJDUMP [--machine i386|x86-64] [--resources RESOURCE_IDS_H]
"""
import argparse
import re
import struct
import subprocess
import sys
from pathlib import Path

sys.path.insert(0, str(Path(__file__).resolve().parents[2] / "tools" / "pe"))
from pe_file import Pe  # noqa: E402

# DLLs every supported Windows has in its System folder.
SYSTEM_DLLS = {
    "kernel32.dll", "user32.dll", "gdi32.dll", "advapi32.dll", "shell32.dll", "ole32.dll",
    "oleaut32.dll", "comctl32.dll", "shlwapi.dll", "msvcrt.dll", "gdiplus.dll", "version.dll",
}
RUNTIME_DLLS = re.compile(r"libstdc\+\+|libgcc|libwinpthread|mingw", re.I)
MACHINES = {"i386": (0x14C, 0x10B, "PE32"), "x86-64": (0x8664, 0x20B, "PE32+")}
RT_ICON, RT_STRING, RT_GROUP_ICON, RT_VERSION, RT_MANIFEST = 3, 6, 14, 16, 24


def resource_ids(header):
    with open(header) as f:
        return {m[0]: int(m[1]) for m in re.findall(r"#define\s+(\w+)\s+(\d+)", f.read())}


def check_resources(pe, ids, machine, failures):
    found = pe.resources()

    def need(rtype, name, what):
        data = found.get((rtype, name))
        if not data:
            failures.append(f"resource missing: {what}")
        return data or b""

    manifest = need(RT_MANIFEST, 1, "manifest 1")
    if manifest and b'level="asInvoker"' not in manifest:
        failures.append("the manifest does not ask for asInvoker")
    group = need(RT_GROUP_ICON, ids["IDI_INSTALLER"], "icon group")
    if group:
        count = struct.unpack_from("<H", group, 4)[0]
        for i in range(count):
            frame = struct.unpack_from("<H", group, 6 + 14 * i + 12)[0]
            need(RT_ICON, frame, f"icon frame {frame}")
    block = need(RT_STRING, ids["IDS_WINDOW_CLASS"] // 16 + 1, "the string table holding string 109")
    if block and "TESTSETUP".encode("utf-16-le") not in block:
        failures.append("string 109 is not TESTSETUP")
    logo = need(ids["RT_LOGO"], ids["ID_LOGO"], "logo")
    if logo and not logo.startswith(b"\x89PNG"):
        failures.append("the logo is not a PNG")
    tool = need(ids["RT_ARCHIVE_TOOL"], ids["ID_ARCHIVE_TOOL"], "archive tool")
    if tool:
        tool_machine = Pe(tool).machine
        if tool_machine != MACHINES[machine][0]:
            failures.append(f"the archive tool is for machine 0x{tool_machine:x}, not {machine}")
    for i in range(ids["ID_FIRST_TRANSLATION"], ids["ID_LAST_TRANSLATION"] + 1):
        need(ids["RT_TRANSLATION"], i, f"translation {i}")
    version = need(RT_VERSION, 1, "version information")
    if version and "Helmview Installer".encode("utf-16-le") not in version:
        failures.append("the version information does not name the product")


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("exe")
    parser.add_argument("objdump")
    parser.add_argument("--machine", choices=sorted(MACHINES), default="i386")
    parser.add_argument("--resources", help="resource_ids.h: also check the resources")
    args = parser.parse_args()
    with open(args.exe, "rb") as f:
        data = f.read()
    failures = []
    try:
        pe = Pe(data)
    except (ValueError, struct.error) as error:
        print("FAIL:", error)
        return 1
    machine, magic, form = MACHINES[args.machine]
    if pe.machine != machine:
        failures.append(f"machine 0x{pe.machine:x} is not {args.machine}")
    if pe.magic != magic:
        failures.append(f"optional header magic 0x{pe.magic:x} is not {form}")
    if pe.subsystem != 2:
        failures.append(f"subsystem {pe.subsystem} is not the Windows GUI")
    dump = subprocess.run([args.objdump, "-p", args.exe], capture_output=True, text=True, check=True).stdout
    imports = sorted({m.lower() for m in re.findall(r"DLL Name: (\S+)", dump)})
    for dll in imports:
        if RUNTIME_DLLS.search(dll) or dll not in SYSTEM_DLLS:
            failures.append(f"imports {dll}, which Windows does not ship")
    if args.resources:
        check_resources(pe, resource_ids(args.resources), args.machine, failures)
    print(f"{args.exe}: {form} {args.machine}; imports:", ", ".join(imports))
    for f in failures:
        print("FAIL:", f)
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())
