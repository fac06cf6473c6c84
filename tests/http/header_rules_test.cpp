#include "http/header_rules.h"

#include <gtest/gtest.h>

#include <utility>
#include <vector>

namespace qr::http {
namespace {

using Headers = std::vector<std::pair<std::string, std::string>>;

Headers Applied(std::string_view text) {
  Headers set;
  ApplyHeaderText(text, [&](const std::string& name, const std::string& value) { set.emplace_back(name, value); });
  return set;
}

constexpr char kUrl[] = "http://h/p?a=1";
constexpr char kAgent[] = "User-Agent: Mozilla/4.0 (compatible; MSIE 9.0; Windows NT 6.1)";

TEST(HeaderLine, NameAndValueAroundTheFirstColon) {
  EXPECT_EQ(HeaderLineName(" Referer : http://x:8080/a "), "Referer");
  EXPECT_EQ(HeaderLineValue(" Referer : http://x:8080/a "), "http://x:8080/a");
  EXPECT_EQ(HeaderLineName("no colon"), "");
  EXPECT_EQ(HeaderLineValue("no colon"), "");
  EXPECT_EQ(HeaderLineValue("X-Empty:"), "");
  // A colon byte that is the trail of a double-byte character is not a separator.
  EXPECT_EQ(HeaderLineName("\x81\x3A"
                           "a: b"),
            "\x81\x3A"
            "a");
}

TEST(DefaultHeaders, EmptyTextGetsAllFourInOrder) {
  EXPECT_EQ(AddDefaultHeaders("", kUrl, 0),
            std::string("\r\nAccept: */*\r\nReferer: ") + kUrl + "\r\nAccept-Language: zh-cn\r\n" + kAgent);
}

TEST(DefaultHeaders, PresentKeysMatchInAnyCaseAndAnywhere) {
  EXPECT_FALSE(AddDefaultHeaders("accept: text/html", kUrl, 0).find("*/*") != std::string::npos);
  EXPECT_FALSE(AddDefaultHeaders("Accept:text/html", kUrl, 0).find("*/*") != std::string::npos);
  // "Accept:" at the end of another name still counts as present.
  EXPECT_EQ(AddDefaultHeaders("X-Accept: 1", kUrl, 0).find("Accept: */*"), std::string::npos);
  // Without its colon the key is not present.
  EXPECT_NE(AddDefaultHeaders("Accept-Encoding: gzip", kUrl, 0).find("Accept: */*"), std::string::npos);
  const std::string all = std::string("Accept: a\r\nReferer: r\r\nAccept-Language: en\r\n") + kAgent;
  EXPECT_EQ(AddDefaultHeaders(all, kUrl, 0), all);
}

TEST(DefaultHeaders, FormContentTypeOnlyForPost) {
  const std::string form = "Content-Type: application/x-www-form-urlencoded";
  EXPECT_NE(AddDefaultHeaders("", kUrl, 1).find(form), std::string::npos);
  EXPECT_EQ(AddDefaultHeaders("", kUrl, 3).find("Content-Type"), std::string::npos);
  EXPECT_EQ(AddDefaultHeaders("content-type: text/xml", kUrl, 1).find(form), std::string::npos);
}

TEST(NormalizeHeaderNames, CapitalisesNameWordsOnly) {
  EXPECT_EQ(NormalizeHeaderNames("content-type:text/html"), "Content-Type:text/html");
  EXPECT_EQ(NormalizeHeaderNames("x-my--hdr: v"), "X-My--Hdr: v");
  EXPECT_EQ(NormalizeHeaderNames("user-agent: x-y"), "User-Agent: x-y");
  EXPECT_EQ(NormalizeHeaderNames("Connection: keep-alive"), "Connection: keep-alive");
  // Spaces before the name stay, so its first character is the space.
  EXPECT_EQ(NormalizeHeaderNames(" accept: a"), " accept: a");
  // A double-byte character is not folded, nor the letter after it.
  EXPECT_EQ(NormalizeHeaderNames("\xB0\x61-b: v"), "\xB0\x61-B: v");
}

TEST(NormalizeHeaderNames, DropsColonlessAndEmptyLines) {
  EXPECT_EQ(NormalizeHeaderNames("\r\naccept: x"), "Accept: x");
  EXPECT_EQ(NormalizeHeaderNames("nothing here"), "");
  EXPECT_EQ(NormalizeHeaderNames("a: 1\r\n\r\njunk\r\nb: 2\r\n"), "A: 1\r\nB: 2");
  EXPECT_EQ(NormalizeHeaderNames(""), "");
}

TEST(ApplyHeaderText, OneCallPerLineSkippingKeepAlive) {
  EXPECT_EQ(Applied("Connection: keep-alive\r\nX: 1"), (Headers{{"X", "1"}}));
  EXPECT_EQ(Applied("Connection: Keep-Alive\r\nX: 1"), (Headers{{"Connection", "Keep-Alive"}, {"X", "1"}}));
  EXPECT_EQ(Applied("\r\nA: 1\r\n\r\nB: http://u:1/\r\n"), (Headers{{"A", "1"}, {"B", "http://u:1/"}}));
  EXPECT_EQ(Applied("A: 1\r\nstray"), (Headers{{"A", "1"}, {"", ""}}));
}

TEST(IsSendableHeader, RefusesWhatWouldBreakTheLine) {
  EXPECT_TRUE(IsSendableHeader("Cookie", ""));
  EXPECT_TRUE(IsSendableHeader("Referer", "http://h:1/a b"));
  EXPECT_TRUE(IsSendableHeader("X", "中文"));
  EXPECT_FALSE(IsSendableHeader("", "v"));
  EXPECT_FALSE(IsSendableHeader("X Y", "v"));
  EXPECT_FALSE(IsSendableHeader("X:Y", "v"));
  EXPECT_FALSE(IsSendableHeader("X", "a\r\nInjected: 1"));
  EXPECT_FALSE(IsSendableHeader("X", "a\nInjected: 1"));
  EXPECT_FALSE(IsSendableHeader("X", std::string("a\0b", 3)));
  EXPECT_FALSE(IsSendableHeader("X\r", "v"));
}

TEST(ApplyHeaderText, TextWithoutLineBreakIsOneHeader) {
  EXPECT_EQ(Applied("Connection: keep-alive"), (Headers{{"Connection", "keep-alive"}}));
  EXPECT_EQ(Applied(""), (Headers{{"", ""}}));
}

}  // namespace
}  // namespace qr::http
