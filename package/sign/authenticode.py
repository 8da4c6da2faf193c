"""Authenticode signatures for the Windows kits: every .exe, .dll and .msi
signed with osslsigncode by the maker's certificate and key (PEM files).

Without a time-stamp the signing time is fixed (a parameter), so that the
same builds signed with the same key give the same bytes (RSA signatures
with PKCS #1 v1.5 padding are deterministic); such a signature is valid
only while the certificate is. With RFC 3161 time-stamp authorities (tried
in the order given) each signature carries the authority's counter-
signature and outlives the certificate; the bytes then follow the
authority's time.
"""
import os
import subprocess

SIGNED_SUFFIXES = (".exe", ".dll", ".msi")
DIGEST = "sha256"
# The description shown in Windows' signature dialogs.
DESCRIPTION = "Printer driver kit"


class SignError(Exception):
    pass


def signs(relative):
    return relative.lower().endswith(SIGNED_SUFFIXES)


def signing_key(cert=None, key=None):
    """The osslsigncode options naming the certificate and the key (PEM
    files)."""
    if not cert or not key:
        raise SignError("signing needs the certificate and its key")
    return ["-certs", cert, "-key", key]


def sign(path, cert, key, signing_time, timestamp_urls=()):
    """Signs the file at path in place; with timestamp_urls, time-stamped by
    the first RFC 3161 authority that answers (the signing time is then the
    authority's)."""
    signed = path + ".signed"
    stamp = []
    for url in timestamp_urls:
        stamp += ["-ts", url]
    command = (["osslsigncode", "sign"] + signing_key(cert, key) +
               ["-h", DIGEST, "-n", DESCRIPTION] + (stamp or ["-time", str(signing_time)]) +
               ["-in", path, "-out", signed])
    result = subprocess.run(command, stdout=subprocess.PIPE, stderr=subprocess.PIPE, text=True)
    if result.returncode != 0:
        if os.path.exists(signed):
            os.remove(signed)
        raise SignError("signing %s failed: %s" % (path, (result.stderr or result.stdout).strip()))
    os.replace(signed, path)


def verify(path, ca_file):
    """True when path carries a signature that verifies against ca_file."""
    result = subprocess.run(["osslsigncode", "verify", "-CAfile", ca_file, "-in", path],
                            stdout=subprocess.PIPE, stderr=subprocess.PIPE, text=True)
    return result.returncode == 0
