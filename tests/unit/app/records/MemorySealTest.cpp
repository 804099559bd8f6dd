#include "app/records/MemorySeal.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <fstream>
#include <sstream>

#include "app/records/RecordKey.h"
#include "app/records/RecordLayout.h"
#include "crypto/SecureHeap.h"

namespace {

// The lines of /proc/self/smaps about the mapping that holds address.
std::string MappingOf(const void* address) {
  std::ifstream smaps("/proc/self/smaps");
  const auto at = reinterpret_cast<uintptr_t>(address);
  std::string line, block;
  bool inside = false;
  while (std::getline(smaps, line)) {
    unsigned long start = 0, end = 0;
    if (std::sscanf(line.c_str(), "%lx-%lx ", &start, &end) == 2 && line.find(':') > line.find(' ')) {
      if (inside) return block;
      inside = at >= start && at < end;
      block.clear();
    }
    if (inside) block += line + "\n";
  }
  return inside ? block : std::string();
}

bool KeptFromSwapAndDumps(const void* address) {
  const std::string mapping = MappingOf(address);
  const size_t flags = mapping.find("VmFlags:");
  return flags != std::string::npos && mapping.find(" dd", flags) != std::string::npos &&
         mapping.find(" lo", flags) != std::string::npos;
}

bool Holds(const ByteArray& bytes, const String& text) {
  const auto* units = reinterpret_cast<const uint8_t*>(text.data());
  return std::search(bytes.begin(), bytes.end(), units, units + text.size() * 2) != bytes.end();
}

TEST(MemorySeal, SecretsRoundTripSealedInLockedMemoryAndDieWithTheRunKey) {
  const String texts[] = {S(""), S("pw"), S("a longer password, with spaces"), String(u"\u00e9t\u00e9 \u4e2d\u6587")};
  std::vector<ByteArray> before;
  for (const String& text : texts) {
    SCOPED_TRACE(NarrowString(text));
    ByteArray one, two;
    ASSERT_TRUE(MemorySeal(text, one) && MemorySeal(text, two));
    // Never the text itself, and never the same bytes twice (but for nothing).
    EXPECT_TRUE(text.empty() || !Holds(one, text));
    EXPECT_TRUE(text.empty() || one != two);
    String back;
    EXPECT_TRUE(MemoryOpen(two, back));
    EXPECT_EQ(text, back);
    EXPECT_TRUE(TSecret(text) == TSecret(text));
    EXPECT_EQ(text, TSecret(text).Open());
    before.push_back(one);
  }
  EXPECT_FALSE(TSecret(S("one")) == TSecret(S("two")));
  // Cut short, or claiming more text than it holds, nothing opens.
  ByteArray shorter(before[2].begin() + 16, before[2].end()), longer = before[1];
  longer.back() = 1;
  String back = S("left over");
  for (const ByteArray* bad : {&shorter, &longer}) {
    EXPECT_FALSE(MemoryOpen(*bad, back));
    EXPECT_TRUE(back.empty());
  }

  // The key is in libcrypto's secure heap, and opened text in pinned pages.
  EXPECT_TRUE(SecureHeapHolds(MemorySealKeyAt()));
  EXPECT_TRUE(KeptFromSwapAndDumps(MemorySealKeyAt())) << MappingOf(MemorySealKeyAt());
  String opened;
  ASSERT_TRUE(MemoryOpen(before[2], opened));
  EXPECT_TRUE(KeptFromSwapAndDumps(opened.data())) << MappingOf(opened.data());

  // A lock forgets the key: nothing sealed before opens, a new seal does.
  MemorySealForget();
  EXPECT_EQ(nullptr, MemorySealKeyAt());
  for (const ByteArray& sealed : before) EXPECT_FALSE(MemoryOpen(sealed, back));
  EXPECT_EQ(S("after"), TSecret(S("after")).Open());
}

TEST(MemorySeal, OnlySecretFieldsAreSealedAndTheyOpenAndWriteAsTheirValues) {
  const struct {
    const char16_t* name;
    bool secret;
  } fields[] = {{kDescriptionField, false}, {kPasswordField, true},   {kUserNameField, false},
                {kWebAddressField, false},  {kNotesField, true},      {kOneTimeField, true},
                {kHistoryField, true},      {kCreatedField, false}};
  TRecordFields record{7, {}};
  for (const auto& field : fields) record.fields.push_back(TField{field.name, S("value of ") + field.name, {}});
  std::vector<TRecordFields> records{record};
  RecordFieldsSeal(records);
  const TRecordKey key(ByteArray(kGcmKeySize, 3));
  for (size_t i = 0; i < std::size(fields); ++i) {
    const TField& held = records[0].fields[i];
    SCOPED_TRACE(NarrowString(held.name));
    EXPECT_EQ(fields[i].secret, held.value.empty());
    EXPECT_EQ(fields[i].secret, held.stored && held.stored->kind == TStoredKind::Memory);
    String value;
    EXPECT_TRUE(RecordFieldOpen(held, key, value));
    EXPECT_EQ(record.fields[i].value, value);
  }
  // Written, the sealed fields read back as the plaintext ones do.
  const ByteArray fileId(kFileIdSize, 9);
  std::vector<String> sealedLines, plainLines;
  ASSERT_TRUE(FormatRecordLines(records, key, fileId, 1, sealedLines));
  ASSERT_TRUE(FormatRecordLines({record}, key, fileId, 1, plainLines));
  const TRecordFileContent fromSealed = ParseRecordLines(sealedLines, &key);
  const TRecordFileContent fromPlain = ParseRecordLines(plainLines, &key);
  ASSERT_EQ(1u, fromSealed.records.size());
  EXPECT_TRUE(fromSealed.records[0].SameContent(fromPlain.records[0]));
  EXPECT_TRUE(fromSealed.records[0].SameContent(record));
}

}  // namespace
