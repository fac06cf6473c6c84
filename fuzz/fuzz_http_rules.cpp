// The cookie and request header rules on arbitrary texts.
#include <fuzzer/FuzzedDataProvider.h>

#include <algorithm>
#include <vector>

#include "fuzz_check.h"
#include "runtime/text.h"
#include "http/cookie_rules.h"
#include "http/header_rules.h"

namespace http = qr::http;
namespace text = qr::text;

namespace {

void CheckCookies(const std::string& oldCookies, const std::string& response) {
  std::string cookies = oldCookies;
  int calls = 0;
  http::PrepareCookieHeader(cookies, [&](const std::string& name, const std::string& value) {
    FUZZ_CHECK(name == "Cookie" && value == cookies);
    ++calls;
  });
  FUZZ_CHECK(calls == 1);

  const std::string collected = http::CollectSetCookies(response);
  FUZZ_CHECK(!text::Contains(collected, "\r\n"));
  std::string merged = oldCookies;
  const std::string result = http::MergeCookies(merged, collected);
  FUZZ_CHECK(merged == result);
  // No item twice, and none valued "deleted".
  const auto items = text::Split(result, "; ");
  for (std::size_t i = 0; i < items.size(); ++i) {
    FUZZ_CHECK(std::find(items.begin() + static_cast<std::ptrdiff_t>(i) + 1, items.end(), items[i]) == items.end());
    FUZZ_CHECK(!items[i].ends_with("=deleted"));
  }
  FUZZ_CHECK(http::RemoveDuplicateItems(result, "; ") == result);
  const std::string name = http::CookieName(oldCookies);
  FUZZ_CHECK(text::Trim(name) == name);
}

void CheckHeaders(const std::string& headers, const std::string& url, int method) {
  const std::string normalized = http::NormalizeHeaderNames(headers);
  FUZZ_CHECK(http::NormalizeHeaderNames(normalized) == normalized);
  for (const auto& line : text::Split(normalized, "\r\n")) FUZZ_CHECK(text::Contains(line, ":"));

  const std::string withDefaults = http::AddDefaultHeaders(headers, url, method);
  FUZZ_CHECK(text::StartsWith(withDefaults, headers));
  FUZZ_CHECK(http::AddDefaultHeaders(withDefaults, url, method) == withDefaults);

  http::ApplyHeaderText(withDefaults, [](const std::string& name, const std::string& value) {
    FUZZ_CHECK(!text::Contains(name, ":") && text::Trim(name) == name && text::Trim(value) == value);
    // A name or value that could break the request line apart is never sendable.
    if (http::IsSendableHeader(name, value)) {
      FUZZ_CHECK(name.find_first_of("\r\n") == std::string::npos && value.find_first_of("\r\n") == std::string::npos);
    }
  });
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  FuzzedDataProvider input(data, size);
  const int method = input.ConsumeIntegralInRange<int>(0, 1);
  const std::string url = input.ConsumeRandomLengthString(40);
  const std::string oldCookies = input.ConsumeRandomLengthString(80);
  const std::string rest = input.ConsumeRemainingBytesAsString();
  CheckCookies(oldCookies, rest);
  CheckHeaders(rest, url, method);
  return 0;
}
