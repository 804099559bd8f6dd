#!/usr/bin/env python3
"""Writes a fixed quorvel.key and a quorvel.dat with N encrypted records.

The key file has the layout start-up writes (a 256-character key, an
8-character IV and "rc4", each line ended by CR LF). Every record field is
RC4-encrypted on its own with the first 16 key characters (RC4's default key
length) and stored as upper-case hexadecimal, one line per field.

With --gcm the key file is of the "aes_256_gcm" kind instead (a fixed
256-bit key, in the clear) and every field is sealed with AES-256-GCM under a
random nonce, its record and field as associated data, in the layout of
Quorvel 1.2 (docs/FILES.md); with --gcm2 in the current layout, with its
authenticated header and one line per named field. Both need Debian's
python3-cryptography (/usr/bin/python3).

With --full (after --gcm2) every record also holds a user name, a web
address, two lines of notes, a one-time secret, its times and two earlier
passwords.

Usage: make_records.py [--gcm|--gcm2 [--full]] DIRECTORY COUNT
"""
import os
import sys

KEY = "".join("0123456789ABCDEFGabcdef"[(i * 7 + 3) % 23] for i in range(256))
IV = "a1B2c3D4"


def rc4(key: bytes, data: bytes) -> bytes:
    s = list(range(256))
    j = 0
    for i in range(256):
        j = (j + s[i] + key[i % len(key)]) & 255
        s[i], s[j] = s[j], s[i]
    out = bytearray(len(data))
    i = j = 0
    for n, byte in enumerate(data):
        i = (i + 1) & 255
        j = (j + s[i]) & 255
        s[i], s[j] = s[j], s[i]
        out[n] = byte ^ s[(s[i] + s[j]) & 255]
    return bytes(out)


def main() -> int:
    args = sys.argv[1:]
    gcm = args[:1] in (["--gcm"], ["--gcm2"])
    current = args[:1] == ["--gcm2"]
    if gcm:
        args = args[1:]
    full = args[:1] == ["--full"]
    if full:
        args = args[1:]
    if len(args) != 2:
        print(__doc__.strip().splitlines()[-1], file=sys.stderr)
        return 2
    directory, count = args[0], int(args[1])
    if gcm:
        from cryptography.hazmat.primitives.ciphers.aead import AESGCM
        sealer = AESGCM(bytes(range(32)))
        with open(os.path.join(directory, "quorvel.key"), "wb") as f:
            f.write(f"{bytes(range(32)).hex().upper()}\r\n\r\naes_256_gcm\r\n".encode("ascii"))

        def encrypt(record: int, kind: str, data: bytes) -> bytes:
            nonce = os.urandom(12)
            return nonce + sealer.encrypt(nonce, data, f"quorvel record {record} {kind}".encode())
    else:
        key = KEY[:16].encode("ascii")
        with open(os.path.join(directory, "quorvel.key"), "wb") as f:
            f.write(f"{KEY}\r\n{IV}\r\nrc4\r\n".encode("ascii"))

        def encrypt(record: int, kind: str, data: bytes) -> bytes:
            return rc4(key, data)
    lines = []
    file_id = os.urandom(16)
    for i in range(count):
        fields = [("description", f"account number {i} at the bank"), ("password", f"p4ssW0rd{i * 7919}xYz")]
        if full:
            fields += [("username", f"user{i}@mail.example"), ("url", f"https://bank{i}.example/login"),
                       ("notes", f"PIN hint {i}\nopened 2019"), ("otp", "otpauth://totp/Bank?secret=GEZDGNBVGY3TQOJQ"),
                       ("created", "2026-01-01T00:00:00Z"), ("changed", "2026-12-09T15:05:00Z"),
                       ("history", f"2026-06-01T00:00:00Z old{i}pw1"), ("history", f"2026-03-01T00:00:00Z old{i}pw0")]
        for kind, field in fields:
            if current:
                prefix = b"\x01" + (i + 1).to_bytes(8, "big") + bytes([len(kind)]) + kind.encode()
                nonce = os.urandom(12)
                lines.append((prefix + nonce + sealer.encrypt(nonce, field.encode(), file_id + prefix)).hex().upper())
            else:
                lines.append(encrypt(i, kind, field.encode("ascii")).hex().upper())
    if current:
        import hashlib
        told = (1).to_bytes(8, "big") + count.to_bytes(4, "big")
        told += hashlib.sha256("".join(line + "\r\n" for line in lines).encode()).digest()
        head = b"QUORVEL2" + file_id
        nonce = os.urandom(12)
        lines.insert(0, (head + nonce + sealer.encrypt(nonce, told, head)).hex().upper())
    with open(os.path.join(directory, "quorvel.dat"), "wb") as f:
        f.write("".join(line + "\r\n" for line in lines).encode("ascii"))
    return 0


if __name__ == "__main__":
    sys.exit(main())
