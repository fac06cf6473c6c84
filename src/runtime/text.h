// Byte-text rules for code page 936 text.
//
// All program text is GBK bytes held in std::string. A byte of 0x80 or above
// leads a two-byte character, and every search here steps over both bytes at
// once, so a marker is only ever found at a character boundary. Case folding,
// where asked for, touches the ASCII letters only.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace qr::text {

inline constexpr std::size_t npos = std::string_view::npos;

// The token that stands for a double quote in stored values and search markers.
inline constexpr std::string_view kQuoteToken = "#引号";

// Length in bytes of the character that starts at `pos` (1 or 2; 1 for a
// lead byte at the very end of the text).
std::size_t CharLength(std::string_view text, std::size_t pos);

// True when the bytes at `pos` start with `marker` (ASCII-case-insensitive when asked).
bool MatchesAt(std::string_view text, std::size_t pos, std::string_view marker, bool ignoreCase = false);

// First occurrence of `marker` at a character boundary at or after `from`
// (which must itself be a boundary); npos when absent. An empty marker is
// found at `from` when `from` lies inside a non-empty text.
std::size_t Find(std::string_view text, std::string_view marker, std::size_t from = 0, bool ignoreCase = false);
bool Contains(std::string_view text, std::string_view marker, bool ignoreCase = false);
// Last occurrence of a non-empty `marker` at a character boundary; npos when absent.
std::size_t FindLast(std::string_view text, std::string_view marker, bool ignoreCase = false);
// The same text once ASCII letters are folded (names of settings, headers);
// double-byte characters must match byte for byte.
bool EqualsIgnoringCase(std::string_view a, std::string_view b);
bool StartsWith(std::string_view text, std::string_view prefix);
// Only a suffix that starts at a character boundary counts.
bool EndsWith(std::string_view text, std::string_view suffix);
// True when the text ends with a lead byte that has no trail byte: half a
// character, which no search can find whole and no converter keeps.
bool EndsInsideCharacter(std::string_view text);
// True when the character that starts at `pos` is no code page 936 character:
// a lead byte at the end, or a pair whose second byte is below 0x40 or is 0x7F
// (such a pair may hide a control byte).
bool IsBrokenCharacterAt(std::string_view text, std::size_t pos);

// Pieces between separators: empty pieces between separators are kept, an
// empty piece after a final separator is not made, an empty text gives none.
std::vector<std::string> Split(std::string_view text, std::string_view separator);
std::string Join(const std::vector<std::string>& pieces, std::string_view separator);

// Every non-overlapping occurrence, left to right.
std::string ReplaceAll(std::string_view text, std::string_view from, std::string_view to, bool ignoreCase = false);
std::string RemoveAll(std::string_view text, std::string_view what, bool ignoreCase = false);

// Removes leading/trailing ASCII spaces and full-width spaces (A1 A1), nothing else.
std::string Trim(std::string_view text);
// Removes every trailing single-byte character that is one of `characters`.
std::string TrimEndOf(std::string_view text, std::string_view characters);

// ASCII-only case mapping; GBK bytes pass unchanged.
std::string ToUpperAscii(std::string_view text);
std::string ToLowerAscii(std::string_view text);
// The same for one single-byte character (never give it the trail byte of a
// double-byte character: it may look like a letter).
char ToUpperAscii(char c);
char ToLowerAscii(char c);

// The text after the first `startMarker` (searched from the 1-based
// `startPosition`; 0 or less means from the start) up to the next `endMarker`;
// empty when either is missing. "#引号" in a marker stands for a double quote.
std::string TextBetween(std::string_view text, std::string_view startMarker, std::string_view endMarker,
                        int startPosition = 0, bool ignoreCase = false);

// The text before the first `separator`; empty when it does not occur.
std::string TextBefore(std::string_view text, std::string_view separator);

// The last `count` bytes (the whole text when it is shorter).
std::string LastBytes(std::string_view text, std::size_t count);

// At most `count` bytes from the start, never ending inside a two-byte
// character (a cut that would split one leaves the whole character out).
std::string FirstBytes(std::string_view text, std::size_t count);

// Every line break (CR LF, a lone LF, a lone CR) as CR LF, so text from a
// toolkit that ends lines with LF alone is stored as Windows stores it.
std::string WithCrLfLineEnds(std::string_view text);

// Text up to the first zero byte.
std::string UpToNul(std::string_view bytes);

// Decimal conversion as the readers need it: optional leading spaces, an
// optional sign and the digits that follow; anything else ends the number.
// No digits gives 0; the value saturates at the 32-bit range.
std::int32_t ToInt32(std::string_view text);
std::string FromInt(long long value);
// True for a non-empty text of the ASCII digits 0-9 and nothing else.
bool IsDecimalDigits(std::string_view text);

}  // namespace qr::text
