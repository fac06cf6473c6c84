#include "runtime/text.h"

#include <gtest/gtest.h>

namespace qr::text {
namespace {

// "中" is D6 D0 and "是" is CA C7 in code page 936; "\xB0\x41" is a character
// whose trail byte is the ASCII letter A.
TEST(TextFind, StepsOverBothBytesOfADoubleByteCharacter) {
  const std::string text =
      "\xB0\x41"
      "BC";
  EXPECT_EQ(Find(text, "AB"), npos);  // "A" exists only as the trail byte
  EXPECT_EQ(Find(text, "BC"), 2u);
  // "\xD6\xD0" followed by "\xCA\xC7": the middle pair D0 CA must not match.
  EXPECT_EQ(Find("中是", "\xD0\xCA"), npos);
  EXPECT_EQ(Find("中是", "是"), 2u);
  EXPECT_FALSE(Contains("\xB0\x41", "a", true));
}

TEST(TextFind, CaseFoldingTouchesAsciiOnly) {
  EXPECT_EQ(Find("x-Accept: 1", "ACCEPT:", 0, true), 2u);
  EXPECT_EQ(Find("x-Accept: 1", "ACCEPT:"), npos);
  // 0xC1 and 0xE1 differ by 0x20 like a letter pair but must not be folded.
  EXPECT_EQ(Find("\xC1\xA1", "\xE1\xA1", 0, true), npos);
  // Trail bytes 0x61 and 0x41 look like 'a' and 'A' but belong to two different characters.
  EXPECT_EQ(Find("\x81\x61", "\x81\x41", 0, true), npos);
  EXPECT_EQ(ReplaceAll("\x81\x61x", "\x81\x41", "-", true), "\x81\x61x");
  EXPECT_EQ(ToUpperAscii("ab\xB0\x61z"), "AB\xB0\x61Z");
  EXPECT_EQ(ToLowerAscii("AB\xB0\x41Z"), "ab\xB0\x41z");
  EXPECT_EQ(ToUpperAscii('q'), 'Q');
  EXPECT_EQ(ToLowerAscii('Q'), 'q');
  EXPECT_EQ(ToUpperAscii('\xE1'), '\xE1');
  EXPECT_EQ(ToLowerAscii('@'), '@');
  EXPECT_EQ(ToUpperAscii('{'), '{');
}

TEST(TextFind, EqualityIgnoringCaseFoldsAsciiLettersOnly) {
  EXPECT_TRUE(EqualsIgnoringCase("Content-TYPE", "content-type"));
  EXPECT_TRUE(EqualsIgnoringCase("", ""));
  EXPECT_FALSE(EqualsIgnoringCase("Accept", "Accept-Language"));
  EXPECT_FALSE(EqualsIgnoringCase("Accept-Language", "Accept"));
  EXPECT_TRUE(EqualsIgnoringCase("编辑框_目录", "编辑框_目录"));
  // Trail bytes 0x61 and 0x41 look like 'a' and 'A' but belong to two different characters.
  EXPECT_FALSE(EqualsIgnoringCase("x\x81\x61", "X\x81\x41"));
  EXPECT_FALSE(EqualsIgnoringCase("\xC1", "\xE1"));
}

TEST(TextFind, EmptyMarkerAndStartPosition) {
  EXPECT_EQ(Find("abc", ""), 0u);
  EXPECT_EQ(Find("", ""), npos);
  EXPECT_EQ(Find("abcabc", "a", 1), 3u);
}

TEST(TextFind, LastOccurrenceOnlyAtACharacterBoundary) {
  EXPECT_EQ(FindLast("a/b/c", "/"), 3u);
  EXPECT_EQ(FindLast("abc", "/"), npos);
  EXPECT_EQ(FindLast("abc", ""), npos);
  // The trail byte of 乗 is '\': the last real separator is the first one.
  EXPECT_EQ(FindLast("a\\乗", "\\"), 1u);
  EXPECT_EQ(FindLast("x.TS.ts", ".TS", true), 4u);
}

TEST(TextSplit, KeepsInnerEmptyPiecesButNoTrailingOne) {
  EXPECT_EQ(Split("a,,b", ","), (std::vector<std::string>{"a", "", "b"}));
  EXPECT_EQ(Split("a\r\nb\r\n", "\r\n"), (std::vector<std::string>{"a", "b"}));
  EXPECT_EQ(Split(",a", ","), (std::vector<std::string>{"", "a"}));
  EXPECT_EQ(Split("a,,", ","), (std::vector<std::string>{"a", ""}));
  EXPECT_TRUE(Split("", ",").empty());
  // A separator byte inside a double-byte character does not split it.
  EXPECT_EQ(Split("\x81\x2C,x", ","), (std::vector<std::string>{"\x81\x2C", "x"}));
}

TEST(TextReplace, NonOverlappingAndCaseOptions) {
  EXPECT_EQ(ReplaceAll("aaa", "aa", "b"), "ba");
  EXPECT_EQ(ReplaceAll("Cookie: a=1; cookie:b", "cookie:", "", true), " a=1; b");
  EXPECT_EQ(ReplaceAll("Cookie: a=1", "cookie:", ""), "Cookie: a=1");
  EXPECT_EQ(ReplaceAll("say #引号hi#引号", "#引号", "\""), "say \"hi\"");
  EXPECT_EQ(ReplaceAll("abc", "", "x"), "abc");
}

TEST(TextTrim, AsciiAndFullWidthSpacesOnly) {
  EXPECT_EQ(Trim("\xA1\xA1 中文 \xA1\xA1"), "中文");
  EXPECT_EQ(Trim("\ta \r\n"), "\ta \r\n");
  EXPECT_EQ(Trim("   "), "");
  // "\xB0\xA1" ends in A1 but is not a space; nor is the A1 pair straddling two characters.
  EXPECT_EQ(Trim("\xB0\xA1\xA1\xA1"), "\xB0\xA1");
  EXPECT_EQ(Trim("x\xB0\xA1"), "x\xB0\xA1");
}

TEST(TextTrim, TrailingCharactersOfASetWithoutSplittingACharacter) {
  EXPECT_EQ(TrimEndOf("a. . ", ". "), "a");
  EXPECT_EQ(TrimEndOf(" .a. ", ". "), " .a");
  EXPECT_EQ(TrimEndOf("...", ". "), "");
  // The trail byte of 乗 is a backslash: only the real one after it goes.
  EXPECT_EQ(TrimEndOf("乗\\", "\\"), "乗");
}

TEST(TextBetweenTest, ReadsOneLineValue) {
  EXPECT_EQ(TextBetween("a=1\r\nb=2\r\n", "b=", "\r\n"), "2");
  EXPECT_EQ(TextBetween("a=1\r\nb=2\r\n", "c=", "\r\n"), "");
  EXPECT_EQ(TextBetween("a=1\r\nb=2", "b=", "\r\n"), "");
  EXPECT_EQ(TextBetween("a=\r\n", "a=", "\r\n"), "");
  EXPECT_EQ(TextBetween("k=\"v\"", "k=#引号", "#引号"), "v");
  EXPECT_EQ(TextBetween("A=1;a=2;", "a=", ";", 0, true), "1");
  EXPECT_EQ(TextBetween("a=1;a=2;", "a=", ";", 2), "2");
  EXPECT_EQ(TextBetween("abc", "", "c"), "ab");
}

TEST(TextSmallHelpers, BeforeLastBytesAndNumbers) {
  EXPECT_EQ(TextBefore("Set-Cookie: a=1", ": "), "Set-Cookie");
  EXPECT_EQ(TextBefore("no separator", ": "), "");
  EXPECT_EQ(LastBytes("1<|>20", 2), "20");
  EXPECT_EQ(LastBytes("5", 2), "5");
  EXPECT_EQ(ToInt32("99"), 99);
  EXPECT_EQ(ToInt32(">5"), 0);
  EXPECT_EQ(ToInt32(""), 0);
  EXPECT_EQ(ToInt32(" -12x"), -12);
  EXPECT_EQ(ToInt32("99999999999"), 2147483647);
  EXPECT_EQ(UpToNul(std::string("ab\0cd", 5)), "ab");
}

TEST(TextSmallHelpers, PrefixAndSuffixOnlyAtCharacterBoundaries) {
  EXPECT_TRUE(StartsWith("Set-Cookie: a", "Set-"));
  EXPECT_FALSE(StartsWith("Se", "Set-"));
  EXPECT_TRUE(EndsWith("a; ", "; "));
  EXPECT_TRUE(EndsWith("x", ""));
  EXPECT_FALSE(EndsWith("; ", "a; "));
  EXPECT_TRUE(EndsWith("电影\\", "\\"));
  EXPECT_TRUE(EndsWith("\x95\x5C\\", "\\"));
  // "\x95\x5C" is one character whose trail byte is a backslash.
  EXPECT_FALSE(EndsWith("d:\\\x95\x5C", "\\"));
  EXPECT_FALSE(EndsWith("\x95\x5C", "\\"));
  EXPECT_TRUE(EndsWith("a\x95\x5C", "\x95\x5C"));
}

TEST(TextSmallHelpers, HalfACharacterAtTheEnd) {
  for (const std::string_view whole : {"", "a", "电影", "\x95\x5C", "a\x95\x5C"})
    EXPECT_FALSE(EndsInsideCharacter(whole));
  for (const std::string_view half : {"\x83", "a\x83", "电影\xB0", "\x95\x5C\x95"})
    EXPECT_TRUE(EndsInsideCharacter(half));
}

TEST(TextSmallHelpers, LineEndsBecomeCrLf) {
  const struct {
    const char* in;
    const char* out;
  } cases[] = {
      {"a\r\nb", "a\r\nb"},       {"a\nb\n", "a\r\nb\r\n"}, {"a\rb", "a\r\nb"},
      {"a\n\r\nb", "a\r\n\r\nb"}, {"\r\r\n", "\r\n\r\n"},   {"中\n文", "中\r\n文"},
  };
  for (const auto& c : cases) EXPECT_EQ(WithCrLfLineEnds(c.in), c.out) << c.in;
}

TEST(TextSmallHelpers, FirstBytesNeverSplitsACharacter) {
  EXPECT_EQ(FirstBytes("abc", 5), "abc");
  EXPECT_EQ(FirstBytes("abc", 2), "ab");
  EXPECT_EQ(FirstBytes("a年月", 3), "a年");
  EXPECT_EQ(FirstBytes("a年月", 4), "a年");
  EXPECT_EQ(FirstBytes("年", 1), "");
  // A lone lead byte at the very end counts as one byte.
  EXPECT_EQ(FirstBytes("ab\xC4", 3), "ab\xC4");
}

}  // namespace
}  // namespace qr::text
