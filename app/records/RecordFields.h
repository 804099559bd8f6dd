#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "runtime/String.h"

// A field that could not be decrypted, carried with everything it needs to
// decrypt once the right key file is back, whatever is added, deleted or
// moved around it meanwhile.
enum class TStoredKind {
  Table,   // a line of an older kind's file: text, as stored
  Line12,  // a line of the first authenticated layout: bytes, bound to number
  Field,   // a field line of the current layout: bytes, bound to origin
  Memory,  // a secret held while unlocked: bytes sealed under the run's key (MemorySeal)
};
// The bytes of a record file as read, shared by the fields left sealed in it.
struct TSealedFile {
  std::string bytes;  // the lines as they stood: hexadecimal, never changed
  ByteArray fileId;   // the file id its field lines are bound to
  ~TSealedFile();
};

struct TStoredLine {
  TStoredKind kind = TStoredKind::Table;
  String text;          // Table: the hexadecimal line as it stood in the file
  ByteArray bytes;      // Line12: nonce, ciphertext and tag; Field: the whole field line
  ByteArray origin;     // Field: the file id its tag was made with
  uint32_t number = 0;  // Line12: the record number its tag was made with
  // Field only: a line of a file whose header vouched for every line, left
  // sealed when it was read because nothing needed its value yet. It is
  // expected to open under the pair's key; only one that is tried and fails
  // makes its record unreadable.
  bool unopened = false;
  // Field only, instead of bytes and origin: the line as it stands in the
  // bytes of the file it was read from, so that holding or copying it costs
  // no copy of the line. A field with an empty name holds a run of number
  // such lines of one record instead, parsed only when one is needed
  // (RecordFieldsExpand).
  std::shared_ptr<const TSealedFile> file;
  uint32_t at = 0, size = 0;

  TStoredLine() = default;
  TStoredLine(TStoredKind kind, String text, ByteArray bytes, ByteArray origin, uint32_t number)
      : kind(kind), text(std::move(text)), bytes(std::move(bytes)), origin(std::move(origin)), number(number) {}

  // The field line's bytes and the file id its tag was made with.
  ByteArray LineBytes() const;
  const ByteArray& Origin() const { return file ? file->fileId : origin; }
  // Equal lines, wherever they are held.
  bool operator==(const TStoredLine& other) const;
};

// One named field of a record: its plaintext, or, when it could not be
// decrypted or was left sealed, its stored line (and an empty value).
struct TField {
  String name;
  String value;
  std::optional<TStoredLine> stored;

  bool operator==(const TField&) const = default;
  // A stored line that was tried and does not decrypt.
  bool Unreadable() const { return stored && !stored->unopened; }
};

extern const char16_t* const kDescriptionField;  // "description"
extern const char16_t* const kPasswordField;     // "password"
// The fields a record may hold besides them, by the names they have in the file.
extern const char16_t* const kUserNameField;    // "username"
extern const char16_t* const kWebAddressField;  // "url"
extern const char16_t* const kNotesField;       // "notes"
extern const char16_t* const kOneTimeField;     // "otp": an otpauth:// URI or a bare base32 secret
// When the record was made and last changed, ISO 8601 in UTC
// ("2026-12-09T15:05:00Z"); not secrets.
extern const char16_t* const kCreatedField;  // "created"
extern const char16_t* const kChangedField;  // "changed"
// An earlier password: "<time it was replaced> <password>", one field each,
// newest first, at most kHistoryKept of them.
extern const char16_t* const kHistoryField;  // "history"
constexpr size_t kHistoryKept = 10;

// One record as a record file holds it: a random id, kept when the record
// changes (0 only while none was given), and its fields in order.
struct TRecordFields {
  uint64_t id = 0;
  std::vector<TField> fields;

  // Equal fields, whatever the ids.
  bool SameContent(const TRecordFields& other) const { return fields == other.fields; }
  bool Readable() const;
  // The first field of that name; null when there is none.
  const TField* Find(const char16_t* name) const;
};

// Removes every character with code 32 or less (space and control
// characters) from both ends.
String TrimText(const String& text);

// The time now as the created and changed fields hold it.
String IsoTimeNow();

// A fresh record id from getrandom, never 0; 0 when the source failed.
uint64_t NewRecordId();

// Overwrites every value and stored line of the records, then empties them.
void RecordFieldsWipe(std::vector<TRecordFields>& records);
void RecordFieldsWipe(TRecordFields& record);
