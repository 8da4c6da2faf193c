"""Authenticode signatures for the Windows kits: every .exe, .dll and .msi
signed with osslsigncode by the maker's certificate and key (PEM files).

The signing time is fixed (a parameter), so that the same builds signed
with the same key give the same bytes; RSA signatures with PKCS #1 v1.5
padding are deterministic.
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


def sign(path, cert, key, signing_time):
    """Signs the file at path in place."""
    signed = path + ".signed"
    command = ["osslsigncode", "sign", "-certs", cert, "-key", key, "-h", DIGEST, "-n", DESCRIPTION,
               "-time", str(signing_time), "-in", path, "-out", signed]
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
