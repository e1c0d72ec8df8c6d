"""What the tests of scripts/release share: a throwaway code-signing authority, the stand-in application's files,
and a run of the script itself."""

import hashlib
import os
import subprocess
import sys
from pathlib import Path

ROOT = Path(__file__).resolve().parents[2]
RELEASE = ROOT / "scripts" / "release"

sys.path.insert(0, str(ROOT / "tools" / "fixtures"))
import make_packages  # noqa: E402

_EXTENSIONS = """\
[req]
distinguished_name = dn
[dn]
[ca]
basicConstraints = critical, CA:TRUE
keyUsage = critical, keyCertSign, cRLSign
subjectKeyIdentifier = hash
[leaf]
basicConstraints = critical, CA:FALSE
keyUsage = critical, digitalSignature
extendedKeyUsage = codeSigning
subjectKeyIdentifier = hash
authorityKeyIdentifier = keyid, issuer
"""


def make_code_signing(folder, pfx_password):
    """A certificate authority and a code-signing certificate it issued, made in folder: {"ca", "cert", "key",
    "pfx" (the certificate and key, under pfx_password), "leaf_sha256" (of the certificate in DER form)}."""
    folder = Path(folder)
    folder.mkdir(parents=True, exist_ok=True)
    (folder / "extensions.cnf").write_text(_EXTENSIONS)
    for step in (
            "req -x509 -newkey rsa:2048 -nodes -keyout ca.key -out ca.crt -days 30 -subj /CN=Throwaway-CA "
            "-config extensions.cnf -extensions ca",
            "req -new -newkey rsa:2048 -nodes -keyout leaf.key -out leaf.csr -subj /CN=Norvale -config extensions.cnf",
            "x509 -req -in leaf.csr -CA ca.crt -CAkey ca.key -CAcreateserial -out leaf.crt -days 30 "
            "-extfile extensions.cnf -extensions leaf",
            "pkcs12 -export -in leaf.crt -inkey leaf.key -out leaf.pfx -passout env:PFX_PASSWORD",
            "x509 -in leaf.crt -outform DER -out leaf.der"):
        subprocess.run(["openssl", *step.split()], cwd=folder, check=True, stdin=subprocess.DEVNULL,
                       capture_output=True, env=dict(os.environ, PFX_PASSWORD=pfx_password))
    return {"ca": folder / "ca.crt", "cert": folder / "leaf.crt", "key": folder / "leaf.key",
            "pfx": folder / "leaf.pfx", "leaf_sha256": hashlib.sha256((folder / "leaf.der").read_bytes()).hexdigest()}


def stage_application(folder, fixtures, names=(make_packages.APP_NAME,)):
    """The stand-in application's files as a publisher hands them over: a folder (the package's members)."""
    folder = Path(folder)
    folder.mkdir(parents=True)
    make_packages._stage(folder, Path(fixtures), names)
    return folder


def release(*args, env=None):
    """Runs scripts/release; the finished process, its output as text."""
    return subprocess.run([str(RELEASE), *map(str, args)], stdin=subprocess.DEVNULL, capture_output=True, text=True,
                          env=dict(os.environ, **(env or {})), timeout=600)
