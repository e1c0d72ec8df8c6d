#!/usr/bin/env python3
"""The installer as scripts/release publishes it, signed by a throwaway authority's certificate, started the way
winget starts it (the manifest's own silent and log switches) against the server folder the release wrote, served
by the test server: it installs, the published package passes its SHA-256 check, and the uninstall entry is the one
the manifest names."""

import hashlib
import json
import subprocess
import sys
from pathlib import Path

import yaml

HERE = Path(__file__).resolve()
sys.path.insert(0, str(HERE.parents[2] / "tools"))
sys.path.insert(0, str(HERE.parents[1] / "e2e"))
from harness import installer as h  # noqa: E402
from harness import release as r  # noqa: E402
from harness.installer import OFFERED, UNINSTALL_KEY, expect  # noqa: E402
import cases  # noqa: E402  (the shared checks of the interactive cases)


def run_and_wait(c, command_line):
    """The whole exit code of a command line started as Windows starts it (see tests/e2e/unattended.py)."""
    env = h.wine_env(c.env())
    env["RUN_AND_WAIT_COMMAND_LINE"] = command_line
    result = subprocess.run(["wine", str(h.FIXTURES / "run_and_wait.exe")], cwd=c.work, env=env,
                            stdin=subprocess.DEVNULL, stdout=subprocess.PIPE, stderr=subprocess.DEVNULL, timeout=300)
    lines = [l for l in result.stdout.decode("utf-8", "replace").splitlines() if l.startswith("{")]
    return json.loads(lines[-1]).get("exit_code") if lines else None


def signed_release(c):
    signing = r.make_code_signing(c.work / "signing", "unused")
    out = c.work / "release"
    done = r.release("--app", r.stage_application(c.work / "application", h.FIXTURES), "--version", OFFERED,
                     "--url", "https://downloads.norvale.example/HelmviewSetup.exe", "--out", out,
                     "--cert", signing["cert"], "--key", signing["key"], "--installer", h.EXE)
    expect(done.returncode == 0, f"scripts/release signs and publishes ({done.stderr.strip()})")
    exe = out / "HelmviewSetup.exe"
    expect(exe.read_bytes() != h.EXE.read_bytes(), "the published installer is the signed one, not the build")
    winget = out / "winget" / "manifests" / "n" / "Norvale" / "Helmview" / OFFERED
    manifest = yaml.safe_load((winget / "Norvale.Helmview.installer.yaml").read_text(encoding="utf-8"))

    server = h.start_server(out / "server")
    c.servers.append(server)
    switches = manifest["InstallerSwitches"]
    log = c.work / "winget.log"
    line = f'"{h.windows_path(exe)}" -test {server.base_url} {switches["Silent"]} ' + \
        switches["Log"].replace("<LOGPATH>", h.windows_path(log))
    expect(run_and_wait(c, line) == 0, f"{line} installs and ends with 0")
    cases.expect_installed(exe=exe)
    cases.expect_prerequisites_ran(c)

    package = out / "server" / "zqHelmview" / "application" / OFFERED / "Helmview.zip"
    text = log.read_text(encoding="utf-8")
    expect(f"Helmview.zip verified, SHA-256 {hashlib.sha256(package.read_bytes()).hexdigest()}" in text,
           "the log names the published package verified against the manifest's SHA-256")
    (entry,) = manifest["AppsAndFeaturesEntries"]
    expect(UNINSTALL_KEY.endswith("\\" + entry["ProductCode"]), f"the uninstall key is {entry['ProductCode']}")
    found = h.reg_values(UNINSTALL_KEY) or {}
    for name in ("DisplayName", "Publisher", "DisplayVersion"):
        expect(found.get(name) == ("REG_SZ", entry[name]),
               f"the uninstall entry's {name} is the manifest's {entry[name]!r} (found {found.get(name)!r})")


def main():
    return h.run_case("signed_release", signed_release)


if __name__ == "__main__":
    sys.exit(main())
