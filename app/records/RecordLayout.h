#pragma once

#include <cstdint>
#include <memory>
#include <vector>

#include "app/records/RecordFields.h"
#include "app/records/RecordKey.h"
#include "runtime/Stream.h"
#include "runtime/String.h"

// The layouts of quorvel.dat (docs/FILES.md gives them byte by byte):
//   - Plain: the legacy file, two lines of plain text per record;
//   - Table: under a key file of an older kind, two lines per record, each a
//     field encrypted with the table cipher;
//   - Gcm12: under an "aes_256_gcm" key file, two lines per record, each
//     bound to its record's number and field;
//   - Gcm2: under an "aes_256_gcm" key file, an authenticated header (file
//     id, generation, record count, digest of every line) and one line per
//     named field, bound to the file id, its record's id and its name.
// New files of the "aes_256_gcm" kind are always written as Gcm2.
enum class TLayout { Empty, Plain, Table, Gcm12, Gcm2 };

// The caps on what is read: the record file, one of its lines.
constexpr uint64_t kRecordFileCap = 256ull << 20;
constexpr size_t kRecordLineCap = 1u << 20;
constexpr size_t kFileIdSize = 16;

struct TRecordFileContent {
  TLayout layout = TLayout::Empty;
  // Gcm2 only: the header does not verify, or the records do not match its
  // count or digest (cut short, a record dropped, reordered, or a line of
  // another version): what reads is here, but something may be missing.
  bool damaged = false;
  ByteArray fileId;  // Gcm2: as the header names it (kept even when damaged)
  uint64_t generation = 0;
  std::vector<TRecordFields> records;  // ids are 0 but for Gcm2
  // Gcm2 read from a file's bytes: those bytes, which parse into the same
  // records again under the same key.
  std::shared_ptr<const TSealedFile> source;

  ~TRecordFileContent() { RecordFieldsWipe(records); }
  TRecordFileContent() = default;
  TRecordFileContent(TRecordFileContent&&) = default;
  TRecordFileContent& operator=(TRecordFileContent&&) = default;
};

// The records of a file's lines (each already trimmed): plain text without a
// key, otherwise in the layout the key's kind and the first line tell. A
// field that does not decrypt is kept as its stored line.
TRecordFileContent ParseRecordLines(const std::vector<String>& lines, const TRecordKey* key);

// A field's value: its plaintext, or its sealed line opened under key. False,
// with value empty, for a stored line that does not decrypt.
bool RecordFieldOpen(const TField& field, const TRecordKey& key, String& value);
// Opens every field left sealed; one that does not decrypt stays stored, as
// an unreadable field.
void RecordFieldsOpen(std::vector<TRecordFields>& records, const TRecordKey& key);
void RecordFieldsOpen(std::vector<TField>& fields, const TRecordKey& key);
// Parses the runs of lines a read left sealed as one (a field with an empty
// name) into their fields, still sealed; a line of a run that is not a field
// line of the file is opened under key, or kept as it stood.
void RecordFieldsExpand(std::vector<TField>& fields, const TRecordKey* key);

// The lines of records under key: for an older kind two per record; for
// "aes_256_gcm" the Gcm2 layout with that file id and generation. Every
// field is encrypted afresh but for stored lines, which are written back so
// that they still decrypt where they came from. False, with lines wiped and
// empty, when an encryption fails.
bool FormatRecordLines(const std::vector<TRecordFields>& records, const TRecordKey& key, const ByteArray& fileId,
                       uint64_t generation, std::vector<String>& lines);

enum class TRecordRead { Read, Missing, Refused };
// Reads the record file at path: only a regular file (or a link to one) of
// at most kRecordFileCap bytes with no line longer than kRecordLineCap, so
// that a FIFO, a device or a huge line never hangs the program or fills its
// memory. Refused: why says what was wrong with it. With leaveSealed, a
// Gcm2 file whose header vouches for all its lines keeps every field but the
// description and the password sealed (a stored line
// marked unopened, pointing into the file's bytes as read) until
// RecordFieldOpen or RecordFieldsOpen opens it.
TRecordRead ReadRecordFile(const String& path, const TRecordKey* key, TRecordFileContent& content,
                           String* why = nullptr, bool leaveSealed = false);

// The records of a record file's bytes (split into lines as the file reader
// splits them), as ReadRecordFile gives them. LineTooLong: a line longer than
// kRecordLineCap; OlderKey: a Gcm2 file under a key of an older kind.
enum class TFileParse { Parsed, LineTooLong, OlderKey };
TFileParse ParseRecordFile(const std::shared_ptr<TSealedFile>& bytes, const TRecordKey* key,
                           TRecordFileContent& content, bool leaveSealed = false);

// The bytes of a file of these lines, each ended by CR LF.
std::shared_ptr<TSealedFile> SealedFileOf(const std::vector<String>& lines);
