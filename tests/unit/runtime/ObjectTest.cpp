#include <gtest/gtest.h>

#include "runtime/HandleTable.h"
#include "runtime/Object.h"

TEST(HandleTable, HandlesAreStableNonZeroAndFindNothingOnceReleased) {
  EXPECT_EQ(HandleFromObject(nullptr), 0);
  EXPECT_EQ(HandleToObject(0), nullptr);
  auto a = New<TObject>();
  auto b = New<TObject>();
  int32_t ha = HandleFromObject(a);
  int32_t hb = HandleFromObject(b);
  EXPECT_GT(ha, 0);
  EXPECT_NE(ha, hb);
  EXPECT_EQ(HandleFromObject(a), ha);
  EXPECT_EQ(HandleToObject(ha), a);
  a.reset();
  EXPECT_EQ(HandleToObject(ha), nullptr);
  // A new object never inherits an old handle.
  auto c = New<TObject>();
  EXPECT_NE(HandleFromObject(c), ha);
  EXPECT_EQ(HandleToObject(hb), b);
  EXPECT_EQ(HandleToObject(-4), nullptr);
  EXPECT_EQ(HandleToObject(1 << 30), nullptr);
}

TEST(Strings, NarrowingKeepsLowBitsAndWideningKeepsByteValues) {
  String text{u'a', u'\u01ff', u'\u00ff'};
  EXPECT_EQ(NarrowString(text), std::string("a\xff\xff"));
  EXPECT_EQ(WidenString(std::string("\x00\x80", 2)), (String{u'\0', u'\u0080'}));
  EXPECT_EQ(StringOfObject(MakeStringObject(S("x"))), S("x"));
  EXPECT_EQ(StringOfObject(New<TObject>()), String());
  EXPECT_EQ(IntToString(-2147483648LL), S("-2147483648"));
}
