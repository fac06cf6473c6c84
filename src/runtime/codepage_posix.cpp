// Code page 936 as Windows has it, on a system without it: glibc's GBK table
// (read once through iconv) plus the private-use and best-fit mappings that
// only Windows has, and Windows' rules for what cannot be converted.
#include <iconv.h>

#include <array>
#include <cstdint>
#include <memory>

#include "runtime/codepage.h"

namespace qr::codepage {
namespace {

struct PrivateUseRun {
  std::uint16_t code;
  std::uint16_t character;
  std::uint16_t length;
};
struct BestFit {
  std::uint16_t character;
  std::uint16_t code;
};
#include "runtime/codepage_936_extras.inc"

constexpr char16_t kReplacement = u'\uFFFD';
constexpr char kDefaultByte = '?';
// Windows' single byte 0xFF; glibc leaves it undefined.
constexpr char16_t kByteFF = u'\uF8F5';
// The single byte 0x80.
constexpr char16_t kEuro = u'\u20AC';

class Cp936Tables {
 public:
  Cp936Tables()
      : decode_(std::make_unique<std::array<char16_t, kDecodeSize>>()),
        encode_(std::make_unique<std::array<std::uint16_t, 0x10000>>()) {
    decode_->fill(0);
    encode_->fill(0);
    ReadGlibcTable();
    for (const auto& run : kPrivateUseRuns) {
      for (std::uint16_t i = 0; i < run.length; ++i) Map(run.code + i, static_cast<char16_t>(run.character + i));
    }
    (*encode_)[kByteFF] = 0xFF;
    (*encode_)[kEuro] = 0x80;
    for (const auto& fit : kBestFits) (*encode_)[fit.character] = fit.code;
  }

  // The character of a two-byte code; 0 when Windows has none for it.
  char16_t Decode(unsigned char lead, unsigned char trail) const { return (*decode_)[Index(lead, trail)]; }
  // The code of a character (a value below 0x100 is one byte); 0 when there is none.
  std::uint16_t Encode(char16_t character) const { return (*encode_)[character]; }

 private:
  static constexpr std::size_t kDecodeSize = 0x7E * 0x100;
  static std::size_t Index(unsigned char lead, unsigned char trail) { return (lead - 0x81u) * 0x100u + trail; }

  void Map(std::uint16_t code, char16_t character) {
    (*decode_)[Index(static_cast<unsigned char>(code >> 8), static_cast<unsigned char>(code & 0xFF))] = character;
    (*encode_)[character] = code;
  }

  void ReadGlibcTable() {
    iconv_t cd = iconv_open("UTF-16LE", "CP936");
    if (cd == reinterpret_cast<iconv_t>(-1)) return;
    for (unsigned lead = 0x81; lead <= 0xFE; ++lead) {
      for (unsigned trail = 0x40; trail <= 0xFE; ++trail) {
        char in[2] = {static_cast<char>(lead), static_cast<char>(trail)};
        unsigned char out[4];
        char* inPtr = in;
        char* outPtr = reinterpret_cast<char*>(out);
        std::size_t inLeft = 2;
        std::size_t outLeft = sizeof out;
        iconv(cd, nullptr, nullptr, nullptr, nullptr);
        if (iconv(cd, &inPtr, &inLeft, &outPtr, &outLeft) == static_cast<std::size_t>(-1) || inLeft != 0 ||
            outLeft != 2)
          continue;
        Map(static_cast<std::uint16_t>(lead << 8 | trail), static_cast<char16_t>(out[0] | out[1] << 8));
      }
    }
    iconv_close(cd);
  }

  std::unique_ptr<std::array<char16_t, kDecodeSize>> decode_;
  std::unique_ptr<std::array<std::uint16_t, 0x10000>> encode_;
};

const Cp936Tables& Tables() {
  static const Cp936Tables tables;
  return tables;
}

// UTF-8 as Windows decodes it: a sequence is checked byte by byte, and where
// it goes wrong the bytes read so far become one U+FFFD; a byte that cannot
// start a sequence is one U+FFFD of its own.
std::u16string DecodeUtf8(std::string_view utf8) {
  std::u16string result;
  result.reserve(utf8.size());
  std::size_t pos = 0;
  auto continuation = [&](std::size_t at, std::uint32_t& value) {
    if (at >= utf8.size()) return false;
    const auto byte = static_cast<unsigned char>(utf8[at]);
    if ((byte & 0xC0) != 0x80) return false;
    value = value << 6 | (byte & 0x3F);
    return true;
  };
  while (pos < utf8.size()) {
    const auto lead = static_cast<unsigned char>(utf8[pos++]);
    if (lead < 0x80) {
      result.push_back(lead);
      continue;
    }
    std::uint32_t value = 0;
    bool valid = false;
    if (lead >= 0xC2 && lead <= 0xDF) {
      value = lead & 0x1F;
      valid = continuation(pos, value) && (++pos, true);
    } else if (lead >= 0xE0 && lead <= 0xEF) {
      value = lead & 0x0F;
      // Overlong forms and surrogates show after the second byte.
      if (continuation(pos, value) && (++pos, value >= 0x20 && (value < 0x360 || value > 0x37F))) {
        valid = continuation(pos, value) && (++pos, true);
      }
    } else if (lead >= 0xF0 && lead <= 0xF4) {
      value = lead & 0x07;
      if (continuation(pos, value) && (++pos, value >= 0x10 && value < 0x110)) {
        valid = continuation(pos, value) && (++pos, true) && continuation(pos, value) && (++pos, true);
      }
    }
    if (!valid) {
      result.push_back(kReplacement);
    } else if (value >= 0x10000) {
      value -= 0x10000;
      result.push_back(static_cast<char16_t>(0xD800 | value >> 10));
      result.push_back(static_cast<char16_t>(0xDC00 | (value & 0x3FF)));
    } else {
      result.push_back(static_cast<char16_t>(value));
    }
  }
  return result;
}

std::string EncodeUtf8(std::u16string_view utf16) {
  std::string result;
  result.reserve(utf16.size() * 3);
  for (std::size_t i = 0; i < utf16.size(); ++i) {
    std::uint32_t value = utf16[i];
    if (value >= 0xD800 && value <= 0xDBFF && i + 1 < utf16.size() && utf16[i + 1] >= 0xDC00 &&
        utf16[i + 1] <= 0xDFFF) {
      value = 0x10000 + ((value - 0xD800) << 10) + (utf16[++i] - 0xDC00);
    } else if (value >= 0xD800 && value <= 0xDFFF) {
      value = kReplacement;
    }
    if (value < 0x80) {
      result.push_back(static_cast<char>(value));
    } else if (value < 0x800) {
      result.push_back(static_cast<char>(0xC0 | value >> 6));
      result.push_back(static_cast<char>(0x80 | (value & 0x3F)));
    } else if (value < 0x10000) {
      result.push_back(static_cast<char>(0xE0 | value >> 12));
      result.push_back(static_cast<char>(0x80 | (value >> 6 & 0x3F)));
      result.push_back(static_cast<char>(0x80 | (value & 0x3F)));
    } else {
      result.push_back(static_cast<char>(0xF0 | value >> 18));
      result.push_back(static_cast<char>(0x80 | (value >> 12 & 0x3F)));
      result.push_back(static_cast<char>(0x80 | (value >> 6 & 0x3F)));
      result.push_back(static_cast<char>(0x80 | (value & 0x3F)));
    }
  }
  return result;
}

}  // namespace

// A lead byte takes the byte after it (all but a zero byte) whether or not
// the pair has a character: an unknown pair, and a lead byte at the end, give
// one '?', as Windows does.
std::u16string GbkToUtf16(std::string_view gbk) {
  const Cp936Tables& tables = Tables();
  std::u16string result;
  result.reserve(gbk.size());
  for (std::size_t pos = 0; pos < gbk.size(); ++pos) {
    const auto byte = static_cast<unsigned char>(gbk[pos]);
    if (byte < 0x80) {
      result.push_back(byte);
    } else if (byte == 0x80) {
      result.push_back(kEuro);
    } else if (byte == 0xFF) {
      result.push_back(kByteFF);
    } else if (pos + 1 < gbk.size() && gbk[pos + 1] != '\0') {
      const char16_t character = tables.Decode(byte, static_cast<unsigned char>(gbk[++pos]));
      result.push_back(character != 0 ? character : u'?');
    } else {
      result.push_back(u'?');
    }
  }
  return result;
}

// One '?' for every UTF-16 unit without a code, so a character outside the
// basic plane gives two.
std::string Utf16ToGbk(std::u16string_view utf16) {
  const Cp936Tables& tables = Tables();
  std::string result;
  result.reserve(utf16.size() * 2);
  for (char16_t unit : utf16) {
    const std::uint16_t code = unit < 0x80 ? unit : tables.Encode(unit);
    if (unit >= 0x80 && code == 0) {
      result.push_back(kDefaultByte);
    } else if (code > 0xFF) {
      result.push_back(static_cast<char>(code >> 8));
      result.push_back(static_cast<char>(code & 0xFF));
    } else {
      result.push_back(static_cast<char>(code));
    }
  }
  return result;
}

std::string Utf8ToGbk(std::string_view utf8) { return Utf16ToGbk(DecodeUtf8(utf8)); }

std::string GbkToUtf8(std::string_view gbk) { return EncodeUtf8(GbkToUtf16(gbk)); }

}  // namespace qr::codepage
