#include "http/cookie_rules.h"

#include <algorithm>
#include <vector>

#include "runtime/text.h"

namespace qr::http {
namespace {

constexpr std::string_view kItemSeparator = "; ";
constexpr std::string_view kSetCookieMarker = "Set-Cookie:";
constexpr std::string_view kDeletedSuffix = "=deleted";

// Trimmed, and a text ending in ";" gets the space that makes it split cleanly.
std::vector<std::string> CookieItems(std::string_view cookies) {
  std::string trimmed = text::Trim(cookies);
  if (text::EndsWith(trimmed, ";")) trimmed += ' ';
  return text::Split(trimmed, kItemSeparator);
}

bool HasItemNamed(const std::vector<std::string>& items, const std::string& name) {
  return std::any_of(items.begin(), items.end(), [&](const std::string& item) { return CookieName(item) == name; });
}

}  // namespace

std::string CookieName(std::string_view item) {
  const std::size_t equals = text::Find(item, "=");
  return text::Trim(equals == text::npos ? item : item.substr(0, equals));
}

void PrepareCookieHeader(std::string& cookies, const SetHeaderFunction& setHeader) {
  if (!cookies.empty() && text::Contains(cookies, "Cookie:", true)) cookies = text::RemoveAll(cookies, "Cookie:", true);
  setHeader("Cookie", cookies);
}

std::string CollectSetCookies(std::string_view responseHeaders) {
  std::string cookies;
  for (const std::string& line : text::Split(responseHeaders, "\r\n")) {
    if (text::TextBefore(line, ": ") != "Set-Cookie") continue;
    const std::string item = text::Contains(line, ";") ? text::TextBetween(line, kSetCookieMarker, ";")
                                                       : text::RemoveAll(line, kSetCookieMarker, true);
    cookies += text::Trim(item);
    cookies += kItemSeparator;
  }
  if (text::EndsWith(cookies, kItemSeparator)) cookies.resize(cookies.size() - kItemSeparator.size());
  return cookies;
}

std::string MergeCookies(std::string& oldCookies, std::string_view newCookies) {
  std::vector<std::string> items = CookieItems(newCookies);
  for (const std::string& oldItem : CookieItems(oldCookies)) {
    if (!HasItemNamed(items, CookieName(oldItem))) items.push_back(oldItem);
  }
  std::string merged;
  for (const std::string& item : items) {
    // An empty item (a bare "Set-Cookie: ", or "; ; " in the old text) names no
    // cookie; kept, it could end the header in a dangling "; ".
    if (item.empty() || text::LastBytes(item, kDeletedSuffix.size()) == kDeletedSuffix) continue;
    merged += item;
    merged += kItemSeparator;
  }
  if (!merged.empty()) merged.resize(merged.size() - kItemSeparator.size());
  oldCookies = RemoveDuplicateItems(merged, kItemSeparator);
  return oldCookies;
}

std::string RemoveDuplicateItems(std::string_view joined, std::string_view separator) {
  std::vector<std::string> kept;
  for (std::string& item : text::Split(joined, separator)) {
    if (std::find(kept.begin(), kept.end(), item) == kept.end()) kept.push_back(std::move(item));
  }
  return text::Join(kept, separator);
}

}  // namespace qr::http
