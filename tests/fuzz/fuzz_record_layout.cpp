// Feeds arbitrary text as quorvel.dat under a fixed "aes_256_gcm" key: lines
// of every type, headers and hexadecimal that does not decode. Checks that
// what the reader makes of it is written back so that it reads again as the
// same records: every stored line carried unchanged, every value and id kept,
// and the file written whole (not damaged).
#include <stdlib.h>

#include <cstdint>
#include <string>
#include <vector>

#include "app/records/RecordFields.h"
#include "app/records/RecordLayout.h"
#include "crypto/Crypto.h"

namespace {
const TRecordKey& Key() {
  static const TRecordKey* key = [] {
    if (!CryptoInit()) abort();
    return new TRecordKey(ByteArray(32, 0x5A));
  }();
  return *key;
}

bool Same(const std::vector<TRecordFields>& a, const std::vector<TRecordFields>& b) {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i) {
    if (a[i].id != b[i].id || !a[i].SameContent(b[i])) return false;
  }
  return true;
}
}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  std::vector<String> lines;
  String line;
  for (size_t i = 0; i < size; ++i) {
    if (data[i] == '\n') {
      lines.push_back(TrimText(line));
      line.clear();
    } else {
      line.push_back(data[i]);
    }
  }
  lines.push_back(TrimText(line));
  TRecordFileContent first = ParseRecordLines(lines, &Key());
  if (first.layout == TLayout::Gcm2 && first.fileId.size() > kFileIdSize) abort();
  // Records the reader could not name get ids, as the record model gives them.
  std::vector<TRecordFields> records = std::move(first.records);
  uint64_t next = 1ull << 63;
  for (TRecordFields& record : records) {
    if (record.id == 0) record.id = next++;
  }
  const ByteArray fileId(kFileIdSize, 7);
  std::vector<String> written;
  if (!FormatRecordLines(records, Key(), fileId, 2, written)) abort();
  TRecordFileContent again = ParseRecordLines(written, &Key());
  if (again.layout != TLayout::Gcm2 || again.damaged || again.generation != 2) abort();
  // Lines that named no record come back as records of their own without an id.
  for (size_t i = 0; i < again.records.size() && i < records.size(); ++i) {
    if (again.records[i].id == 0) again.records[i].id = records[i].id;
  }
  if (!Same(records, again.records)) abort();
  RecordFieldsWipe(records);
  return 0;
}
