#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "app/records/RecordFields.h"
#include "runtime/String.h"

// While the records are unlocked, the secrets among them (passwords, notes,
// one-time secrets, earlier passwords) are held sealed under a key made for
// this run from getrandom, kept in libcrypto's secure heap (locked against
// swapping, left out of core dumps). They are opened into wiped buffers only
// for the moment they are shown, copied, compared, exported or written.
// Descriptions, user names and web addresses are no such secret: they are
// listed and searched.
//
// Sealed: the text's UTF-16 code units, padded with zeros to whole blocks,
// under AES-256-CTR || the counter block they start at (the key's epoch,
// then a block count: no keystream block serves twice under one key) || the
// number of code units. No tag: held in the process's own memory, the
// secret needs hiding, not proving.
bool MemorySeal(const String& plain, ByteArray& sealed);
// False, with plain empty, when sealed was not made under the key held now
// or is cut short.
bool MemoryOpen(const ByteArray& sealed, String& plain);
// Wipes the run's key, as a lock does once every sealed secret is gone: what
// was sealed under it no longer opens, and the next seal makes a new key.
void MemorySealForget();
// Whether a run key is held now, and where (for the memory tests).
const void* MemorySealKeyAt();

// While one exists, seals run on along one keystream and opens share one
// cipher context, as holding a whole record file needs; otherwise each makes
// its own and wipes it at once, so that no key schedule outlives the step.
class TMemorySealBatch {
 public:
  TMemorySealBatch();
  ~TMemorySealBatch();
  TMemorySealBatch(const TMemorySealBatch&) = delete;
  TMemorySealBatch& operator=(const TMemorySealBatch&) = delete;
};

// A secret held sealed. Made from its plaintext (which the caller still
// wipes); copies share nothing but ciphertext.
class TSecret {
 public:
  TSecret() = default;
  TSecret(const String& plain);  // NOLINT(google-explicit-constructor): sealing is the safe direction
  ~TSecret();
  TSecret(const TSecret&) = default;
  TSecret(TSecret&&) noexcept = default;
  TSecret& operator=(const TSecret&) = default;
  TSecret& operator=(TSecret&&) noexcept = default;

  // The plaintext, which the caller wipes; "" for an empty secret.
  String Open() const;
  bool Empty() const { return sealed_.empty(); }
  // Whether the text starts or ends with a space or a control character,
  // which a record file's field would not hold (TrimText).
  bool Padded() const { return padded_; }
  // The secret as a field's stored line of the Memory kind, sharing no
  // plaintext; false when it is held unsealed (no run key).
  bool AsStoredLine(TStoredLine& line) const;
  // Equal plaintexts (the ciphertexts of one text always differ).
  bool operator==(const TSecret& other) const;
  void Wipe();

 private:
  ByteArray sealed_;
  // No run key could be made (the random source failed): sealed_ holds the
  // text's code units as they are, rather than losing them.
  bool plain_ = false;
  bool padded_ = false;
};

// Whether a field of that name holds a secret.
bool IsSecretField(const String& name);
// Seals the plaintext value of every secret field among fields: it becomes a
// stored line of the Memory kind, opened as any stored line is
// (RecordFieldOpen). The plaintext is wiped.
void RecordFieldSeal(TField& field);
void RecordFieldsSeal(std::vector<TField>& fields);
void RecordFieldsSeal(std::vector<TRecordFields>& records);
