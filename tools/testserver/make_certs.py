#!/usr/bin/env python3
"""Create the TLS material the download tests use, with the openssl CLI.

In the target folder:
  selfsigned.crt/.key   self-signed "localhost" certificate: WinINet must
                        refuse it as an untrusted root (12045)
  ca.crt/.der/.key      a local certificate authority; the tests add ca.der
                        to the Wine prefix's ROOT store
  localhost.crt/.key    server certificate CN=localhost, DNS:localhost and
                        DNS:downloads.helmview.test (a name only the tests'
                        proxy resolves), signed by that CA: the trusted
                        success path

Neither certificate names 127.0.0.1, so a URL with the IP address still
fails the name check (12038).

Idempotent: valid existing files are kept. Rebuilding the CA would orphan
the copy already imported into a prefix, so it only happens when something
is missing, broken or about to expire.  Concurrent callers (parallel tests)
serialise on a lock file.

Usage: make_certs.py DIR
"""

import fcntl
import os
import secrets
import shutil
import subprocess
import sys
import tempfile

DAYS = 3650
# Anything expiring sooner is rebuilt, so a long-lived folder never hands a
# test a certificate that dies halfway through a run.
MIN_VALID_SECONDS = 30 * 24 * 3600

CA_FILES = ("ca.crt", "ca.der", "ca.key", "localhost.crt", "localhost.key")
# Reached only through tools/testserver/proxy.py, which alone resolves it.
PROXIED_NAME = "downloads.helmview.test"
SELF_FILES = ("selfsigned.crt", "selfsigned.key")

# RSA-2048/SHA-256 is what every TLS stack (Wine's included) accepts without
# question; the tests are about trust, not algorithms.
CONFIG = """\
[req]
distinguished_name = dn
prompt = no
[dn]
CN = {cn}
[ca_ext]
basicConstraints = critical, CA:TRUE
keyUsage = critical, keyCertSign, cRLSign
subjectKeyIdentifier = hash
[server_ext]
basicConstraints = critical, CA:FALSE
keyUsage = critical, digitalSignature, keyEncipherment
extendedKeyUsage = serverAuth
subjectAltName = DNS:localhost, DNS:{proxied}
subjectKeyIdentifier = hash
authorityKeyIdentifier = keyid, issuer
[self_ext]
basicConstraints = critical, CA:FALSE
keyUsage = critical, digitalSignature, keyEncipherment
extendedKeyUsage = serverAuth
subjectAltName = DNS:localhost
subjectKeyIdentifier = hash
"""


def openssl(*args, cwd):
    result = subprocess.run(["openssl", *args], cwd=cwd, capture_output=True, text=True)
    if result.returncode != 0:
        raise RuntimeError(f"openssl {' '.join(args)} failed:\n{result.stderr}")
    return result.stdout


def write_config(folder, cn):
    path = os.path.join(folder, f"{cn.replace(' ', '_')}.cnf")
    with open(path, "w", encoding="ascii") as f:
        f.write(CONFIG.format(cn=cn, proxied=PROXIED_NAME))
    return path


def serial():
    # Random serials: the Windows store identifies a certificate by issuer and
    # serial, so regenerated certificates must never reuse one.
    return "0x" + secrets.token_hex(16)


def still_good(folder, cert, ca=None):
    """True if cert exists, is not about to expire and (if ca) chains to it."""
    cert_path = os.path.join(folder, cert)
    if not os.path.isfile(cert_path):
        return False
    try:
        openssl("x509", "-in", cert_path, "-noout", "-checkend", str(MIN_VALID_SECONDS), cwd=folder)
        if ca:
            openssl("verify", "-CAfile", os.path.join(folder, ca), cert_path, cwd=folder)
    except RuntimeError:
        return False
    return True


def key_matches(folder, cert, key):
    try:
        from_cert = openssl("x509", "-in", cert, "-noout", "-pubkey", cwd=folder)
        from_key = openssl("pkey", "-in", key, "-pubout", cwd=folder)
    except RuntimeError:
        return False
    return from_cert == from_key


def make_self_signed(work):
    config = write_config(work, "localhost")
    openssl("req", "-x509", "-new", "-newkey", "rsa:2048", "-nodes", "-sha256",
            "-days", str(DAYS), "-set_serial", serial(), "-config", config,
            "-extensions", "self_ext",
            "-keyout", "selfsigned.key", "-out", "selfsigned.crt", cwd=work)


def make_ca_and_server(work):
    ca_config = write_config(work, "Helmview Test Root CA")
    openssl("req", "-x509", "-new", "-newkey", "rsa:2048", "-nodes", "-sha256",
            "-days", str(DAYS), "-set_serial", serial(), "-config", ca_config,
            "-extensions", "ca_ext", "-keyout", "ca.key", "-out", "ca.crt", cwd=work)
    openssl("x509", "-in", "ca.crt", "-outform", "DER", "-out", "ca.der", cwd=work)

    server_config = write_config(work, "localhost")
    openssl("req", "-new", "-newkey", "rsa:2048", "-nodes", "-config", server_config,
            "-keyout", "localhost.key", "-out", "localhost.csr", cwd=work)
    openssl("x509", "-req", "-in", "localhost.csr", "-sha256", "-days", str(DAYS),
            "-CA", "ca.crt", "-CAkey", "ca.key", "-set_serial", serial(),
            "-extfile", server_config, "-extensions", "server_ext",
            "-out", "localhost.crt", cwd=work)


def publish(work, folder, names):
    # Keys are moved last so a half-finished set never passes the checks above.
    for name in sorted(names, key=lambda n: n.endswith(".key")):
        os.replace(os.path.join(work, name), os.path.join(folder, name))
    for name in names:
        if name.endswith(".key"):
            os.chmod(os.path.join(folder, name), 0o600)


def ensure_certs(folder):
    """Make sure folder holds a complete, valid set; return its absolute path."""
    folder = os.path.abspath(folder)
    os.makedirs(folder, exist_ok=True)
    with open(os.path.join(folder, ".lock"), "w") as lock:
        fcntl.flock(lock, fcntl.LOCK_EX)
        work = tempfile.mkdtemp(prefix=".certs-", dir=folder)
        try:
            ca_ok = (
                all(os.path.isfile(os.path.join(folder, n)) for n in CA_FILES)
                and still_good(folder, "ca.crt")
                and still_good(folder, "localhost.crt", ca="ca.crt")
                and key_matches(folder, "localhost.crt", "localhost.key")
                and key_matches(folder, "ca.crt", "ca.key")
                # Sets made before the proxied name was added are made again.
                and f"DNS:{PROXIED_NAME}" in openssl("x509", "-in", "localhost.crt", "-noout", "-ext",
                                                     "subjectAltName", cwd=folder)
            )
            if not ca_ok:
                make_ca_and_server(work)
                publish(work, folder, CA_FILES)
            self_ok = (
                all(os.path.isfile(os.path.join(folder, n)) for n in SELF_FILES)
                and still_good(folder, "selfsigned.crt")
                and key_matches(folder, "selfsigned.crt", "selfsigned.key")
            )
            if not self_ok:
                make_self_signed(work)
                publish(work, folder, SELF_FILES)
        finally:
            shutil.rmtree(work, ignore_errors=True)
    return folder


if __name__ == "__main__":
    if len(sys.argv) != 2:
        sys.exit(__doc__.strip().splitlines()[-1])
    print(ensure_certs(sys.argv[1]))
