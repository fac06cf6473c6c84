#include "runtime/text.h"

#include <algorithm>
#include <climits>

namespace qr::text {
namespace {

bool IsLeadByte(unsigned char byte) { return byte >= 0x80; }

}  // namespace

char ToUpperAscii(char c) { return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 'a' + 'A') : c; }

char ToLowerAscii(char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c; }

std::size_t CharLength(std::string_view text, std::size_t pos) {
  if (pos + 1 < text.size() && IsLeadByte(static_cast<unsigned char>(text[pos]))) return 2;
  return 1;
}

bool MatchesAt(std::string_view text, std::size_t pos, std::string_view marker, bool ignoreCase) {
  if (pos > text.size() || text.size() - pos < marker.size()) return false;
  if (!ignoreCase) return text.compare(pos, marker.size(), marker) == 0;
  // Walk the marker by characters: only single-byte characters are folded, so
  // the trail byte of a double-byte character (which may look like a letter)
  // must match exactly.
  for (std::size_t i = 0; i < marker.size(); i += CharLength(marker, i)) {
    if (CharLength(marker, i) == 2) {
      if (text.compare(pos + i, 2, marker.substr(i, 2)) != 0) return false;
    } else if (ToLowerAscii(text[pos + i]) != ToLowerAscii(marker[i])) {
      return false;
    }
  }
  return true;
}

std::size_t Find(std::string_view text, std::string_view marker, std::size_t from, bool ignoreCase) {
  if (marker.empty()) return from < text.size() ? from : npos;
  for (std::size_t pos = from; pos < text.size() && text.size() - pos >= marker.size(); pos += CharLength(text, pos)) {
    if (MatchesAt(text, pos, marker, ignoreCase)) return pos;
  }
  return npos;
}

bool Contains(std::string_view text, std::string_view marker, bool ignoreCase) {
  return Find(text, marker, 0, ignoreCase) != npos;
}

std::size_t FindLast(std::string_view text, std::string_view marker, bool ignoreCase) {
  if (marker.empty()) return npos;
  std::size_t last = npos;
  for (std::size_t at = Find(text, marker, 0, ignoreCase); at != npos;
       at = Find(text, marker, at + CharLength(text, at), ignoreCase)) {
    last = at;
  }
  return last;
}

bool EqualsIgnoringCase(std::string_view a, std::string_view b) {
  return a.size() == b.size() && MatchesAt(a, 0, b, true);
}

bool StartsWith(std::string_view text, std::string_view prefix) { return MatchesAt(text, 0, prefix); }

bool EndsWith(std::string_view text, std::string_view suffix) {
  if (text.size() < suffix.size() || text.substr(text.size() - suffix.size()) != suffix) return false;
  // The bytes match; they only count when they start a character, not when
  // the first of them is the trail byte of one (a GBK trail byte may be '\').
  const std::size_t start = text.size() - suffix.size();
  std::size_t pos = 0;
  while (pos < start) pos += CharLength(text, pos);
  return pos == start;
}

bool EndsInsideCharacter(std::string_view text) {
  std::size_t last = 0;
  for (std::size_t pos = 0; pos < text.size(); pos += CharLength(text, pos)) last = pos;
  return !text.empty() && IsLeadByte(static_cast<unsigned char>(text[last])) && CharLength(text, last) == 1;
}

bool IsBrokenCharacterAt(std::string_view text, std::size_t pos) {
  if (CharLength(text, pos) == 1) return IsLeadByte(static_cast<unsigned char>(text[pos]));
  const auto second = static_cast<unsigned char>(text[pos + 1]);
  return second < 0x40 || second == 0x7F;
}

std::vector<std::string> Split(std::string_view text, std::string_view separator) {
  std::vector<std::string> pieces;
  if (text.empty()) return pieces;
  if (separator.empty()) {
    pieces.emplace_back(text);
    return pieces;
  }
  std::size_t start = 0;
  for (std::size_t at = Find(text, separator, 0); at != npos; at = Find(text, separator, start)) {
    pieces.emplace_back(text.substr(start, at - start));
    start = at + separator.size();
  }
  if (start < text.size()) pieces.emplace_back(text.substr(start));
  return pieces;
}

std::string Join(const std::vector<std::string>& pieces, std::string_view separator) {
  std::string joined;
  for (std::size_t i = 0; i < pieces.size(); ++i) {
    if (i > 0) joined += separator;
    joined += pieces[i];
  }
  return joined;
}

std::string ReplaceAll(std::string_view text, std::string_view from, std::string_view to, bool ignoreCase) {
  if (from.empty()) return std::string(text);
  std::string result;
  result.reserve(text.size());
  std::size_t start = 0;
  for (std::size_t at = Find(text, from, 0, ignoreCase); at != npos; at = Find(text, from, start, ignoreCase)) {
    result.append(text.substr(start, at - start));
    result.append(to);
    start = at + from.size();
  }
  result.append(text.substr(start));
  return result;
}

std::string RemoveAll(std::string_view text, std::string_view what, bool ignoreCase) {
  return ReplaceAll(text, what, {}, ignoreCase);
}

std::string Trim(std::string_view text) {
  static constexpr std::string_view kFullWidthSpace = "\xA1\xA1";
  auto isSpaceAt = [&](std::size_t pos, std::size_t length) {
    const std::string_view c = text.substr(pos, length);
    return c == " " || c == kFullWidthSpace;
  };
  std::size_t begin = 0;
  while (begin < text.size() && isSpaceAt(begin, CharLength(text, begin))) begin += CharLength(text, begin);
  // One walk over the characters finds where the last non-space one ends.
  std::size_t end = begin;
  for (std::size_t pos = begin; pos < text.size();) {
    const std::size_t length = CharLength(text, pos);
    if (!isSpaceAt(pos, length)) end = pos + length;
    pos += length;
  }
  return std::string(text.substr(begin, end - begin));
}

std::string TrimEndOf(std::string_view text, std::string_view characters) {
  std::size_t end = 0;
  for (std::size_t pos = 0; pos < text.size();) {
    const std::size_t length = CharLength(text, pos);
    if (length != 1 || characters.find(text[pos]) == std::string_view::npos) end = pos + length;
    pos += length;
  }
  return std::string(text.substr(0, end));
}

std::string ToUpperAscii(std::string_view text) {
  std::string result(text);
  for (std::size_t pos = 0; pos < result.size(); pos += CharLength(result, pos)) {
    result[pos] = ToUpperAscii(result[pos]);
  }
  return result;
}

std::string ToLowerAscii(std::string_view text) {
  std::string result(text);
  for (std::size_t pos = 0; pos < result.size(); pos += CharLength(result, pos)) {
    result[pos] = ToLowerAscii(result[pos]);
  }
  return result;
}

std::string TextBetween(std::string_view text, std::string_view startMarker, std::string_view endMarker,
                        int startPosition, bool ignoreCase) {
  const std::string start = ReplaceAll(startMarker, kQuoteToken, "\"");
  const std::string end = ReplaceAll(endMarker, kQuoteToken, "\"");
  std::size_t from = 0;
  if (startPosition > 1) {
    // Move to the character boundary at or after the requested byte.
    const std::size_t wanted = static_cast<std::size_t>(startPosition - 1);
    while (from < wanted && from < text.size()) from += CharLength(text, from);
  }
  const std::size_t startAt = Find(text, start, from, ignoreCase);
  if (startAt == npos) return {};
  const std::size_t valueAt = startAt + start.size();
  const std::size_t endAt = Find(text, end, valueAt, ignoreCase);
  if (endAt == npos) return {};
  return std::string(text.substr(valueAt, endAt - valueAt));
}

std::string TextBefore(std::string_view text, std::string_view separator) {
  const std::size_t at = Find(text, separator);
  return at == npos ? std::string() : std::string(text.substr(0, at));
}

std::string LastBytes(std::string_view text, std::size_t count) {
  return std::string(count >= text.size() ? text : text.substr(text.size() - count));
}

std::string FirstBytes(std::string_view text, std::size_t count) {
  if (count >= text.size()) return std::string(text);
  std::size_t end = 0;
  while (end < text.size() && end + CharLength(text, end) <= count) end += CharLength(text, end);
  return std::string(text.substr(0, end));
}

std::string WithCrLfLineEnds(std::string_view text) {
  std::string result;
  result.reserve(text.size());
  // CR and LF are never the trail byte of a two-byte character, so bytes will do.
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (text[i] == '\r' || text[i] == '\n') {
      result += "\r\n";
      if (text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n') ++i;
    } else {
      result += text[i];
    }
  }
  return result;
}

std::string UpToNul(std::string_view bytes) { return std::string(bytes.substr(0, bytes.find('\0'))); }

std::int32_t ToInt32(std::string_view text) {
  std::size_t pos = 0;
  while (pos < text.size() && (text[pos] == ' ' || text[pos] == '\t')) ++pos;
  bool negative = false;
  if (pos < text.size() && (text[pos] == '+' || text[pos] == '-')) negative = text[pos++] == '-';
  long long value = 0;
  for (; pos < text.size() && text[pos] >= '0' && text[pos] <= '9'; ++pos) {
    value = value * 10 + (text[pos] - '0');
    if (value > static_cast<long long>(INT_MAX) + 1) break;
  }
  if (negative) value = -value;
  if (value > INT_MAX) return INT_MAX;
  if (value < INT_MIN) return INT_MIN;
  return static_cast<std::int32_t>(value);
}

bool IsDecimalDigits(std::string_view text) {
  return !text.empty() && std::all_of(text.begin(), text.end(), [](char c) { return c >= '0' && c <= '9'; });
}

std::string FromInt(long long value) { return std::to_string(value); }

}  // namespace qr::text
