#pragma once

#include <string>

#include "app/records/KeyFile.h"
#include "app/records/RecordKey.h"

// The key of the pair this run works on: quorvel.key's bytes, read once when
// the pair is loaded, and the record key they give. Every save, merge,
// import, export, re-key and passphrase change uses this key; none of them
// reads a key from disk again. Wiped at exit and when replaced.

// Reads quorvel.key: only a regular file (or a link to one) of at most
// kKeyFileCap bytes. False, holding nothing, when it cannot be read; why
// then says what was wrong with it.
constexpr uint64_t kKeyFileCap = 64u << 10;
bool PairKeyLoad(std::string* why = nullptr);
// Holds a key file's bytes that this program has just written (or read);
// any other sealed key unlocked in this process is wiped.
void PairKeyAdopt(const std::string& fileBytes);
// The record key of the bytes held, made once they are unlocked (a sealed
// key file gives a usable key only then); null while nothing is held.
const TRecordKey* PairKeyGet();
// Whether the key file held is sealed, and unlocks it with a passphrase.
bool PairKeySealed();
KeyLock PairKeyLock();
bool PairKeyUnlock(const String& passphrase);
// The cipher name on the held key file's third line.
String PairKeyCipher();
// True when quorvel.key on disk holds exactly the bytes held (or nothing is
// held and there is no key file): no other program swapped its own key file in.
bool PairKeyOnDiskUnchanged();
void PairKeyForget();
// Wipes the record key and every unlocked key, keeping the key file's bytes:
// the key file is locked again until PairKeyUnlock opens it.
void PairKeyRelock();

// "quorvel.key was changed by another program; nothing was written."
extern const char16_t* const kKeyFileChangedMessage;
