#include "http/base64.h"

namespace qr::http {

std::string Base64Encode(std::string_view bytes) {
  static constexpr char kAlphabet[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";
  std::string encoded;
  encoded.reserve((bytes.size() + 2) / 3 * 4);
  for (std::size_t pos = 0; pos < bytes.size(); pos += 3) {
    const std::size_t count = bytes.size() - pos < 3 ? bytes.size() - pos : 3;
    // Bytes are taken unsigned so that values above 0x7F do not sign-extend into the group.
    unsigned group = static_cast<unsigned char>(bytes[pos]) << 16;
    if (count > 1) group |= static_cast<unsigned char>(bytes[pos + 1]) << 8;
    if (count > 2) group |= static_cast<unsigned char>(bytes[pos + 2]);
    encoded += kAlphabet[(group >> 18) & 0x3F];
    encoded += kAlphabet[(group >> 12) & 0x3F];
    encoded += count > 1 ? kAlphabet[(group >> 6) & 0x3F] : '=';
    encoded += count > 2 ? kAlphabet[group & 0x3F] : '=';
  }
  return encoded;
}

}  // namespace qr::http
