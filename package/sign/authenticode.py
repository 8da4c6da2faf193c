"""Authenticode signatures for the Windows kits: every .exe, .dll and .msi
signed with osslsigncode by the maker's certificate and key: PEM files, or
a key held in a hardware token or HSM (a PKCS #11 module and the key's
"pkcs11:" URI; the certificate from a file or from the token).

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


def signing_key(cert=None, key=None, pkcs11_module=None, pkcs11_cert=None):
    """The osslsigncode options naming the certificate and the key: PEM
    files (cert and key), or a PKCS #11 module with the key's URI (key) and
    the certificate from a file (cert) or the token (pkcs11_cert)."""
    if pkcs11_module:
        if not key or not key.startswith("pkcs11:") or bool(cert) == bool(pkcs11_cert):
            raise SignError("a PKCS #11 key needs its pkcs11: URI and one certificate (a file or a pkcs11: URI)")
        return (["-pkcs11module", pkcs11_module] + (["-certs", cert] if cert else ["-pkcs11cert", pkcs11_cert]) +
                ["-key", key])
    if not cert or not key:
        raise SignError("signing needs the certificate and its key")
    return ["-certs", cert, "-key", key]


def sign(path, cert, key, signing_time, timestamp_urls=(), pkcs11_module=None, pkcs11_cert=None):
    """Signs the file at path in place; with timestamp_urls, time-stamped by
    the first RFC 3161 authority that answers (the signing time is then the
    authority's)."""
    signed = path + ".signed"
    stamp = []
    for url in timestamp_urls:
        stamp += ["-ts", url]
    command = (["osslsigncode", "sign"] + signing_key(cert, key, pkcs11_module, pkcs11_cert) +
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
