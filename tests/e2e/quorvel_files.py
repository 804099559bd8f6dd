#!/usr/bin/python3
"""An independent reader of Quorvel's "aes_256_gcm" files, written from
docs/FILES.md with Debian's python3-argon2 and python3-cryptography.

  quorvel_files.py decrypt <folder> <line number>   prints one field of quorvel.dat
  quorvel_files.py dump <folder>                    prints every field, one per line
  quorvel_files.py encrypt <folder> <line number> <text>   prints the line that holds text there

A sealed key file is opened with the passphrase in $QUORVEL_PASSPHRASE.
Exits 1 when a field does not authenticate."""
import os
import sys

from argon2.low_level import Type, hash_secret_raw
from cryptography.hazmat.primitives.ciphers.aead import AESGCM


def record_key(folder):
    key_line, params, name = open(os.path.join(folder, "quorvel.key"), "rb").read().split(b"\r\n")[:3]
    assert name == b"aes_256_gcm", name
    if not params:
        return bytes.fromhex(key_line.decode())
    fields = dict(f.split(b"=", 1) for f in params.split(b",")[1:])
    assert params.startswith(b"argon2id,") and fields[b"v"] == b"19", params
    derived = hash_secret_raw(os.environb[b"QUORVEL_PASSPHRASE"], bytes.fromhex(fields[b"salt"].decode()),
                              time_cost=int(fields[b"t"]), memory_cost=int(fields[b"m"]),
                              parallelism=int(fields[b"p"]), hash_len=32, type=Type.ID, version=19)
    sealed = bytes.fromhex(key_line.decode())
    return AESGCM(derived).decrypt(sealed[:12], sealed[12:], params)


def field(key, lines, number):
    raw = bytes.fromhex(lines[number - 1].decode())
    return AESGCM(key).decrypt(raw[:12], raw[12:], ad(number))


def ad(number):
    return f"quorvel record {(number - 1) // 2} {'description' if number % 2 else 'password'}".encode()


def main():
    command, folder = sys.argv[1], sys.argv[2]
    key = record_key(folder)
    if command == "encrypt":
        nonce = os.urandom(12)
        print((nonce + AESGCM(key).encrypt(nonce, os.fsencode(sys.argv[4]), ad(int(sys.argv[3])))).hex().upper())
        return
    lines = open(os.path.join(folder, "quorvel.dat"), "rb").read().split(b"\r\n")
    numbers = [int(sys.argv[3])] if command == "decrypt" else range(1, len([l for l in lines if l]) + 1)
    try:
        out = [field(key, lines, n) for n in numbers]
    except Exception as error:  # InvalidTag and malformed lines alike
        print(f"not authentic: {error!r}", file=sys.stderr)
        sys.exit(1)
    sys.stdout.buffer.write(b"\n".join(out) if command == "dump" else out[0])


main()
