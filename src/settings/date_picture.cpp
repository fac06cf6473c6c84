#include "settings/date_picture.h"

#include <functional>
#include <optional>

#include "runtime/text.h"

namespace qr::settings {
namespace {

// Decimal digits, with leading zeros up to `width`.
std::string Padded(int value, std::size_t width) {
  std::string digits = std::to_string(value);
  if (digits.size() < width) digits.insert(0, width - digits.size(), '0');
  return digits;
}

// One letter: no leading zero; two or more: two digits.
std::string Number(int value, std::size_t count) { return Padded(value, count >= 2 ? 2 : 1); }

// The text of one run of a picture letter; nullopt copies the run unchanged.
using FieldRenderer = std::function<std::optional<std::string>(char letter, std::size_t count)>;

// Text in single quotes is copied without them; '' stands for one quote.
// Returns the position after the quoted piece and appends its text to `out`.
std::size_t TakeQuoted(std::string_view picture, std::size_t quoteAt, std::string& out) {
  const std::size_t close = text::Find(picture, "'", quoteAt + 1);
  if (close == quoteAt + 1) {
    out += '\'';
    return close + 1;
  }
  const std::size_t end = close == text::npos ? picture.size() : close;
  out.append(picture.substr(quoteAt + 1, end - quoteAt - 1));
  return close == text::npos ? picture.size() : close + 1;
}

// How a left-out field takes its surroundings with it: the text written since
// the previous field goes, and so does what follows up to the next of
// `stopLetters`, except for its spaces (so "hh:mm:ss" and "hh时mm分ss秒"
// both become hours and minutes alone).
struct DroppedField {
  char letter = 0;
  std::string_view stopLetters;
};

std::size_t SkipAfterDropped(std::string_view picture, std::size_t pos, std::string_view stopLetters,
                             std::string& out) {
  std::string ignored;
  while (pos < picture.size() && stopLetters.find(picture[pos]) == std::string_view::npos) {
    if (picture[pos] == ' ') {
      out += ' ';
      ++pos;
    } else if (picture[pos] == '\'') {
      pos = TakeQuoted(picture, pos, ignored);
    } else {
      pos += text::CharLength(picture, pos);
    }
  }
  return pos;
}

// Walks the picture: runs of a letter go to `field`; quoted text and every
// other character are copied.
std::string Render(std::string_view picture, const FieldRenderer& field, const DroppedField& dropped = {}) {
  std::string out;
  std::size_t afterLastField = 0;
  for (std::size_t pos = 0; pos < picture.size();) {
    const char c = picture[pos];
    if (c == '\'') {
      pos = TakeQuoted(picture, pos, out);
      continue;
    }
    const std::size_t length = text::CharLength(picture, pos);
    if (length == 1) {
      std::size_t count = 1;
      while (pos + count < picture.size() && picture[pos + count] == c) ++count;
      if (dropped.letter != 0 && c == dropped.letter) {
        out.resize(afterLastField);
        pos = SkipAfterDropped(picture, pos + count, dropped.stopLetters, out);
        continue;
      }
      // A run the field does not know (MMM, dddd, tt) is copied as a whole,
      // not letter by letter, or its tail would be read as a shorter field.
      const auto rendered = field(c, count);
      out += rendered ? *rendered : std::string(picture.substr(pos, count));
      if (rendered) afterLastField = out.size();
      pos += count;
      continue;
    }
    out.append(picture.substr(pos, length));
    pos += length;
  }
  return out;
}

}  // namespace

std::string RenderDatePicture(const CalendarTime& when, std::string_view picture) {
  return Render(picture, [&](char letter, std::size_t count) -> std::optional<std::string> {
    switch (letter) {
      case 'y':
        return count <= 2 ? Number(when.year % 100, count) : Padded(when.year, 4);
      case 'M':
        if (count <= 2) return Number(when.month, count);
        return std::nullopt;
      case 'd':
        if (count <= 2) return Number(when.day, count);
        return std::nullopt;
      default:
        return std::nullopt;
    }
  });
}

std::string RenderTimePicture(const CalendarTime& when, std::string_view picture, bool noSeconds) {
  const int hour12 = when.hour % 12 == 0 ? 12 : when.hour % 12;
  return Render(
      picture,
      [&](char letter, std::size_t count) -> std::optional<std::string> {
        switch (letter) {
          case 'h':
            return Number(hour12, count);
          case 'H':
            return Number(when.hour, count);
          case 'm':
            return Number(when.minute, count);
          case 's':
            return Number(when.second, count);
          default:
            return std::nullopt;
        }
      },
      noSeconds ? DroppedField{'s', "hHmst"} : DroppedField{});
}

}  // namespace qr::settings
