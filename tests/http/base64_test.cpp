#include "http/base64.h"

#include <gtest/gtest.h>

namespace qr::http {
namespace {

TEST(Base64Encode, PadsTheLastGroup) {
  EXPECT_EQ(Base64Encode(""), "");
  EXPECT_EQ(Base64Encode("M"), "TQ==");
  EXPECT_EQ(Base64Encode("Ma"), "TWE=");
  EXPECT_EQ(Base64Encode("Man"), "TWFu");
  EXPECT_EQ(Base64Encode("Many"), "TWFueQ==");
  EXPECT_EQ(Base64Encode("user:pass"), "dXNlcjpwYXNz");
}

TEST(Base64Encode, BytesAboveSevenBitsAndZeroBytes) {
  // Sign extension of a byte >= 0x80 would leak 1-bits into the neighbours' sextets.
  EXPECT_EQ(Base64Encode("\xFF"), "/w==");
  EXPECT_EQ(Base64Encode("\xFF\xFE\xFD"), "//79");
  EXPECT_EQ(Base64Encode(std::string("\0\x80\0", 3)), "AIAA");
  // A user name in code page 936: "用户" is D3 C3 BB A7.
  EXPECT_EQ(Base64Encode("用户:pw"), "08O7pzpwdw==");
}

TEST(Base64Encode, LongInputHasNoLineBreaks) {
  const std::string encoded = Base64Encode(std::string(1000, 'x'));
  EXPECT_EQ(encoded.size(), 4u * 334u);
  EXPECT_EQ(encoded.find_first_of("\r\n"), std::string::npos);
}

}  // namespace
}  // namespace qr::http
