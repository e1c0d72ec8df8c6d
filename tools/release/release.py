#!/usr/bin/env python3
"""Makes a release from one command: the signed installer, the download server's folder and a winget manifest set.

    scripts/release --app <folder | Helmview.zip> --version 2.2.0.1 --url https://host/HelmviewSetup.exe
                    [--notes notes.pdf] [--out folder]
                    [--cert cert.pem --key key.pem | --pfx bundle.pfx] [--timestamp http://tsa.example/]
                    [--installer HelmviewSetup.exe]

A password for the key or the PFX is read from the environment variable HELM_SIGN_PASSWORD, never from the
command line. Without a certificate the installer is published unsigned, and said so. Everything is checked
before anything is written; the output folder (default build/release/<version>) is replaced as a whole.
"""

import argparse
import hashlib
import io
import json
import os
import re
import shutil
import stat
import subprocess
import sys
import tempfile
import zipfile
from pathlib import Path

ROOT = Path(__file__).resolve().parents[2]
EXIT_CODES = Path(__file__).resolve().parent / "exit_codes.json"
PASSWORD_VARIABLE = "HELM_SIGN_PASSWORD"

# What the installer expects of the server and the package (profile/ProductProfile.cpp).
APPLICATION_NAMES = ("Helmview.exe", "NorvaleSSDHelmview.exe")
PREREQUISITE_NAMES = ("VC_redist.x86.exe", "fenwick_hal_setup.exe", "morrow_hal_setup.exe")
PACKAGE_NAME = "Helmview.zip"
RELEASE_NOTES_NAME = "NorvaleHelmviewReleaseNotes.pdf"
INSTALLER_NAME = "HelmviewSetup.exe"

# The uninstall entry as the installer writes it (install/Installer.cpp, settings/): winget matches an installed
# program to the package by these, so they must be the very values.
UNINSTALL_KEY_NAME = "Norvale SSD Helmview"
DISPLAY_NAME = "Helmview"
PUBLISHER = "Norvale Corporation"

PACKAGE_IDENTIFIER = "Norvale.Helmview"
MANIFEST_VERSION = "1.9.0"
LOCALE = "en-US"
# The size the installer aims to stay within, in decimal megabytes as download sizes are told.
SIZE_AIM = 1_500_000

# The installer reads each number as a signed 32-bit value and, when the texts differ, compares numbers: "2.02.0.1"
# would count as newer than the installed "2.2.0.1" and be offered again and again.
VERSION_PART = re.compile(r"0|[1-9][0-9]{0,9}")
VERSION_PART_MAX = 2**31 - 1


class Refused(Exception):
    """A reason not to publish; nothing has been written when it is raised."""


def exit_codes():
    return json.loads(EXIT_CODES.read_text(encoding="utf-8"))["codes"]


# ----------------------------------------------------------------------------------------------------------------
# The package


def zip_folder(folder):
    """The folder's files as a zip archive (bytes), names relative to the folder, in a stable order."""
    buffer = io.BytesIO()
    with zipfile.ZipFile(buffer, "w", zipfile.ZIP_DEFLATED, strict_timestamps=False) as archive:
        for path in sorted(folder.rglob("*")):
            relative = path.relative_to(folder).as_posix()
            mode = path.lstat().st_mode
            if stat.S_ISDIR(mode):
                continue
            # A link could bring in anything from outside the folder.
            if not stat.S_ISREG(mode):
                raise Refused(f"{path} is not a plain file (links and devices are not packed)")
            archive.write(path, relative)
    return buffer.getvalue()


def package_problems(data):
    """Why the archive cannot be published (an empty list when it can)."""
    try:
        archive = zipfile.ZipFile(io.BytesIO(data))
    except zipfile.BadZipFile:
        return ["it is not a zip archive"]
    problems = []
    top_level = set()
    with archive:
        for info in archive.infolist():
            # The archive tool on Windows takes either slash as a separator.
            name = info.filename.replace("\\", "/")
            parts = name.split("/")
            if name.startswith("/") or re.match(r"[A-Za-z]:", name):
                problems.append(f"entry {info.filename!r} has an absolute path")
            elif ".." in parts:
                problems.append(f"entry {info.filename!r} would unpack outside the install folder")
            elif stat.S_ISLNK(info.external_attr >> 16):
                problems.append(f"entry {info.filename!r} is a symbolic link")
            elif info.flag_bits & 0x1:
                problems.append(f"entry {info.filename!r} is encrypted")
            elif len(parts) == 1 and not info.is_dir():
                top_level.add(name.lower())
        if not problems:
            try:
                broken = archive.testzip()
            except (zipfile.BadZipFile, NotImplementedError, OSError) as error:
                broken = str(error)
            if broken:
                problems.append(f"it is damaged ({broken})")
    if not any(n.lower() in top_level for n in APPLICATION_NAMES):
        problems.append("its top level holds no application (" + " or ".join(APPLICATION_NAMES) + ")")
    for name in PREREQUISITE_NAMES:
        if name.lower() not in top_level:
            problems.append(f"its top level holds no {name}")
    return problems


def read_package(app):
    if app.is_dir():
        data = zip_folder(app)
    elif app.is_file():
        data = app.read_bytes()
    else:
        raise Refused(f"{app} is neither a folder nor a file")
    problems = package_problems(data)
    if problems:
        raise Refused(f"the package {app} cannot be published:\n" + "\n".join("  - " + p for p in problems))
    return data


# ----------------------------------------------------------------------------------------------------------------
# The installer


def build_installer():
    subprocess.run([str(ROOT / "scripts" / "setup")], check=True, stdin=subprocess.DEVNULL)
    subprocess.run([str(ROOT / "scripts" / "build"), "--target", "HelmviewSetup"], check=True,
                   stdin=subprocess.DEVNULL)
    return ROOT / "build" / INSTALLER_NAME


def sign(installer, out, signing, timestamp, work):
    """Signs installer into out with Authenticode (SHA-256)."""
    if shutil.which("osslsigncode") is None:
        raise Refused("osslsigncode is missing (scripts/setup installs it)")
    command = ["osslsigncode", "sign", "-h", "sha256", "-n", "Helmview Installer"]
    if "pfx" in signing:
        command += ["-pkcs12", str(signing["pfx"])]
    else:
        command += ["-certs", str(signing["cert"]), "-key", str(signing["key"])]
    password = os.environ.get(PASSWORD_VARIABLE)
    if password is not None:
        # From a file only this user can read: an argument would show in every process listing.
        secret = work / "password"
        secret.touch(mode=0o600)
        secret.write_text(password, encoding="utf-8")
        command += ["-readpass", str(secret)]
    if timestamp:
        command += ["-ts", timestamp]
    command += ["-in", str(installer), "-out", str(out)]
    result = subprocess.run(command, stdin=subprocess.DEVNULL, capture_output=True, text=True)
    if result.returncode != 0 or not out.is_file():
        raise Refused("signing failed:\n" + (result.stdout + result.stderr).strip())


# ----------------------------------------------------------------------------------------------------------------
# The winget manifest set


_PLAIN = re.compile(r"[A-Za-z][A-Za-z0-9 .,()/+_-]*|[0-9]+(\.[0-9]+){2,}")
_YAML_WORDS = {"true", "false", "yes", "no", "on", "off", "null", "y", "n", "~"}


def yaml_scalar(value):
    if isinstance(value, int):
        return str(value)
    text = str(value)
    # A colon only starts a mapping when a blank follows it (as in "https:" it does not).
    plain = _PLAIN.fullmatch(text.replace("://", "")) and text.lower() not in _YAML_WORDS and \
        not text.endswith(" ")
    return text if plain else "'" + text.replace("'", "''") + "'"


def yaml_lines(value, indent=""):
    """Block-style YAML of dicts, lists and scalars: the subset the manifests need."""
    lines = []
    if isinstance(value, dict):
        for key, item in value.items():
            if isinstance(item, (dict, list)):
                lines.append(f"{indent}{key}:")
                lines += yaml_lines(item, indent + "  ")
            else:
                lines.append(f"{indent}{key}: {yaml_scalar(item)}")
    else:
        for item in value:
            if isinstance(item, dict):
                inner = yaml_lines(item, indent + "  ")
                lines.append(f"{indent}- " + inner[0][len(indent) + 2:])
                lines += inner[1:]
            else:
                lines.append(f"{indent}- {yaml_scalar(item)}")
    return lines


def manifest_text(kind, body):
    header = f"# yaml-language-server: $schema=https://aka.ms/winget-manifest.{kind}.{MANIFEST_VERSION}.schema.json"
    body = dict(body, ManifestType=kind, ManifestVersion=MANIFEST_VERSION)
    return "\n".join([header, ""] + yaml_lines(body)) + "\n"


def winget_manifests(version, url, installer_sha256):
    """{file name: text} of the version, default-locale and installer manifests."""
    head = {"PackageIdentifier": PACKAGE_IDENTIFIER, "PackageVersion": version}
    installer = dict(head)
    installer.update({
        "InstallerType": "exe",
        "Scope": "machine",
        "InstallModes": ["interactive", "silent", "silentWithProgress"],
        "InstallerSwitches": {"Silent": "-silent", "SilentWithProgress": "-silent", "Log": '-log "<LOGPATH>"'},
        "ExpectedReturnCodes": [{"InstallerReturnCode": c["code"], "ReturnResponse": c["winget"]}
                                for c in exit_codes() if c.get("winget")],
        "ElevationRequirement": "elevatesSelf",
        "UpgradeBehavior": "install",
        "AppsAndFeaturesEntries": [{"DisplayName": DISPLAY_NAME, "Publisher": PUBLISHER, "DisplayVersion": version,
                                    "ProductCode": UNINSTALL_KEY_NAME}],
        "Installers": [{"Architecture": "x86", "InstallerUrl": url, "InstallerSha256": installer_sha256.upper()}],
    })
    locale = dict(head)
    locale.update({
        "PackageLocale": LOCALE,
        "Publisher": PUBLISHER,
        "PackageName": DISPLAY_NAME,
        "License": "Proprietary",
        "ShortDescription": "Drive-management application for Norvale SSDs",
    })
    version_manifest = dict(head, DefaultLocale=LOCALE)
    name = PACKAGE_IDENTIFIER
    return {
        f"{name}.yaml": manifest_text("version", version_manifest),
        f"{name}.locale.{LOCALE}.yaml": manifest_text("defaultLocale", locale),
        f"{name}.installer.yaml": manifest_text("installer", installer),
    }


def winget_folder(version):
    publisher, product = PACKAGE_IDENTIFIER.split(".", 1)
    return Path("winget", "manifests", publisher[0].lower(), publisher, product, version)


# ----------------------------------------------------------------------------------------------------------------
# The release


def sha256_of(path):
    digest = hashlib.sha256()
    with open(path, "rb") as f:
        for block in iter(lambda: f.read(1 << 20), b""):
            digest.update(block)
    return digest.hexdigest()


def write_release(stage, args, package, installer, signing):
    exe = stage / INSTALLER_NAME
    if signing:
        sign(installer, exe, signing, args.timestamp, stage.parent)
    else:
        shutil.copyfile(installer, exe)

    product = stage / "server" / "zqHelmview"
    (product / "config").mkdir(parents=True)
    package_sha256 = hashlib.sha256(package).hexdigest()
    (product / "config" / "lista_updater.xml").write_text(
        f'<?xml version="1.0"?>\n<updater>\n  <version>{args.version}</version>\n'
        f"  <sha256>{package_sha256}</sha256>\n</updater>\n", encoding="utf-8")
    (product / "application" / args.version).mkdir(parents=True)
    (product / "application" / args.version / PACKAGE_NAME).write_bytes(package)
    if args.notes:
        shutil.copyfile(args.notes, product / RELEASE_NOTES_NAME)

    manifests = stage / winget_folder(args.version)
    manifests.mkdir(parents=True)
    for name, text in winget_manifests(args.version, args.url, sha256_of(exe)).items():
        (manifests / name).write_text(text, encoding="utf-8")


def replace_folder(stage, out):
    if out.exists():
        old = out.with_name(f".{out.name}.old")
        shutil.rmtree(old, ignore_errors=True)
        out.rename(old)
        stage.rename(out)
        shutil.rmtree(old)
    else:
        stage.rename(out)


def parse_arguments(argv):
    parser = argparse.ArgumentParser(prog="scripts/release", description=__doc__.split("\n\n")[0])
    parser.add_argument("--app", required=True, type=Path,
                        help=f"the application's files: a folder, or a ready {PACKAGE_NAME}")
    parser.add_argument("--version", required=True, help="the application's version, four numbers: 2.2.0.1")
    parser.add_argument("--url", required=True, help="the address the installer will be downloaded from")
    parser.add_argument("--notes", type=Path, help=f"the release notes (PDF), published as {RELEASE_NOTES_NAME}")
    parser.add_argument("--out", type=Path, help="the folder to write (default build/release/<version>)")
    parser.add_argument("--cert", type=Path, help="code-signing certificate (PEM or DER), with --key")
    parser.add_argument("--key", type=Path, help="its private key")
    parser.add_argument("--pfx", type=Path, help="certificate and key in one PKCS#12 file")
    parser.add_argument("--timestamp", help="an RFC 3161 time-stamping address, so the signature outlives "
                                            "the certificate")
    parser.add_argument("--installer", type=Path, help="publish this built installer instead of building one")
    return parser.parse_args(argv)


def check_arguments(args):
    """The signing material to use ({} for none); raises Refused on anything unusable."""
    parts = args.version.split(".")
    if len(parts) != 4 or not all(VERSION_PART.fullmatch(p) and int(p) <= VERSION_PART_MAX for p in parts):
        raise Refused(f"version {args.version!r} is not four dot-separated numbers (like 2.2.0.1; each "
                      f"0 to {VERSION_PART_MAX}, without leading zeros)")
    if not re.match(r"https?://[^/\s]+/\S*$", args.url):
        raise Refused(f"the download address {args.url!r} is not an http:// or https:// address")
    if args.notes and not args.notes.is_file():
        raise Refused(f"release notes {args.notes} not found")
    if args.installer and not args.installer.is_file():
        raise Refused(f"installer {args.installer} not found")
    if args.pfx and (args.cert or args.key):
        raise Refused("give either --pfx or --cert with --key, not both")
    if bool(args.cert) != bool(args.key):
        raise Refused("--cert and --key go together")
    signing = {"pfx": args.pfx} if args.pfx else {"cert": args.cert, "key": args.key} if args.cert else {}
    for path in signing.values():
        if not path.is_file():
            raise Refused(f"{path} not found")
    if args.timestamp and not signing:
        raise Refused("--timestamp needs a certificate to sign with")
    return signing


def main(argv=None):
    args = parse_arguments(argv)
    out = (args.out or ROOT / "build" / "release" / args.version).resolve()
    try:
        signing = check_arguments(args)
        if out.exists() and not out.is_dir():
            raise Refused(f"{out} is in the way: not a folder")
        package = read_package(args.app)
        installer = args.installer or build_installer()
        out.parent.mkdir(parents=True, exist_ok=True)
        with tempfile.TemporaryDirectory(prefix=f".{out.name}.", dir=out.parent) as work:
            stage = Path(work) / "release"
            stage.mkdir()
            write_release(stage, args, package, installer, signing)
            replace_folder(stage, out)
    except Refused as reason:
        print(f"release: refused: {reason}\nrelease: nothing was written", file=sys.stderr)
        return 1
    except subprocess.CalledProcessError as error:
        print(f"release: {error}\nrelease: nothing was written", file=sys.stderr)
        return 1

    exe = out / INSTALLER_NAME
    if not signing:
        print(f"release: {INSTALLER_NAME} is NOT signed (no certificate given): Windows will name no publisher")
    size = exe.stat().st_size
    if size > SIZE_AIM:
        print(f"release: note: {INSTALLER_NAME} is {size} bytes, above its aim of {SIZE_AIM}")
    print(f"release: version {args.version} written to {out}:")
    for path in sorted(p for p in out.rglob("*") if p.is_file()):
        print(f"{sha256_of(path)}  {path.relative_to(out).as_posix()}")
    return 0


if __name__ == "__main__":
    sys.exit(main())
