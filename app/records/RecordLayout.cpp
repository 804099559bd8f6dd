#include "app/records/RecordLayout.h"

#include <algorithm>
#include <cstring>
#include <string>

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

bool ParseFieldLine(const ByteArray& bytes, TFieldLine& line) {
  if (bytes.size() < 1 + kIdSize + 1 || bytes[0] != kFieldLine) return false;
  const size_t nameSize = bytes[1 + kIdSize];
  line.prefix = 1 + kIdSize + 1 + nameSize;
  if (nameSize == 0 || nameSize > kMaxNameSize || bytes.size() < line.prefix + kGcmNonceSize + kGcmTagSize)
    return false;
  line.id = GetNumber(bytes.data() + 1, kIdSize);
  line.name = BytesToString(bytes.data() + 1 + kIdSize + 1, nameSize);
  return true;
}

// Opens a field line's value, its tag made with the file id origin.
bool OpenFieldLine(const TRecordKey& key, const ByteArray& bytes, const TFieldLine& line, const ByteArray& origin,
                   String& value) {
  const std::string ad = AsText(origin.data(), origin.size()) + AsText(bytes.data(), line.prefix);
  return key.Open(bytes.data() + line.prefix, bytes.size() - line.prefix, ad, value);
}

// One line of a Gcm2 file as a field of the record it names. A line that
// cannot even be parsed names no record: it is kept, as it is, in a record
// of its own (id 0).
void ParseGcm2Line(const String& text, const TRecordKey& key, const ByteArray& fileId, uint64_t& id, TField& field) {
  ByteArray bytes;
  id = 0;
  field = TField();
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
    field.stored = TStoredLine{TStoredKind::Table, text, ByteArray(), ByteArray(), 0};
  }
  SecureWipe(bytes);
}

void AddDigestLine(TSha256& digest, const String& line) {
  const std::string text = NarrowString(line) + "\r\n";
  digest.Update(text.data(), text.size());
}

void ParseGcm2(const std::vector<String>& lines, const TRecordKey& key, TRecordFileContent& content) {
  content.layout = TLayout::Gcm2;
  ByteArray header;
  BytesOfHex(lines[0], header);
  content.fileId.assign(header.begin() + sizeof kMagic, header.begin() + std::min(header.size(), kHeaderClear));
  String plain;
  const bool verified = header.size() == kHeaderSize && content.fileId.size() == kFileIdSize &&
                        key.Open(header.data() + kHeaderClear, header.size() - kHeaderClear,
                                 AsText(header.data(), kHeaderClear), plain) &&
                        plain.size() == kHeaderPlain;
  TSha256 digest;
  for (size_t i = 1; i < lines.size(); ++i) {
    AddDigestLine(digest, lines[i]);
    uint64_t id;
    TField field;
    ParseGcm2Line(lines[i], key, content.fileId, id, field);
    if (id == 0 || content.records.empty() || content.records.back().id != id) content.records.emplace_back().id = id;
    content.records.back().fields.push_back(std::move(field));
    SecureWipe(field.value);
  }
  uint8_t computed[kSha256Size];
  const bool digested = digest.Final(computed);
  if (!verified) {
    content.damaged = true;
    return;
  }
  const ByteArray told = StringToBytes(plain);
  content.generation = GetNumber(told.data(), 8);
  const uint64_t count = GetNumber(told.data() + 8, 4);
  content.damaged =
      !digested || count != content.records.size() || std::memcmp(computed, told.data() + 12, kSha256Size) != 0;
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
    } else if (!ParseFieldLine(stored.bytes, inner)) {
      return false;
    } else if (inner.id != id || stored.origin != fileId) {
      bytes.push_back(kCarriedLine);
      PutNumber(bytes, id, kIdSize);
      bytes.insert(bytes.end(), stored.origin.begin(), stored.origin.end());
    }
    bytes.insert(bytes.end(), stored.bytes.begin(), stored.bytes.end());
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
      if (field && field->stored) {
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
  if (BytesOfHex(lines[0], first) && first.size() >= sizeof kMagic &&
      std::memcmp(first.data(), kMagic, sizeof kMagic) == 0) {
    ParseGcm2(lines, *key, content);
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

TRecordRead ReadRecordFile(const String& path, const TRecordKey* key, TRecordFileContent& content, String* why) {
  TOpenRefusal refusal = TOpenRefusal::None;
  Ref<TStream> stream = OpenRegularForReading(path, kRecordFileCap, &refusal);
  auto refuse = [&](const char* text) {
    if (why) *why = path + S(text);
    return TRecordRead::Refused;
  };
  if (!stream) {
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
  std::vector<String> lines;
  bool tooLong = false;
  while (!stream->Eof()) {
    String line;
    if (!stream->ReadLineBounded(line, kRecordLineCap)) {
      tooLong = true;
      break;
    }
    lines.push_back(TrimText(line));
    SecureWipe(line);
  }
  const bool exceeded = stream->LimitExceeded();
  stream->Close();
  if (tooLong || exceeded) {
    for (String& line : lines) SecureWipe(line);
    return refuse(tooLong ? " has a line longer than a record file's line can be (1 MiB)"
                          : " is larger than a record file can be (256 MiB)");
  }
  // An older kind's cipher "decrypts" anything: a file of the current layout
  // under such a key file would come out as noise and be saved over.
  ByteArray first;
  if (key && !key->Authenticated() && !lines.empty() && BytesOfHex(lines[0], first) && first.size() >= sizeof kMagic &&
      std::memcmp(first.data(), kMagic, sizeof kMagic) == 0) {
    for (String& line : lines) SecureWipe(line);
    return refuse(" is of the aes_256_gcm kind, but quorvel.key is of an older one (is it the right key file?)");
  }
  content = ParseRecordLines(lines, key);
  for (String& line : lines) SecureWipe(line);
  return TRecordRead::Read;
}
