// Cookie texts of the web request: the Cookie header sent, the cookies a
// response sets, and merging those into the caller's cookies.
//
// A cookie text is items "name=value" joined by "; ", in code page 936 bytes.
#pragma once

#include <string>
#include <string_view>

#include "http/header_rules.h"

namespace qr::http {

// The trimmed text before the first "=" of an item, or the whole item trimmed.
std::string CookieName(std::string_view item);

// Removes any "Cookie:" (any letter case) that the caller left in `cookies`,
// storing the cleaned text back, then sets the "Cookie" header to it (an
// empty value when `cookies` is empty).
void PrepareCookieHeader(std::string& cookies, const SetHeaderFunction& setHeader);

// The first name=value pair of every "Set-Cookie" line of a response header
// text, in response order, joined by "; ".
std::string CollectSetCookies(std::string_view responseHeaders);

// Merges the response's cookies into the old ones: an old item whose name the
// response sets again is replaced, items valued "deleted" vanish, and so do
// empty items; repeated items are dropped. The result is stored into
// `oldCookies` and returned.
std::string MergeCookies(std::string& oldCookies, std::string_view newCookies);

// The items of `joined` between `separator`s without any item that equals an
// earlier one, joined again by `separator`.
std::string RemoveDuplicateItems(std::string_view joined, std::string_view separator);

}  // namespace qr::http
