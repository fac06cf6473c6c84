// Code page 936 <-> UTF-8 / UTF-16 on arbitrary bytes and units.
#include <fuzzer/FuzzedDataProvider.h>

#include "fuzz_check.h"
#include "runtime/codepage.h"

namespace cp = qr::codepage;

namespace {

bool IsValidUtf8(std::string_view s) {
  for (std::size_t i = 0; i < s.size();) {
    const auto lead = static_cast<unsigned char>(s[i]);
    const std::size_t length = lead < 0x80 ? 1 : lead >= 0xF0 ? 4 : lead >= 0xE0 ? 3 : lead >= 0xC2 ? 2 : 0;
    if (length == 0 || i + length > s.size()) return false;
    for (std::size_t k = 1; k < length; ++k) {
      if ((static_cast<unsigned char>(s[i + k]) & 0xC0) != 0x80) return false;
    }
    i += length;
  }
  return true;
}

// Once through Unicode, 936 text is what the code page can hold: a second
// trip changes nothing, and both Unicode roads agree.
void CheckGbk(const std::string& gbk) {
  const std::string utf8 = cp::GbkToUtf8(gbk);
  FUZZ_CHECK(IsValidUtf8(utf8));
  const std::u16string utf16 = cp::GbkToUtf16(gbk);
  const std::string back = cp::Utf8ToGbk(utf8);
  FUZZ_CHECK(cp::Utf16ToGbk(utf16) == back);
  FUZZ_CHECK(cp::Utf8ToGbk(cp::GbkToUtf8(back)) == back);
  FUZZ_CHECK(cp::GbkToUtf16(back) == cp::GbkToUtf16(cp::Utf16ToGbk(cp::GbkToUtf16(back))));
  // Every character the code page has comes back as the same bytes.
  if (utf16.find(u'?') == std::u16string::npos && gbk.find('?') == std::string::npos) {
    FUZZ_CHECK(back == gbk);
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  FuzzedDataProvider input(data, size);
  switch (input.ConsumeIntegralInRange<int>(0, 2)) {
    case 0:
      CheckGbk(input.ConsumeRemainingBytesAsString());
      break;
    case 1: {
      CheckGbk(cp::Utf8ToGbk(input.ConsumeRemainingBytesAsString()));
      break;
    }
    default: {
      std::u16string utf16;
      while (input.remaining_bytes() >= 2) utf16.push_back(input.ConsumeIntegral<char16_t>());
      CheckGbk(cp::Utf16ToGbk(utf16));
      break;
    }
  }
  return 0;
}
