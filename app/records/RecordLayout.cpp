#include "app/records/RecordLayout.h"

#include <algorithm>
#include <array>
#include <cstring>
#include <string>
#include <string_view>
#include <system_error>
#include <thread>
#include <type_traits>

#include "app/records/MemorySeal.h"
#include "app/records/RecordCipher.h"
#include "crypto/AesGcm.h"
#include "crypto/Sha256.h"
#include "runtime/Wipe.h"

namespace {
// The first bytes of a Gcm2 header line: "QUORVEL2".
constexpr uint8_t kMagic[8] = {'Q', 'U', 'O', 'R', 'V', 'E', 'L', '2'};
constexpr size_t kHeaderClear = sizeof kMagic + kFileIdSize;
constexpr size_t kHeaderPlain = 8 + 4 + kSha256Size;  // generation, record count, digest
constexpr size_t kHeaderSize = kHeaderClear + kGcmNonceSize + kHeaderPlain + kGcmTagSize;
constexpr size_t kIdSize = 8;
constexpr size_t kMaxNameSize = 64;

bool StartsGcm2(const ByteArray& first) {
  return first.size() >= sizeof kMagic && std::memcmp(first.data(), kMagic, sizeof kMagic) == 0;
}

enum LineType : uint8_t { kFieldLine = 1, kCarriedLine = 2, kCarried12Line = 3, kKeptLine = 4 };

void PutNumber(ByteArray& out, uint64_t value, int bytes) {
  for (int shift = 8 * (bytes - 1); shift >= 0; shift -= 8) out.push_back(static_cast<uint8_t>(value >> shift));
}

uint64_t GetNumber(const uint8_t* at, int bytes) {
  uint64_t value = 0;
  for (int i = 0; i < bytes; ++i) value = value << 8 | at[i];
  return value;
}

std::string AsText(const uint8_t* bytes, size_t size) {
  return std::string(reinterpret_cast<const char*>(bytes), size);
}

// The associated data of a line of the first authenticated layout.
std::string Gcm12Data(uint32_t number, const String& name) {
  return "quorvel record " + std::to_string(number) + " " + NarrowString(name);
}

// A field line of the current layout, parsed: type 1, record id, name length,
// name, then the sealed value.
struct TFieldLine {
  uint64_t id = 0;
  String name;
  size_t prefix = 0;  // the bytes before the sealed value
};

// From the line's first have bytes, of size in all.
bool ParseFieldPrefix(const ByteArray& bytes, size_t size, TFieldLine& line) {
  if (bytes.size() < 1 + kIdSize + 1 || bytes[0] != kFieldLine) return false;
  const size_t nameSize = bytes[1 + kIdSize];
  line.prefix = 1 + kIdSize + 1 + nameSize;
  if (nameSize == 0 || nameSize > kMaxNameSize || bytes.size() < line.prefix ||
      size < line.prefix + kGcmNonceSize + kGcmTagSize)
    return false;
  line.id = GetNumber(bytes.data() + 1, kIdSize);
  line.name = BytesToString(bytes.data() + 1 + kIdSize + 1, nameSize);
  return true;
}

bool ParseFieldLine(const ByteArray& bytes, TFieldLine& line) { return ParseFieldPrefix(bytes, bytes.size(), line); }

// Opens a field line's value, its tag made with the file id origin.
bool OpenFieldLine(const TRecordKey& key, const ByteArray& bytes, const TFieldLine& line, const ByteArray& origin,
                   String& value) {
  const std::string ad = AsText(origin.data(), origin.size()) + AsText(bytes.data(), line.prefix);
  return key.Open(bytes.data() + line.prefix, bytes.size() - line.prefix, ad, value);
}

// A line as the file reader splits it (bytes, one per character) or as a
// caller gives it (String): the Gcm2 parse reads both alike.
using TByteLine = std::string_view;

String LineText(const String& text) { return text; }
String LineText(TByteLine text) { return BytesToString(reinterpret_cast<const uint8_t*>(text.data()), text.size()); }

// The record id a field line's hexadecimal characters 2 to 17 name, as text:
// lines of one record share it.
template <typename TLine>
bool SameIdText(const TLine& a, const TLine& b) {
  return a.size() >= 18 && b.size() >= 18 && std::equal(a.begin() + 2, a.begin() + 18, b.begin() + 2);
}

// The fields opened whenever a file is read: the records list shows the
// descriptions, and the passwords are held beside them.
bool ShownField(const String& name) { return name == kDescriptionField || name == kPasswordField; }

// A field line of this file that no list shows, left sealed where it stands
// in sealed's bytes: only its id and name are read.
bool LeaveSealed(TByteLine text, const std::shared_ptr<const TSealedFile>& sealed, uint64_t& id, TField& field) {
  // The line's type, record id and name: no secret, and kept for the next
  // line so that no line costs an allocation of its own.
  thread_local ByteArray prefix;
  TFieldLine line;
  // Type, record id and name length first, then as much as the name needs.
  constexpr size_t kBeforeName = 2 * (1 + kIdSize + 1);
  if (text.size() % 2 != 0 || text.size() < kBeforeName || !BytesOfHex(text.substr(0, kBeforeName), prefix))
    return false;
  const size_t head = std::min(text.size(), kBeforeName + 2 * size_t{prefix.back()});
  if (!BytesOfHex(text.substr(0, head), prefix) || !ParseFieldPrefix(prefix, text.size() / 2, line) ||
      ShownField(line.name))
    return false;
  id = line.id;
  field.name = line.name;
  field.stored.emplace();
  field.stored->kind = TStoredKind::Field;
  field.stored->unopened = true;
  field.stored->file = sealed;
  field.stored->at = static_cast<uint32_t>(text.data() - sealed->bytes.data());
  field.stored->size = static_cast<uint32_t>(text.size());
  return true;
}
bool LeaveSealed(const String&, const std::shared_ptr<const TSealedFile>&, uint64_t&, TField&) { return false; }

// One line of a Gcm2 file as a field of the record it names. A line that
// cannot even be parsed names no record: it is kept, as it is, in a record
// of its own (id 0). With sealed (the bytes the lines stand in), a field line
// of this file that no list shows is left sealed, unopened.
template <typename TLine>
void ParseGcm2Line(const TLine& text, const TRecordKey& key, const ByteArray& fileId,
                   const std::shared_ptr<const TSealedFile>& sealed, uint64_t& id, TField& field) {
  ByteArray bytes;
  id = 0;
  field = TField();
  if (sealed && LeaveSealed(text, sealed, id, field)) return;
  TFieldLine line;
  const bool hex = BytesOfHex(text, bytes) && bytes.size() >= 1 + kIdSize;
  const uint8_t type = hex ? bytes[0] : 0;
  // A header too short to name a file id binds no line to it: such lines are
  // kept as they stand.
  if (type == kFieldLine && fileId.size() == kFileIdSize && ParseFieldLine(bytes, line)) {
    id = line.id;
    field.name = line.name;
    if (!OpenFieldLine(key, bytes, line, fileId, field.value))
      field.stored = TStoredLine{TStoredKind::Field, String(), bytes, fileId, 0};
  } else if (type == kCarriedLine && bytes.size() > 1 + kIdSize + kFileIdSize) {
    const ByteArray origin(bytes.begin() + 1 + kIdSize, bytes.begin() + 1 + kIdSize + kFileIdSize);
    const ByteArray inner(bytes.begin() + 1 + kIdSize + kFileIdSize, bytes.end());
    if (ParseFieldLine(inner, line)) {
      id = GetNumber(bytes.data() + 1, kIdSize);
      field.name = line.name;
      if (!OpenFieldLine(key, inner, line, origin, field.value))
        field.stored = TStoredLine{TStoredKind::Field, String(), inner, origin, 0};
    }
  } else if (type == kCarried12Line && bytes.size() > 1 + kIdSize + 4 + 1) {
    const size_t nameSize = bytes[1 + kIdSize + 4];
    const size_t prefix = 1 + kIdSize + 4 + 1 + nameSize;
    if (nameSize > 0 && nameSize <= kMaxNameSize && bytes.size() >= prefix) {
      id = GetNumber(bytes.data() + 1, kIdSize);
      const uint32_t number = static_cast<uint32_t>(GetNumber(bytes.data() + 1 + kIdSize, 4));
      field.name = BytesToString(bytes.data() + 1 + kIdSize + 5, nameSize);
      const ByteArray sealed(bytes.begin() + prefix, bytes.end());
      if (!key.Open(sealed.data(), sealed.size(), Gcm12Data(number, field.name), field.value))
        field.stored = TStoredLine{TStoredKind::Line12, String(), sealed, ByteArray(), number};
    }
  } else if (type == kKeptLine) {
    id = GetNumber(bytes.data() + 1, kIdSize);
    field.stored =
        TStoredLine{TStoredKind::Table, BytesToString(bytes.data() + 1 + kIdSize, bytes.size() - 1 - kIdSize),
                    ByteArray(), ByteArray(), 0};
  }
  if (id == 0) {
    field = TField();
    field.stored = TStoredLine{TStoredKind::Table, LineText(text), ByteArray(), ByteArray(), 0};
  }
  SecureWipe(bytes);
}

void AddDigestLine(TSha256& digest, const String& line) {
  // In pieces through a buffer on the stack: no allocation per line.
  uint8_t piece[1024];
  for (size_t at = 0; at < line.size();) {
    const size_t n = std::min(sizeof piece, line.size() - at);
    for (size_t i = 0; i < n; ++i) piece[i] = static_cast<uint8_t>(line[at + i]);
    digest.Update(piece, n);
    at += n;
  }
  digest.Update("\r\n", 2);
}
void AddDigestLine(TSha256& digest, TByteLine line) {
  digest.Update(line.data(), line.size());
  digest.Update("\r\n", 2);
}

// Lines from to end - 1 as the fields of the records they name, appended to
// records.
template <typename TLine>
void ParseGcm2Lines(const std::vector<TLine>& lines, size_t from, size_t end, const TRecordKey& key,
                    const ByteArray& fileId, const std::shared_ptr<const TSealedFile>& sealed,
                    std::vector<TRecordFields>& records) {
  for (size_t i = from; i < end; ++i) {
    if constexpr (std::is_same_v<TLine, TByteLine>) {
      // A record's lines after its description and password stay one sealed
      // run, not parsed at all, while the header vouches for the file: no
      // list shows them, and RecordFieldsExpand parses them once one is needed.
      if (sealed && i > from && !records.empty() && records.back().id != 0 && records.back().fields.size() == 2 &&
          records.back().fields[0].name == kDescriptionField && records.back().fields[1].name == kPasswordField &&
          SameIdText(lines[i - 1], lines[i])) {
        size_t stop = i + 1;
        while (stop < end && SameIdText(lines[i], lines[stop])) ++stop;
        TStoredLine& run = records.back().fields.emplace_back().stored.emplace();
        run.kind = TStoredKind::Field;
        run.unopened = true;
        run.file = sealed;
        run.at = static_cast<uint32_t>(lines[i].data() - sealed->bytes.data());
        run.size = static_cast<uint32_t>(lines[stop - 1].data() + lines[stop - 1].size() - lines[i].data());
        run.number = static_cast<uint32_t>(stop - i);
        i = stop - 1;
        continue;
      }
    }
    uint64_t id;
    TField field;
    ParseGcm2Line(lines[i], key, fileId, sealed, id, field);
    if (id == 0 || records.empty() || records.back().id != id) {
      // Room for the record's run of lines at once: growing one by one
      // costs more than the parse at ten thousand records.
      size_t run = 1;
      while (i + run < end && SameIdText(lines[i], lines[i + run])) ++run;
      records.emplace_back().id = id;
      // A sealed run takes one field for all the lines after the password.
      records.back().fields.reserve(id == 0 ? 1 : sealed ? std::min<size_t>(run, 3) : run);
    }
    records.back().fields.push_back(std::move(field));
    SecureWipe(field.value);
  }
}

// Below this many lines a second thread costs more than it saves.
constexpr size_t kLinesForTwoThreads = 4096;

template <typename TLine>
void ParseGcm2(const std::vector<TLine>& lines, const TRecordKey& key, const std::shared_ptr<TSealedFile>& sealed,
               TRecordFileContent& content) {
  content.layout = TLayout::Gcm2;
  ByteArray header;
  BytesOfHex(lines[0], header);
  content.fileId.assign(header.begin() + sizeof kMagic, header.begin() + std::min(header.size(), kHeaderClear));
  String plain;
  const bool verified = header.size() == kHeaderSize && content.fileId.size() == kFileIdSize &&
                        key.Open(header.data() + kHeaderClear, header.size() - kHeaderClear,
                                 AsText(header.data(), kHeaderClear), plain) &&
                        plain.size() == kHeaderPlain;
  const ByteArray told = verified ? StringToBytes(plain) : ByteArray(kHeaderPlain, 0);
  if (sealed) sealed->fileId = content.fileId;
  // Fields are left sealed only where the header vouches for every line. The
  // digest that tells is computed beside the parse, which therefore leaves
  // them sealed as long as the header verifies; should the digest not match,
  // the file is damaged and everything is opened below.
  const std::shared_ptr<TSealedFile> leave = verified ? sealed : nullptr;
  bool digested = false;
  uint8_t computed[kSha256Size];
  auto digestLines = [&] {
    TSha256 digest;
    for (size_t i = 1; i < lines.size(); ++i) AddDigestLine(digest, lines[i]);
    digested = digest.Final(computed);
  };
  // A big file is parsed in two halves at once, split where a record starts;
  // the second half and the digest go to a thread with a key of its own.
  std::unique_ptr<TRecordKey> twin = lines.size() >= kLinesForTwoThreads ? key.Twin() : nullptr;
  size_t middle = lines.size();
  if (twin) {
    middle = lines.size() / 2;
    while (middle < lines.size() && SameIdText(lines[middle - 1], lines[middle])) ++middle;
  }
  std::vector<TRecordFields> second;
  std::thread other;
  if (twin) {
    try {
      other = std::thread([&] {
        digestLines();
        ParseGcm2Lines(lines, middle, lines.size(), *twin, content.fileId, leave, second);
      });
    } catch (const std::system_error&) {
      twin.reset();
      middle = lines.size();
    }
  }
  ParseGcm2Lines(lines, 1, middle, key, content.fileId, leave, content.records);
  if (other.joinable()) {
    other.join();
    // A record split between the halves (its id written in two ways) is joined again.
    auto next = second.begin();
    if (next != second.end() && next->id != 0 && !content.records.empty() && content.records.back().id == next->id) {
      for (TField& field : next->fields) content.records.back().fields.push_back(std::move(field));
      ++next;
    }
    content.records.insert(content.records.end(), std::make_move_iterator(next), std::make_move_iterator(second.end()));
  } else {
    digestLines();
  }
  const bool intact = verified && digested && std::memcmp(computed, told.data() + 12, kSha256Size) == 0;
  if (!verified) {
    content.damaged = true;
    return;
  }
  content.generation = GetNumber(told.data(), 8);
  content.damaged = !intact || GetNumber(told.data() + 8, 4) != content.records.size();
  // What is missing is told by what does not read.
  if (content.damaged) RecordFieldsOpen(content.records, key);
}

// The two-lines-per-record layouts; decrypt opens one field's line.
template <typename TDecrypt>
void ParsePairs(const std::vector<String>& lines, TRecordFileContent& content, TDecrypt decrypt) {
  content.records.reserve((lines.size() + 1) / 2);
  for (size_t at = 0; at < lines.size(); at += 2) {
    TRecordFields& record = content.records.emplace_back();
    record.fields.reserve(2);
    for (int which = 0; which < 2; ++which) {
      TField& field = record.fields.emplace_back();
      field.name = which == 0 ? kDescriptionField : kPasswordField;
      static const String missing;
      decrypt(at + which < lines.size() ? lines[at + which] : missing, static_cast<uint32_t>(at / 2), field);
    }
  }
}

String LineOf(const ByteArray& bytes) { return HexOfBytes(bytes.data(), bytes.size()); }

bool Fail(std::vector<String>& lines) {
  for (String& line : lines) SecureWipe(line);
  lines.clear();
  return false;
}

// A field's line in the Gcm2 layout of the file fileId, for record id.
bool Gcm2FieldLine(const TField& field, uint64_t id, const TRecordKey& key, const ByteArray& fileId, String& line) {
  ByteArray bytes;
  if (field.stored && field.stored->kind == TStoredKind::Memory) {
    // A secret held sealed in memory: opened for the moment it is sealed
    // under the file's key.
    TField open{field.name, String(), std::nullopt};
    const bool written = MemoryOpen(field.stored->bytes, open.value) && Gcm2FieldLine(open, id, key, fileId, line);
    SecureWipe(open.value);
    return written;
  }
  if (field.stored) {
    const TStoredLine& stored = *field.stored;
    TFieldLine inner;
    if (stored.kind == TStoredKind::Table) {
      // Kept as it stood, under its record's id, so that it never reads as a
      // line of another record.
      bytes.push_back(kKeptLine);
      PutNumber(bytes, id, kIdSize);
      const ByteArray text = StringToBytes(stored.text);
      bytes.insert(bytes.end(), text.begin(), text.end());
      line = LineOf(bytes);
      return true;
    }
    if (stored.kind == TStoredKind::Line12) {
      const std::string name = NarrowString(field.name);
      bytes.push_back(kCarried12Line);
      PutNumber(bytes, id, kIdSize);
      PutNumber(bytes, stored.number, 4);
      bytes.push_back(static_cast<uint8_t>(name.size()));
      bytes.insert(bytes.end(), name.begin(), name.end());
    }
    const ByteArray lineBytes = stored.LineBytes();
    if (stored.kind == TStoredKind::Field) {
      if (!ParseFieldLine(lineBytes, inner)) return false;
      if (inner.id != id || stored.Origin() != fileId) {
        bytes.push_back(kCarriedLine);
        PutNumber(bytes, id, kIdSize);
        bytes.insert(bytes.end(), stored.Origin().begin(), stored.Origin().end());
      }
    }
    bytes.insert(bytes.end(), lineBytes.begin(), lineBytes.end());
    line = LineOf(bytes);
    return true;
  }
  const std::string name = NarrowString(field.name);
  if (name.empty() || name.size() > kMaxNameSize) return false;
  bytes.push_back(kFieldLine);
  PutNumber(bytes, id, kIdSize);
  bytes.push_back(static_cast<uint8_t>(name.size()));
  bytes.insert(bytes.end(), name.begin(), name.end());
  ByteArray sealed;
  if (!key.Seal(field.value, AsText(fileId.data(), fileId.size()) + AsText(bytes.data(), bytes.size()), sealed))
    return false;
  bytes.insert(bytes.end(), sealed.begin(), sealed.end());
  line = LineOf(bytes);
  return true;
}

bool FormatGcm2(const std::vector<TRecordFields>& records, const TRecordKey& key, const ByteArray& fileId,
                uint64_t generation, std::vector<String>& lines) {
  if (fileId.size() != kFileIdSize) return false;
  size_t count = 1;
  for (const TRecordFields& record : records) count += record.fields.size();
  lines.reserve(count);
  lines.emplace_back();  // the header, once the digest is known
  TSha256 digest;
  for (const TRecordFields& record : records) {
    for (const TField& field : record.fields) {
      if (!Gcm2FieldLine(field, record.id, key, fileId, lines.emplace_back())) return false;
      AddDigestLine(digest, lines.back());
    }
  }
  ByteArray told;
  PutNumber(told, generation, 8);
  PutNumber(told, records.size(), 4);
  told.resize(kHeaderPlain);
  if (!digest.Final(told.data() + 12)) return false;
  ByteArray header(kMagic, kMagic + sizeof kMagic);
  header.insert(header.end(), fileId.begin(), fileId.end());
  ByteArray sealed;
  if (!key.Seal(BytesToString(told.data(), told.size()), AsText(header.data(), header.size()), sealed)) return false;
  header.insert(header.end(), sealed.begin(), sealed.end());
  lines[0] = LineOf(header);
  return true;
}

bool FormatTable(const std::vector<TRecordFields>& records, const TRecordKey& key, std::vector<String>& lines) {
  lines.reserve(2 * records.size());
  for (const TRecordFields& record : records) {
    for (const char16_t* name : {kDescriptionField, kPasswordField}) {
      const TField* field = record.Find(name);
      String& line = lines.emplace_back();
      if (field && field->stored && field->stored->kind == TStoredKind::Memory) {
        String value;
        const bool written = MemoryOpen(field->stored->bytes, value) && key.TableEncrypt(value, line);
        SecureWipe(value);
        if (!written) return false;
      } else if (field && field->stored) {
        if (field->stored->kind != TStoredKind::Table) return false;
        line = field->stored->text;
      } else if (!key.TableEncrypt(field ? field->value : String(), line)) {
        return false;
      }
    }
  }
  return true;
}
}  // namespace

bool RecordFieldOpen(const TField& field, const TRecordKey& key, String& value) {
  if (!field.stored) {
    if (&value != &field.value) value = field.value;
    return true;
  }
  SecureWipe(value);
  value.clear();
  TFieldLine line;
  const TStoredLine& stored = *field.stored;
  if (stored.kind == TStoredKind::Memory) return MemoryOpen(stored.bytes, value);
  const ByteArray bytes = stored.LineBytes();
  return stored.kind == TStoredKind::Field && ParseFieldLine(bytes, line) &&
         OpenFieldLine(key, bytes, line, stored.Origin(), value);
}

void RecordFieldsOpen(std::vector<TField>& fields, const TRecordKey& key) {
  RecordFieldsExpand(fields, &key);
  for (TField& field : fields) {
    if (!field.stored || !field.stored->unopened) continue;
    if (RecordFieldOpen(field, key, field.value)) {
      field.stored.reset();
    } else {
      field.stored->unopened = false;
    }
  }
}

void RecordFieldsOpen(std::vector<TRecordFields>& records, const TRecordKey& key) {
  for (TRecordFields& record : records) RecordFieldsOpen(record.fields, key);
}

namespace {
bool SplitLines(std::string_view bytes, std::vector<TByteLine>& lines, bool& fast);
bool IsSealedRun(const TField& field) { return field.name.empty() && field.stored && field.stored->file; }
}  // namespace

void RecordFieldsExpand(std::vector<TField>& fields, const TRecordKey* key) {
  if (std::none_of(fields.begin(), fields.end(), IsSealedRun)) return;
  static const TRecordKey none{ByteArray()};
  std::vector<TField> expanded;
  expanded.reserve(fields.size() + 16);
  for (TField& field : fields) {
    if (!IsSealedRun(field)) {
      expanded.push_back(std::move(field));
      continue;
    }
    const TStoredLine& run = *field.stored;
    std::vector<TByteLine> views;
    bool fast;
    SplitLines(std::string_view(run.file->bytes).substr(run.at, run.size), views, fast);
    for (TByteLine view : views) {
      uint64_t id;
      ParseGcm2Line(view, key ? *key : none, run.file->fileId, run.file, id, expanded.emplace_back());
    }
  }
  // What the moves left in the old places is wiped with them.
  fields.swap(expanded);
  for (TField& field : expanded) SecureWipe(field.value);
}

TRecordFileContent ParseRecordLines(const std::vector<String>& lines, const TRecordKey* key) {
  TRecordFileContent content;
  if (lines.empty()) return content;
  if (!key) {
    content.layout = TLayout::Plain;
    ParsePairs(lines, content, [](const String& line, uint32_t, TField& field) { field.value = line; });
    return content;
  }
  if (!key->Authenticated()) {
    content.layout = TLayout::Table;
    ParsePairs(lines, content, [key](const String& line, uint32_t, TField& field) {
      if (!key->TableDecrypt(line, field.value))
        field.stored = TStoredLine{TStoredKind::Table, line, ByteArray(), ByteArray(), 0};
    });
    return content;
  }
  ByteArray first;
  if (BytesOfHex(lines[0], first) && StartsGcm2(first)) {
    ParseGcm2(lines, *key, nullptr, content);
    return content;
  }
  content.layout = TLayout::Gcm12;
  ParsePairs(lines, content, [key](const String& line, uint32_t number, TField& field) {
    ByteArray bytes;
    if (!BytesOfHex(line, bytes)) bytes = StringToBytes(line);
    if (!key->Open(bytes.data(), bytes.size(), Gcm12Data(number, field.name), field.value))
      field.stored = TStoredLine{TStoredKind::Line12, String(), bytes, ByteArray(), number};
  });
  return content;
}

bool FormatRecordLines(const std::vector<TRecordFields>& records, const TRecordKey& key, const ByteArray& fileId,
                       uint64_t generation, std::vector<String>& lines) {
  lines.clear();
  const bool formatted =
      key.Authenticated() ? FormatGcm2(records, key, fileId, generation, lines) : FormatTable(records, key, lines);
  return formatted || Fail(lines);
}

namespace {
// Splits a file's bytes as the stream reader reads lines: a line ends at LF
// or NUL, carriage returns are dropped, and the text is trimmed. False when
// a line holds more than kRecordLineCap characters. fast is cleared when a
// carriage return stands inside a line, so that the lines are not the
// file's bytes themselves.
bool SplitLines(std::string_view bytes, std::vector<TByteLine>& lines, bool& fast) {
  fast = true;
  const char* const data = bytes.data();
  const size_t size = bytes.size();
  lines.reserve(size / 64);
  for (size_t at = 0; at < size;) {
    const void* const newline = std::memchr(data + at, '\n', size - at);
    size_t end = newline ? static_cast<const char*>(newline) - data : size;
    if (const void* nul = std::memchr(data + at, '\0', end - at)) end = static_cast<const char*>(nul) - data;
    if (end - at > kRecordLineCap &&
        end - at - static_cast<size_t>(std::count(data + at, data + end, '\r')) > kRecordLineCap)
      return false;
    size_t begin = at, stop = end;
    while (begin < stop && static_cast<uint8_t>(data[begin]) <= 32) ++begin;
    while (stop > begin && static_cast<uint8_t>(data[stop - 1]) <= 32) --stop;
    if (std::memchr(data + begin, '\r', stop - begin)) fast = false;
    lines.emplace_back(data + begin, stop - begin);
    at = end + 1;
  }
  return true;
}

}  // namespace

TRecordRead ReadRecordFile(const String& path, const TRecordKey* key, TRecordFileContent& content, String* why,
                           bool leaveSealed) {
  TOpenRefusal refusal = TOpenRefusal::None;
  // The fields left sealed point into these bytes and keep them.
  auto sealed = std::make_shared<TSealedFile>();
  auto refuse = [&](const char* text) {
    if (why) *why = path + S(text);
    return TRecordRead::Refused;
  };
  if (!ReadRegularFile(path, kRecordFileCap, sealed->bytes, &refusal)) {
    switch (refusal) {
      case TOpenRefusal::Missing:
        return TRecordRead::Missing;
      case TOpenRefusal::NotRegular:
        return refuse(" is not a regular file (a FIFO, a device or a folder, or a link to one)");
      case TOpenRefusal::TooLarge:
        return refuse(" is larger than a record file can be (256 MiB)");
      default:
        return refuse(" cannot be read");
    }
  }
  switch (ParseRecordFile(sealed, key, content, leaveSealed)) {
    case TFileParse::Parsed:
      return TRecordRead::Read;
    case TFileParse::LineTooLong:
      return refuse(" has a line longer than a record file's line can be (1 MiB)");
    default:
      return refuse(" is of the aes_256_gcm kind, but quorvel.key is of an older one (is it the right key file?)");
  }
}

TFileParse ParseRecordFile(const std::shared_ptr<TSealedFile>& sealed, const TRecordKey* key,
                           TRecordFileContent& content, bool leaveSealed) {
  const std::string& bytes = sealed->bytes;
  std::vector<TByteLine> views;
  bool fast = true;
  if (!SplitLines(bytes, views, fast)) return TFileParse::LineTooLong;
  ByteArray first;
  const bool gcm2 = !views.empty() && BytesOfHex(views[0], first) && StartsGcm2(first);
  // An older kind's cipher "decrypts" anything: a file of the current layout
  // under such a key file would come out as noise and be saved over.
  if (gcm2 && key && !key->Authenticated()) return TFileParse::OlderKey;
  if (gcm2 && key && fast) {
    // Straight from the file's bytes: no copy of every line as text.
    ParseGcm2(views, *key, leaveSealed ? sealed : nullptr, content);
    content.source = sealed;
  } else {
    std::vector<String> lines;
    lines.reserve(views.size());
    for (TByteLine view : views) {
      String& line = lines.emplace_back(LineText(view));
      line.erase(std::remove(line.begin(), line.end(), u'\r'), line.end());
    }
    content = ParseRecordLines(lines, key);
    for (String& line : lines) SecureWipe(line);
  }
  return TFileParse::Parsed;
}

std::shared_ptr<TSealedFile> SealedFileOf(const std::vector<String>& lines) {
  auto sealed = std::make_shared<TSealedFile>();
  size_t size = 0;
  for (const String& line : lines) size += line.size() + 2;
  sealed->bytes.reserve(size);
  for (const String& line : lines) {
    for (char16_t c : line) sealed->bytes.push_back(static_cast<char>(c));
    sealed->bytes += "\r\n";
  }
  return sealed;
}
