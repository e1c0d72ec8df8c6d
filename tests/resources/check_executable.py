#!/usr/bin/env python3
"""Checks the installer's executable form: PE32, GUI subsystem, i386, and only
imports of DLLs that Windows itself ships (no MinGW runtime DLLs)."""
import re
import subprocess
import sys

# DLLs every supported Windows has in its System folder.
SYSTEM_DLLS = {
    "kernel32.dll", "user32.dll", "gdi32.dll", "advapi32.dll", "shell32.dll", "ole32.dll",
    "oleaut32.dll", "comctl32.dll", "shlwapi.dll", "msvcrt.dll", "gdiplus.dll", "version.dll",
}
RUNTIME_DLLS = re.compile(r"libstdc\+\+|libgcc|libwinpthread|mingw", re.I)


def main():
    exe, objdump = sys.argv[1], sys.argv[2]
    with open(exe, "rb") as f:
        data = f.read()
    failures = []
    pe = int.from_bytes(data[0x3C:0x40], "little")
    if data[:2] != b"MZ" or data[pe:pe + 4] != b"PE\0\0":
        failures.append("not a PE file")
    machine = int.from_bytes(data[pe + 4:pe + 6], "little")
    optional = pe + 24
    magic = int.from_bytes(data[optional:optional + 2], "little")
    subsystem = int.from_bytes(data[optional + 68:optional + 70], "little")
    if machine != 0x14C:
        failures.append(f"machine 0x{machine:x} is not i386")
    if magic != 0x10B:
        failures.append(f"optional header magic 0x{magic:x} is not PE32")
    if subsystem != 2:
        failures.append(f"subsystem {subsystem} is not the Windows GUI")
    dump = subprocess.run([objdump, "-p", exe], capture_output=True, text=True, check=True).stdout
    imports = sorted({m.lower() for m in re.findall(r"DLL Name: (\S+)", dump)})
    for dll in imports:
        if RUNTIME_DLLS.search(dll) or dll not in SYSTEM_DLLS:
            failures.append(f"imports {dll}, which Windows does not ship")
    print("imports:", ", ".join(imports))
    for f in failures:
        print("FAIL:", f)
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())
