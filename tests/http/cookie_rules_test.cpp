#include "http/cookie_rules.h"

#include <gtest/gtest.h>

namespace qr::http {
namespace {

std::string Merged(std::string oldCookies, std::string_view newCookies) {
  const std::string result = MergeCookies(oldCookies, newCookies);
  EXPECT_EQ(result, oldCookies) << "the merge result is stored into the old cookies";
  return result;
}

TEST(CookieName, TrimmedTextBeforeEquals) {
  EXPECT_EQ(CookieName(" sid =a=b"), "sid");
  EXPECT_EQ(CookieName(" flag "), "flag");
  EXPECT_EQ(CookieName(""), "");
}

TEST(PrepareCookieHeader, StripsCookiePrefixesAndWritesBack) {
  std::vector<std::pair<std::string, std::string>> set;
  auto record = [&](const std::string& name, const std::string& value) { set.emplace_back(name, value); };

  std::string cookies = "Cookie: a=1";
  PrepareCookieHeader(cookies, record);
  EXPECT_EQ(cookies, " a=1");
  cookies = "cookie:a=1; COOKIE:b=2";
  PrepareCookieHeader(cookies, record);
  EXPECT_EQ(cookies, "a=1; b=2");
  cookies = "";
  PrepareCookieHeader(cookies, record);
  EXPECT_EQ(set, (std::vector<std::pair<std::string, std::string>>{
                     {"Cookie", " a=1"}, {"Cookie", "a=1; b=2"}, {"Cookie", ""}}));
}

TEST(CollectSetCookies, FirstPairOfEachSetCookieLineInOrder) {
  EXPECT_EQ(CollectSetCookies("Content-Type: text/html\r\nSet-Cookie: theme=dark; path=/; HttpOnly\r\n"
                              "Set-Cookie: lang=zh\r\n"),
            "theme=dark; lang=zh");
  // Only the exact name counts.
  EXPECT_EQ(CollectSetCookies("set-cookie: x=1\r\nSet-Cookie2: y=2\r\nSet-Cookie:z=3"), "");
  EXPECT_EQ(CollectSetCookies(""), "");
  // An empty item is still added, leaving two separators in a row.
  EXPECT_EQ(CollectSetCookies("Set-Cookie: a=1\r\nSet-Cookie: ;x\r\nSet-Cookie: b=2"), "a=1; ; b=2");
}

TEST(MergeCookies, ResponseReplacesAndDeletes) {
  EXPECT_EQ(Merged("a=1; b=2; c=3", "b=9; c=deleted"), "b=9; a=1");
  EXPECT_EQ(Merged("a=1", "a=deleted"), "");
  // An old item already marked deleted vanishes too.
  EXPECT_EQ(Merged("x=deleted; y=1", "z=2"), "z=2; y=1");
  // Names compare exactly.
  EXPECT_EQ(Merged("A=1", "a=2"), "a=2; A=1");
}

TEST(MergeCookies, EmptyTextsSeparatorsAndDuplicates) {
  EXPECT_EQ(Merged("", ""), "");
  EXPECT_EQ(Merged("a=1;", ""), "a=1");
  EXPECT_EQ(Merged("  a=1;  ", "b=2;"), "b=2; a=1");
  EXPECT_EQ(Merged("a=1", "a=1; a=1"), "a=1");
  EXPECT_EQ(Merged("", "k=v"), "k=v");
  // Empty items (bare "Set-Cookie: " lines) never leave a trailing "; ".
  EXPECT_EQ(Merged("", "a=1; ; a=1; "), "a=1");
  EXPECT_EQ(Merged("; ; b=2", "; a=1"), "a=1; b=2");
}

TEST(RemoveDuplicateItems, KeepsFirstOccurrenceInOrder) {
  EXPECT_EQ(RemoveDuplicateItems("b; a; b; c; a", "; "), "b; a; c");
  EXPECT_EQ(RemoveDuplicateItems("a=1; a=2", "; "), "a=1; a=2");
  EXPECT_EQ(RemoveDuplicateItems("", "; "), "");
}

}  // namespace
}  // namespace qr::http
