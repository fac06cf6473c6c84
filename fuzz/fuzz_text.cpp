// The byte-text rules of runtime/text on arbitrary text and markers.
#include <fuzzer/FuzzedDataProvider.h>

#include "fuzz_check.h"
#include "runtime/text.h"

namespace text = qr::text;

namespace {

bool IsBoundary(std::string_view t, std::size_t at) {
  std::size_t pos = 0;
  while (pos < at) pos += text::CharLength(t, pos);
  return pos == at;
}

void CheckFind(const std::string& t, const std::string& marker, bool ignoreCase) {
  const std::size_t first = text::Find(t, marker, 0, ignoreCase);
  const std::size_t last = text::FindLast(t, marker, ignoreCase);
  if (first == text::npos) {
    FUZZ_CHECK(last == text::npos);
    FUZZ_CHECK(!text::Contains(t, marker, ignoreCase));
    return;
  }
  FUZZ_CHECK(IsBoundary(t, first) && text::MatchesAt(t, first, marker, ignoreCase));
  if (marker.empty()) return;
  FUZZ_CHECK(last != text::npos && last >= first && IsBoundary(t, last));
  FUZZ_CHECK(text::MatchesAt(t, last, marker, ignoreCase));
}

void CheckSplitJoin(const std::string& t, const std::string& separator) {
  const auto pieces = text::Split(t, separator);
  FUZZ_CHECK(t.empty() == pieces.empty());
  const std::string joined = text::Join(pieces, separator);
  if (separator.empty()) {
    FUZZ_CHECK(joined == t);
    return;
  }
  // Only an empty last piece is left out.
  FUZZ_CHECK(joined == t || joined + separator == t);
  if (text::EndsInsideCharacter(separator)) return;
  for (const auto& piece : pieces) FUZZ_CHECK(!text::Contains(piece, separator));
}

void CheckReplace(const std::string& t, const std::string& from, const std::string& to, bool ignoreCase) {
  const std::string replaced = text::ReplaceAll(t, from, to, ignoreCase);
  if (!text::Contains(t, from, ignoreCase) || from.empty()) FUZZ_CHECK(replaced == t);
  if (!ignoreCase) FUZZ_CHECK(text::ReplaceAll(t, from, from) == t);
  FUZZ_CHECK(text::RemoveAll(t, from, ignoreCase) == text::ReplaceAll(t, from, "", ignoreCase));
  // The pieces between occurrences come back in order, joined by the new text.
  if (!ignoreCase && !from.empty()) {
    const std::string joined = text::Join(text::Split(t, from), to);
    FUZZ_CHECK(joined == replaced || joined + to == replaced);
  }
}

void CheckTrimAndCase(const std::string& t, const std::string& characters) {
  const std::string trimmed = text::Trim(t);
  FUZZ_CHECK(text::Trim(trimmed) == trimmed);
  FUZZ_CHECK(t.find(trimmed) != std::string::npos);
  FUZZ_CHECK(!text::StartsWith(trimmed, " ") && !text::EndsWith(trimmed, " "));
  const std::string cut = text::TrimEndOf(t, characters);
  FUZZ_CHECK(text::StartsWith(t, cut) && text::TrimEndOf(cut, characters) == cut);

  const std::string upper = text::ToUpperAscii(t);
  const std::string lower = text::ToLowerAscii(t);
  FUZZ_CHECK(upper.size() == t.size() && lower.size() == t.size());
  FUZZ_CHECK(text::EqualsIgnoringCase(upper, lower) && text::EqualsIgnoringCase(t, upper));
  FUZZ_CHECK(text::ToUpperAscii(lower) == upper);
}

void CheckCuts(const std::string& t, std::size_t count) {
  const std::string first = text::FirstBytes(t, count);
  FUZZ_CHECK(first.size() <= count && text::StartsWith(t, first) && IsBoundary(t, first.size()));
  FUZZ_CHECK(count < t.size() || first == t);
  const std::string last = text::LastBytes(t, count);
  FUZZ_CHECK(last.size() == std::min(count, t.size()) && t.ends_with(last));

  const std::string crlf = text::WithCrLfLineEnds(t);
  FUZZ_CHECK(text::WithCrLfLineEnds(crlf) == crlf);
  FUZZ_CHECK(text::UpToNul(t).find('\0') == std::string::npos);
  const std::int32_t number = text::ToInt32(t);
  FUZZ_CHECK(text::ToInt32(text::FromInt(number)) == number);
}

void CheckBetween(const std::string& t, const std::string& start, const std::string& end, int position,
                  bool ignoreCase) {
  const std::string between = text::TextBetween(t, start, end, position, ignoreCase);
  FUZZ_CHECK(between.size() <= t.size());
  if (text::Contains(start, text::kQuoteToken) || text::Contains(end, text::kQuoteToken)) return;
  if (!between.empty()) FUZZ_CHECK(t.find(between) != std::string::npos);
  if (!ignoreCase && position <= 1 && !text::EndsInsideCharacter(start) && !start.empty() && !between.empty()) {
    FUZZ_CHECK(text::Contains(t, start + between + end));
  }
  const std::string before = text::TextBefore(t, end);
  FUZZ_CHECK(text::StartsWith(t, before));
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  FuzzedDataProvider input(data, size);
  const bool ignoreCase = input.ConsumeBool();
  const int position = input.ConsumeIntegralInRange<int>(-2, 64);
  const std::size_t count = input.ConsumeIntegralInRange<std::size_t>(0, 64);
  const std::string marker = input.ConsumeRandomLengthString(12);
  const std::string other = input.ConsumeRandomLengthString(12);
  const std::string t = input.ConsumeRemainingBytesAsString();

  CheckFind(t, marker, ignoreCase);
  CheckSplitJoin(t, marker);
  CheckReplace(t, marker, other, ignoreCase);
  CheckTrimAndCase(t, other);
  CheckCuts(t, count);
  CheckBetween(t, marker, other, position, ignoreCase);
  return 0;
}
