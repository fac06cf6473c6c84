// The request header text: its default lines, name capitalisation and how it
// turns into individual header settings.
//
// A header text is lines separated by CR LF, each a name, a colon and a value,
// in code page 936 bytes.
#pragma once

#include <functional>
#include <string>
#include <string_view>

namespace qr::http {

// Sets one request header on whatever carries the request.
using SetHeaderFunction = std::function<void(const std::string& name, const std::string& value)>;

// The trimmed text before / after the first ":" of a line; empty when there is none.
std::string HeaderLineName(std::string_view line);
std::string HeaderLineValue(std::string_view line);

// Appends (after CR LF) each default line whose name does not occur anywhere in
// the text in any letter case: Accept, Referer (the URL), Accept-Language and
// User-Agent, plus the form Content-Type for a POST (method code 1).
std::string AddDefaultHeaders(std::string_view headers, std::string_view url, int method);

// Capitalises the first letter of each header name and every letter after a
// "-" in it, drops lines without a colon and rejoins the rest with CR LF.
std::string NormalizeHeaderNames(std::string_view headers);

// True when a header can go on the wire as one line: a non-empty name
// without separators, and no line break or zero byte in name or value.
// Anything else could end the line early and smuggle in lines of its own.
bool IsSendableHeader(std::string_view name, std::string_view value);

// One setHeader call per line, in order. Empty lines and the exact line
// "Connection: keep-alive" are skipped; a text without CR LF is one header.
void ApplyHeaderText(std::string_view headers, const SetHeaderFunction& setHeader);

}  // namespace qr::http
