#include <errno.h>
#include <iconv.h>

#include "runtime/codepage.h"

namespace qr::codepage {
namespace {

// Converts with iconv, replacing what cannot be converted instead of failing:
// an undecodable input sequence is skipped one byte at a time and
// `replacement` (already in the target encoding) stands in for it.
std::string Convert(const char* to, const char* from, std::string_view input, std::string_view replacement,
                    std::size_t unitSize) {
  iconv_t cd = iconv_open(to, from);
  if (cd == reinterpret_cast<iconv_t>(-1)) return {};
  std::string output;
  char buffer[4096];
  char* in = const_cast<char*>(input.data());
  std::size_t inLeft = input.size();
  while (inLeft > 0) {
    char* out = buffer;
    std::size_t outLeft = sizeof buffer;
    const std::size_t rc = iconv(cd, &in, &inLeft, &out, &outLeft);
    output.append(buffer, static_cast<std::size_t>(out - buffer));
    if (rc != static_cast<std::size_t>(-1) || errno == E2BIG) continue;
    // EILSEQ or EINVAL (truncated sequence at the end): replace one input unit.
    output.append(replacement);
    const std::size_t skip = inLeft < unitSize ? inLeft : unitSize;
    in += skip;
    inLeft -= skip;
    iconv(cd, nullptr, nullptr, nullptr, nullptr);
  }
  iconv_close(cd);
  return output;
}

// glibc knows code page 936 under this name; GBK is the same table.
constexpr const char* kGbk = "CP936";
constexpr std::string_view kUtf8Replacement = "\xEF\xBF\xBD";
constexpr std::string_view kUtf16Replacement{"\xFD\xFF", 2};

}  // namespace

std::string Utf8ToGbk(std::string_view utf8) { return Convert(kGbk, "UTF-8", utf8, "?", 1); }

std::string GbkToUtf8(std::string_view gbk) { return Convert("UTF-8", kGbk, gbk, kUtf8Replacement, 1); }

std::u16string GbkToUtf16(std::string_view gbk) {
  const std::string bytes = Convert("UTF-16LE", kGbk, gbk, kUtf16Replacement, 1);
  std::u16string result(bytes.size() / 2, u'\0');
  for (std::size_t i = 0; i < result.size(); ++i) {
    result[i] = static_cast<char16_t>(static_cast<unsigned char>(bytes[2 * i]) |
                                      (static_cast<unsigned char>(bytes[2 * i + 1]) << 8));
  }
  return result;
}

std::string Utf16ToGbk(std::u16string_view utf16) {
  std::string bytes;
  bytes.reserve(utf16.size() * 2);
  for (char16_t unit : utf16) {
    bytes.push_back(static_cast<char>(unit & 0xFF));
    bytes.push_back(static_cast<char>(unit >> 8));
  }
  return Convert(kGbk, "UTF-16LE", bytes, "?", 2);
}

}  // namespace qr::codepage
