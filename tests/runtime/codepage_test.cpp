#include "runtime/codepage.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <string>

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

namespace qr::codepage {
namespace {

// FNV-1a over every code of the code page and what it converts to: both
// builds must arrive at the same value, the one the Windows converters give.
std::uint64_t Mix(std::uint64_t hash, std::uint32_t value) {
  for (int shift = 0; shift < 32; shift += 8) hash = (hash ^ ((value >> shift) & 0xFF)) * 0x100000001B3ull;
  return hash;
}

TEST(Codepage, WholeTableMatchesWindows) {
  std::uint64_t decoded = 0xCBF29CE484222325ull;
  std::uint64_t encoded = decoded;
  auto decode = [&](const std::string& bytes) {
    const std::u16string text = GbkToUtf16(bytes);
    decoded = Mix(decoded, static_cast<std::uint32_t>(text.size()));
    for (char16_t unit : text) decoded = Mix(decoded, unit);
  };
  for (int byte = 0; byte <= 0xFF; ++byte) decode(std::string(1, static_cast<char>(byte)));
  for (int lead = 0x81; lead <= 0xFE; ++lead) {
    for (int trail = 0x40; trail <= 0xFE; ++trail) decode({static_cast<char>(lead), static_cast<char>(trail)});
  }
  for (char32_t unit = 1; unit <= 0xFFFF; ++unit) {
    if (unit >= 0xD800 && unit <= 0xDFFF) continue;
    const std::string bytes = Utf16ToGbk(std::u16string(1, static_cast<char16_t>(unit)));
    encoded = Mix(encoded, static_cast<std::uint32_t>(bytes.size()));
    for (char byte : bytes) encoded = Mix(encoded, static_cast<unsigned char>(byte));
  }
  EXPECT_EQ(decoded, 0x8084BCB6AB125B24ull) << std::hex << decoded;
  EXPECT_EQ(encoded, 0x6387E7C91A1BD005ull) << std::hex << encoded;
}

TEST(Codepage, WindowsResultsForOddInput) {
  struct Case {
    std::string gbk;
    std::u16string utf16;
  };
  const Case decodes[] = {
      {"\xAA\xA1", u"\uE000"},
      {"\xFE\x50", u"\uE815"},
      {"\x80\x41",
       u"\u20AC"
       u"A"},
      {"\xFF", u"\uF8F5"},
      {"\x81\x7F", u"?"},
      {"a\x81", u"a?"},
      {"\x81\x20\x41", u"?A"},
      {std::string("\x81\0", 2), std::u16string(u"?\0", 2)},
  };
  for (const Case& c : decodes) EXPECT_EQ(GbkToUtf16(c.gbk), c.utf16) << c.gbk;

  struct Utf8Case {
    const char* utf8;
    std::string gbk;
  };
  const Utf8Case encodes[] = {
      {"\xED\x95\x9C", "?"},       {"\xF0\x9F\x98\x80", "??"},   {"x\xFFy", "x?y"},
      {"\xE4\xBD", "?"},           {"\xE4\xBDy", "?y"},          {"\xC0\xAF", "??"},
      {"\xED\xA0\x80", "??"},      {"\xE0\x80\xAF", "??"},       {"\xF4\x90\x80\x80", "???"},
      {"\xF0\x8F\xBF\xBF", "???"}, {"\xE2\x82\xAC", "\x80"},     {"\xC2\xA2", "\xA1\xE9"},
      {"\xC2\xAA", "a"},           {"\xEE\x80\x80", "\xAA\xA1"}, {"\xE4\xBD\xA0\xA0", "\xC4\xE3?"},
  };
  for (const Utf8Case& c : encodes) EXPECT_EQ(Utf8ToGbk(c.utf8), c.gbk) << c.utf8;
  EXPECT_EQ(Utf16ToGbk(u"\xD83D"), "?");
}

}  // namespace
}  // namespace qr::codepage
