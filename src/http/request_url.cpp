#include "http/request_url.h"

#include "runtime/codepage.h"

namespace qr::http {
namespace {

constexpr std::string_view kUnsafeInPath = "\"<>[\\]^`{|}";

bool NeedsEscape(unsigned char byte) {
  return byte <= 0x20 || byte >= 0x7F || kUnsafeInPath.find(static_cast<char>(byte)) != std::string_view::npos;
}

// Where the path (or the query, when there is no path) begins.
std::size_t PathStart(std::string_view url) {
  const std::size_t scheme = url.find("://");
  const std::size_t authority = scheme == std::string_view::npos ? 0 : scheme + 3;
  const std::size_t end = url.find_first_of("/?#", authority);
  return end == std::string_view::npos ? url.size() : end;
}

}  // namespace

std::string RequestUrl(std::string_view address) {
  const std::string utf8 = codepage::GbkToUtf8(address);
  const std::size_t pathStart = PathStart(utf8);
  std::string result = utf8.substr(0, pathStart);
  result.reserve(utf8.size() + 16);
  constexpr char kHex[] = "0123456789ABCDEF";
  for (std::size_t i = pathStart; i < utf8.size(); ++i) {
    const auto byte = static_cast<unsigned char>(utf8[i]);
    if (NeedsEscape(byte)) {
      result.push_back('%');
      result.push_back(kHex[byte >> 4]);
      result.push_back(kHex[byte & 0x0F]);
    } else {
      result.push_back(static_cast<char>(byte));
    }
  }
  return result;
}

}  // namespace qr::http
