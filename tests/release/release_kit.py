#!/usr/bin/env python3
"""scripts/release on the stand-in application with a throwaway certificate authority: the signature, the server
folder and the winget manifests it writes, the README's exit codes against the list they come from, and the
packages and versions it must refuse without writing anything."""

import hashlib
import io
import os
import re
import shutil
import subprocess
import sys
import zipfile
from pathlib import Path

import yaml

sys.path.insert(0, str(Path(__file__).resolve().parents[2] / "tools"))
sys.path.insert(0, str(Path(__file__).resolve().parents[2] / "tools" / "release"))
from harness import release as r  # noqa: E402
import release  # noqa: E402
from harness.checks import expect  # noqa: E402

BUILD = Path(os.environ["HELM_BUILD_DIR"]).resolve()
WORK = BUILD / "release-kit"
VERSION = "2.2.0.1"
URL = "https://downloads.norvale.example/releases/HelmviewSetup.exe"
PASSWORD = "throwaway pfx password"


def verify(exe, ca, *extra):
    result = subprocess.run(["osslsigncode", "verify", "-CAfile", str(ca), *extra, "-in", str(exe)],
                            stdin=subprocess.DEVNULL, capture_output=True)
    return result.returncode == 0


def sha256(path):
    return hashlib.sha256(Path(path).read_bytes()).hexdigest()


def readme_exit_codes():
    text = (r.ROOT / "README.md").read_text(encoding="utf-8")
    table = text.split("Exit codes in silent mode", 1)[1].split("\n\n", 2)[1]
    return [tuple(cell.strip() for cell in line.strip("|").split("|")) for line in table.splitlines()[2:]]


def signed_release(signing, app):
    out = WORK / "out"
    notes = WORK / "notes.pdf"
    notes.write_bytes(b"%PDF-1.4\n% notes\n")
    done = r.release("--app", app, "--version", VERSION, "--url", URL, "--notes", notes, "--out", out,
                     "--pfx", signing["pfx"], "--installer", BUILD / "HelmviewSetup.exe",
                     env={"HELM_SIGN_PASSWORD": PASSWORD})
    expect(done.returncode == 0, f"the release is made ({done.stderr.strip()})")
    exe = out / "HelmviewSetup.exe"

    expect(verify(exe, signing["ca"]), "osslsigncode accepts the signature against the throwaway authority")
    expect(verify(exe, signing["ca"], "-require-leaf-hash", "sha256:" + signing["leaf_sha256"]),
           "and with the signing certificate pinned")
    expect(not verify(exe, signing["ca"], "-require-leaf-hash", "sha256:" + "0" * 64), "but not another one")
    tampered = WORK / "tampered.exe"
    data = bytearray(exe.read_bytes())
    data[len(data) // 3] ^= 0x01
    tampered.write_bytes(bytes(data))
    expect(not verify(tampered, signing["ca"]), "one changed byte breaks the signature")
    # The aim is the shipped 32-bit installer's; the 64-bit test build has none.
    if os.environ["HELM_TARGET_PROCESSOR"] == "i686":
        expect(exe.stat().st_size <= 1_500_000, f"the signed installer keeps its size aim ({exe.stat().st_size})")

    product = out / "server" / "zqHelmview"
    package = product / "application" / VERSION / "Helmview.zip"
    manifest = (product / "config" / "lista_updater.xml").read_text()
    expect(re.search(rf"<version>{re.escape(VERSION)}</version>", manifest) and
           re.search(r"<sha256>([0-9a-f]{64})</sha256>", manifest).group(1) == sha256(package),
           f"lista_updater.xml offers the version with the package's SHA-256 ({manifest})")
    with zipfile.ZipFile(package) as archive:
        members = sorted(i.filename for i in archive.infolist() if not i.is_dir())
    expect(members == r.make_packages.package_members(), f"the package holds the application's files ({members})")
    expect((product / "NorvaleHelmviewReleaseNotes.pdf").read_bytes() == notes.read_bytes(), "the release notes")

    winget = out / "winget" / "manifests" / "n" / "Norvale" / "Helmview" / VERSION
    docs = {p.name: yaml.safe_load(p.read_text(encoding="utf-8")) for p in winget.iterdir()}
    installer = docs["Norvale.Helmview.installer.yaml"]
    want = {
        "PackageIdentifier": "Norvale.Helmview", "PackageVersion": VERSION, "InstallerType": "exe",
        "Scope": "machine", "ElevationRequirement": "elevatesSelf", "UpgradeBehavior": "install",
        "InstallerSwitches": {"Silent": "-silent", "SilentWithProgress": "-silent", "Log": '-log "<LOGPATH>"'},
        "AppsAndFeaturesEntries": [{"DisplayName": "Helmview", "Publisher": "Norvale Corporation",
                                    "DisplayVersion": VERSION, "ProductCode": "Norvale SSD Helmview"}],
        "ManifestType": "installer",
    }
    for key, value in want.items():
        expect(installer.get(key) == value, f"installer manifest {key}: {installer.get(key)!r}")
    codes = {c["InstallerReturnCode"]: c["ReturnResponse"] for c in installer["ExpectedReturnCodes"]}
    expect(codes == {1602: "cancelledByUser", 1618: "installInProgress", 1638: "downgrade",
                     3010: "rebootRequiredToFinish"}, f"winget is told the exit codes ({codes})")
    expect([(i["Architecture"], i["InstallerUrl"], i["InstallerSha256"].lower()) for i in installer["Installers"]]
           == [("x86", URL, sha256(exe))], f"the installer's address and real hash ({installer['Installers']})")
    for name, kind in (("Norvale.Helmview.yaml", "version"), ("Norvale.Helmview.locale.en-US.yaml", "defaultLocale")):
        doc = docs[name]
        expect(doc["ManifestType"] == kind and doc["PackageVersion"] == VERSION and
               tuple(map(int, doc["ManifestVersion"].split("."))) >= (1, 9), f"{name}: {doc}")
    expect(docs["Norvale.Helmview.locale.en-US.yaml"]["Publisher"] == "Norvale Corporation", "locale publisher")

    listed = [line.split("  ", 1) for line in done.stdout.splitlines() if re.match("[0-9a-f]{64}  ", line)]
    printed = {path: digest for digest, path in listed}
    files = {p.relative_to(out).as_posix(): sha256(p) for p in out.rglob("*") if p.is_file()}
    expect(printed == files and len(files) == 7, f"every file written is printed with its SHA-256 ({printed})")
    return out


def unsigned_release(package):
    out = WORK / "unsigned"
    done = r.release("--app", package, "--version", VERSION, "--url", URL, "--out", out,
                     "--installer", BUILD / "HelmviewSetup.exe")
    expect(done.returncode == 0 and "NOT signed" in done.stdout, f"without a certificate it says so ({done.stdout})")
    expect((out / "HelmviewSetup.exe").read_bytes() == (BUILD / "HelmviewSetup.exe").read_bytes() and
           (out / "server/zqHelmview/application" / VERSION / "Helmview.zip").read_bytes() == package.read_bytes(),
           "and publishes the installer as built and a ready package as given")


def zip_of(folder, extra=None, leave_out=()):
    buffer = io.BytesIO()
    with zipfile.ZipFile(buffer, "w") as archive:
        for path in sorted(folder.rglob("*")):
            if path.is_file() and path.name not in leave_out:
                archive.write(path, path.relative_to(folder).as_posix())
        if extra:
            archive.writestr(extra, b"planted")
    target = WORK / f"bad-{len(list(WORK.glob('bad-*')))}.zip"
    target.write_bytes(buffer.getvalue())
    return target


def refusals(app):
    table = [
        (zip_of(app, extra="../planted.exe"), VERSION, "would unpack outside the install folder"),
        (zip_of(app, extra="data\\..\\..\\planted.exe"), VERSION, "would unpack outside the install folder"),
        (zip_of(app, extra="/windows/planted.exe"), VERSION, "has an absolute path"),
        (zip_of(app, leave_out=("Helmview.exe",)), VERSION, "holds no application"),
        (zip_of(app, leave_out=("morrow_hal_setup.exe",)), VERSION, "holds no morrow_hal_setup.exe"),
        (app, "2.2.0", "not four dot-separated numbers"),
        (app, "2.2.0.1-beta", "not four dot-separated numbers"),
        (app, "2.02.0.1", "not four dot-separated numbers"),
    ]
    for given, version, reason in table:
        out = WORK / "refused"
        done = r.release("--app", given, "--version", version, "--url", URL, "--out", out,
                         "--installer", BUILD / "HelmviewSetup.exe")
        expect(done.returncode == 1 and reason in done.stderr and "nothing was written" in done.stderr,
               f"{given.name} as {version} is refused: {reason} ({done.stderr.strip()})")
        expect(not out.exists(), f"and nothing is written for {given.name}")


def main():
    shutil.rmtree(WORK, ignore_errors=True)
    WORK.mkdir(parents=True)
    expect(readme_exit_codes() == [(str(c["code"]), c["meaning"]) for c in release.exit_codes()],
           f"the README's exit-code table is the list the manifest is made from ({readme_exit_codes()})")
    app = r.stage_application(WORK / "application", BUILD / "tools" / "fixtures")
    out = signed_release(r.make_code_signing(WORK / "signing", PASSWORD), app)
    unsigned_release(out / "server/zqHelmview/application" / VERSION / "Helmview.zip")
    refusals(app)
    print("PASS release kit")
    return 0


if __name__ == "__main__":
    sys.exit(main())
