// Standard Base64 (the "+/" alphabet, "=" padding, no line breaks).
#pragma once

#include <string>
#include <string_view>

namespace qr::http {

// Encodes any bytes; the result has 4 characters for every started group of 3 bytes.
std::string Base64Encode(std::string_view bytes);

}  // namespace qr::http
