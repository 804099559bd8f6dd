#!/usr/bin/python3
"""An independent reader of Quorvel's "aes_256_gcm" files, written from
docs/FILES.md with Debian's python3-argon2 and python3-cryptography.

  quorvel_files.py decrypt <folder> <n>     prints description or password n of quorvel.dat (1: the first
                                            record's description, 2: its password, 3: the next description)
  quorvel_files.py dump <folder>            prints every description and password, one per line
  quorvel_files.py lines <folder>           prints how many lines the header, descriptions and passwords take
                                            (the lines of other fields, such as the times, not counted)
  quorvel_files.py fields <folder>          prints every field of every record as "name=value", one per line
  quorvel_files.py header <folder>          prints "<file id> <generation> <records>" once the header verifies
  quorvel_files.py encrypt <folder> <n> <text>   prints a line of the first layout that holds text as field n
  quorvel_files.py write <folder> <generation> <text>...   writes quorvel.dat anew in the current layout, with the
                                            file id it has (or a new one), two fields per record; an
                                            argument "+name=value" adds a field of that name to the record
                                            before it

A sealed key file is opened with the passphrase in $QUORVEL_PASSPHRASE.
Exits 1 when the header or a field does not authenticate, or the records do
not match the header."""
import hashlib
import os
import struct
import sys

from argon2.low_level import Type, hash_secret_raw
from cryptography.hazmat.primitives.ciphers.aead import AESGCM

MAGIC = b"QUORVEL2"
NAMES = [b"description", b"password"]


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


def open_sealed(key, sealed, ad):
    return AESGCM(key).decrypt(sealed[:12], sealed[12:], ad)


def seal(key, plain, ad):
    nonce = os.urandom(12)
    return nonce + AESGCM(key).encrypt(nonce, plain, ad)


def ad12(number):
    """The associated data of line <number> (from 1) of the first layout."""
    return b"quorvel record %d %s" % ((number - 1) // 2, NAMES[(number - 1) % 2])


def field_name(raw):
    """The name of one field line of the current layout."""
    kind = raw[0]
    if kind == 2:
        return field_name(raw[25:])
    at = 9 if kind == 1 else 13
    return raw[at + 1:at + 1 + raw[at]]


def field_value(key, file_id, raw):
    """The value of one field line of the current layout, by its type."""
    kind, record_id = raw[0], raw[1:9]
    if kind == 1:
        n = raw[9]
        return open_sealed(key, raw[10 + n:], file_id + raw[:10 + n])
    if kind == 2:
        return field_value(key, raw[9:25], raw[25:])
    if kind == 3:
        number, n = struct.unpack(">IB", raw[9:14])
        return open_sealed(key, raw[14 + n:], b"quorvel record %d %s" % (number, raw[14:14 + n]))
    raise ValueError(f"line type {kind}")


def read_current(key, lines):
    """(file id, generation, record count, fields) of a file of the current layout."""
    header = bytes.fromhex(lines[0].decode())
    file_id = header[8:24]
    told = open_sealed(key, header[24:], header[:24])
    generation, count, digest = struct.unpack(">QI32s", told)
    body = lines[1:]
    ids = [bytes.fromhex(line.decode())[1:9] for line in body]
    records = sum(1 for i, record_id in enumerate(ids) if i == 0 or ids[i - 1] != record_id)
    if records != count or hashlib.sha256(b"".join(line + b"\r\n" for line in body)).digest() != digest:
        raise ValueError("the records do not match the header")
    raws = [bytes.fromhex(line.decode()) for line in body]
    return file_id, generation, count, [(field_name(raw), field_value(key, file_id, raw)) for raw in raws]


def main():
    command, folder = sys.argv[1], sys.argv[2]
    key = record_key(folder)
    path = os.path.join(folder, "quorvel.dat")
    if command == "encrypt":
        print(seal(key, os.fsencode(sys.argv[4]), ad12(int(sys.argv[3]))).hex().upper())
        return
    lines = [line for line in open(path, "rb").read().split(b"\r\n") if line] if os.path.exists(path) else []
    current = bool(lines) and bytes.fromhex(lines[0].decode()).startswith(MAGIC)
    try:
        if command == "write":
            file_id = read_current(key, lines)[0] if current else os.urandom(16)
            out, i = [], 0
            for text in sys.argv[4:]:
                if text.startswith("+"):
                    name, value = os.fsencode(text[1:]).split(b"=", 1)
                    record = (i - 1) // 2
                else:
                    name, value, record = NAMES[i % 2], os.fsencode(text), i // 2
                    i += 1
                prefix = bytes([1]) + struct.pack(">Q", 1 + record) + bytes([len(name)]) + name
                out.append((prefix + seal(key, value, file_id + prefix)).hex().upper().encode())
            told = struct.pack(">QI", int(sys.argv[3]), (i + 1) // 2)
            told += hashlib.sha256(b"".join(line + b"\r\n" for line in out)).digest()
            header = MAGIC + file_id + seal(key, told, MAGIC + file_id)
            open(path + ".new", "wb").write(b"".join(line + b"\r\n" for line in [header.hex().upper().encode()] + out))
            os.rename(path + ".new", path)
            return
        if current:
            file_id, generation, count, fields = read_current(key, lines)
        else:
            file_id, generation, count = b"", 0, len(lines) // 2
            fields = [(NAMES[(n - 1) % 2], open_sealed(key, bytes.fromhex(line.decode()), ad12(n)))
                      for n, line in enumerate(lines, 1)]
    except Exception as error:  # InvalidTag and malformed lines alike
        print(f"not authentic: {error!r}", file=sys.stderr)
        sys.exit(1)
    two = [value for name, value in fields if name in NAMES]
    if command == "header":
        print(file_id.hex().upper(), generation, count)
    elif command == "dump":
        sys.stdout.buffer.write(b"\n".join(two))
    elif command == "lines":
        print(len(two) + (1 if current else 0))
    elif command == "fields":
        sys.stdout.buffer.write(b"\n".join(name + b"=" + value for name, value in fields))
    else:
        sys.stdout.buffer.write(two[int(sys.argv[3]) - 1])


main()
