#include "app/records/RecordFields.h"

#include <time.h>

#include "app/generator/RandomSource.h"
#include "app/records/RecordCipher.h"
#include "runtime/Wipe.h"

const char16_t* const kDescriptionField = u"description";
const char16_t* const kPasswordField = u"password";
const char16_t* const kUserNameField = u"username";
const char16_t* const kWebAddressField = u"url";
const char16_t* const kNotesField = u"notes";
const char16_t* const kOneTimeField = u"otp";
const char16_t* const kCreatedField = u"created";
const char16_t* const kChangedField = u"changed";
const char16_t* const kHistoryField = u"history";

String TrimText(const String& text) {
  size_t begin = 0, end = text.size();
  while (begin < end && text[begin] <= 32) ++begin;
  while (end > begin && text[end - 1] <= 32) --end;
  return text.substr(begin, end - begin);
}

TSealedFile::~TSealedFile() { SecureWipe(bytes); }

ByteArray TStoredLine::LineBytes() const {
  if (!file) return bytes;
  ByteArray line;
  BytesOfHex(std::string_view(file->bytes).substr(at, size), line);
  return line;
}

bool TStoredLine::operator==(const TStoredLine& other) const {
  return kind == other.kind && text == other.text && number == other.number && unopened == other.unopened &&
         Origin() == other.Origin() && LineBytes() == other.LineBytes();
}

bool TRecordFields::Readable() const {
  for (const TField& field : fields) {
    if (field.Unreadable()) return false;
  }
  return true;
}

const TField* TRecordFields::Find(const char16_t* name) const {
  for (const TField& field : fields) {
    if (field.name == name) return &field;
  }
  return nullptr;
}

String IsoTimeNow() {
  const time_t now = ::time(nullptr);
  struct tm utc;
  char text[32];
  if (!gmtime_r(&now, &utc) || strftime(text, sizeof text, "%Y-%m-%dT%H:%M:%SZ", &utc) == 0) return String();
  return WidenString(text);
}

uint64_t NewRecordId() {
  for (int tries = 0; tries < 4; ++tries) {
    uint8_t bytes[8];
    if (!RandomBytes(bytes, sizeof bytes)) return 0;
    uint64_t id = 0;
    for (uint8_t b : bytes) id = id << 8 | b;
    if (id != 0) return id;
  }
  return 0;
}

void RecordFieldsWipe(TRecordFields& record) {
  for (TField& field : record.fields) {
    SecureWipe(field.value);
    if (field.stored) {
      SecureWipe(field.stored->text);
      SecureWipe(field.stored->bytes);
      field.stored->file.reset();
    }
  }
  record.fields.clear();
}

void RecordFieldsWipe(std::vector<TRecordFields>& records) {
  for (TRecordFields& record : records) RecordFieldsWipe(record);
  records.clear();
}
