#include "runtime/codepage.h"

#include <gtest/gtest.h>

namespace qr::codepage {
namespace {

// The same Chinese text as UTF-8 bytes (u8 literal) and as code page 936 bytes
// (narrow literals of the program are compiled to code page 936).
const std::string kUtf8 = reinterpret_cast<const char*>(u8"电影：第一集 (HD)");
const std::string kGbk = "电影：第一集 (HD)";

TEST(Codepage, RoundTripIsExact) {
  EXPECT_EQ(kGbk.substr(0, 4), "\xB5\xE7\xD3\xB0");
  EXPECT_EQ(Utf8ToGbk(kUtf8), kGbk);
  EXPECT_EQ(GbkToUtf8(Utf8ToGbk(kUtf8)), kUtf8);
  EXPECT_EQ(Utf16ToGbk(GbkToUtf16(kGbk)), kGbk);
  EXPECT_EQ(GbkToUtf16("\xD6\xD0"), u"\u4E2D");
}

TEST(Codepage, EmptyAndUnconvertibleInput) {
  EXPECT_EQ(Utf8ToGbk(""), "");
  EXPECT_EQ(GbkToUtf16(""), u"");
  // A character that code page 936 lacks becomes a question mark.
  EXPECT_EQ(Utf8ToGbk(reinterpret_cast<const char*>(u8"a\u00C6b")).front(), 'a');
  EXPECT_EQ(Utf8ToGbk(reinterpret_cast<const char*>(u8"a\U0001F600b")).back(), 'b');
  // Invalid UTF-8 does not stop the conversion of what follows.
  EXPECT_EQ(Utf8ToGbk("x\xFFy").back(), 'y');
}

}  // namespace
}  // namespace qr::codepage
