#include "http/header_rules.h"

#include <vector>

#include "http/web_request.h"
#include "runtime/text.h"

namespace qr::http {
namespace {

constexpr std::string_view kLineBreak = "\r\n";
constexpr std::string_view kFormContentType = "application/x-www-form-urlencoded";
constexpr std::string_view kUserAgent = "Mozilla/4.0 (compatible; MSIE 9.0; Windows NT 6.1)";

std::string CapitaliseName(std::string_view line) {
  std::string result(line);
  const std::size_t colon = text::Find(line, ":");
  bool startsWord = true;
  for (std::size_t pos = 0; pos < colon; pos += text::CharLength(result, pos)) {
    const bool singleByte = text::CharLength(result, pos) == 1;
    if (startsWord && singleByte) result[pos] = text::ToUpperAscii(result[pos]);
    startsWord = singleByte && result[pos] == '-';
  }
  return result;
}

}  // namespace

std::string HeaderLineName(std::string_view line) {
  const std::size_t colon = text::Find(line, ":");
  return colon == text::npos ? std::string() : text::Trim(line.substr(0, colon));
}

std::string HeaderLineValue(std::string_view line) {
  const std::size_t colon = text::Find(line, ":");
  return colon == text::npos ? std::string() : text::Trim(line.substr(colon + 1));
}

std::string AddDefaultHeaders(std::string_view headers, std::string_view url, int method) {
  std::string result(headers);
  auto addUnlessPresent = [&result](std::string_view name, std::string_view value) {
    const std::string key = std::string(name) + ":";
    if (!text::Contains(result, key, true)) result += std::string(kLineBreak) + key + " " + std::string(value);
  };
  addUnlessPresent("Accept", "*/*");
  addUnlessPresent("Referer", url);
  addUnlessPresent("Accept-Language", "zh-cn");
  addUnlessPresent("User-Agent", kUserAgent);
  if (method == kMethodPost) addUnlessPresent("Content-Type", kFormContentType);
  return result;
}

std::string NormalizeHeaderNames(std::string_view headers) {
  std::vector<std::string> lines;
  for (const std::string& piece : text::Split(headers, kLineBreak)) {
    if (text::Contains(piece, ":")) lines.push_back(CapitaliseName(piece));
  }
  return text::Join(lines, kLineBreak);
}

bool IsSendableHeader(std::string_view name, std::string_view value) {
  constexpr std::string_view kLineEnders("\r\n\0", 3);
  return !name.empty() && name.find_first_of(": \t") == std::string_view::npos &&
         name.find_first_of(kLineEnders) == std::string_view::npos &&
         value.find_first_of(kLineEnders) == std::string_view::npos;
}

void ApplyHeaderText(std::string_view headers, const SetHeaderFunction& setHeader) {
  if (!text::Contains(headers, kLineBreak)) {
    setHeader(HeaderLineName(headers), HeaderLineValue(headers));
    return;
  }
  for (const std::string& line : text::Split(headers, kLineBreak)) {
    if (line.empty()) continue;
    const std::string name = HeaderLineName(line);
    const std::string value = HeaderLineValue(line);
    // The transport keeps connections alive on its own; only this exact line is redundant.
    if (name == "Connection" && value == "keep-alive") continue;
    setHeader(name, value);
  }
}

}  // namespace qr::http
