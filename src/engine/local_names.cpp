#include "engine/local_names.h"

#include <algorithm>
#include <set>
#include <string_view>

#include "engine/download_list.h"
#include "engine/name_rules.h"
#include "runtime/text.h"

namespace qr::engine {

namespace {

// The address without "?query" and "#fragment", which may themselves hold "/".
std::string_view WithoutQueryOrFragment(std::string_view address) {
  const std::size_t query = text::Find(address, "?");
  const std::size_t fragment = text::Find(address.substr(0, query), "#");
  return address.substr(0, std::min(query, fragment));
}

std::string ReplaceForbiddenCharacters(std::string_view name) {
  std::string safe;
  for (std::size_t pos = 0; pos < name.size(); pos += text::CharLength(name, pos)) {
    const std::size_t length = text::CharLength(name, pos);
    // A lead byte with no trail byte is no character at all.
    const bool broken = length == 1 && static_cast<unsigned char>(name[pos]) >= 0x80;
    if (length == 1 && (broken || IsForbiddenInFileName(name[pos]))) {
      safe += '_';
    } else {
      safe.append(name.substr(pos, length));
    }
  }
  return safe;
}

// Windows drops trailing dots and spaces, and ".", ".." or nothing name no file.
std::string SafeName(std::string name, std::size_t entryNumber) {
  std::size_t kept = name.size();
  while (kept > 0 && IsDroppedAtNameEnd(name[kept - 1])) --kept;
  if (kept == 0) return "entry-" + text::FromInt(static_cast<long long>(entryNumber));
  for (std::size_t i = kept; i < name.size(); ++i) name[i] = '_';
  return IsReservedDeviceName(name) ? std::string("_").append(name) : name;
}

// "seg.ts" with n = 2 gives "seg-2.ts"; a name without an extension gets the number at its end.
std::string NumberedName(std::string_view name, int n) {
  std::size_t dot = text::FindLast(name, ".");
  if (dot == 0) dot = text::npos;  // ".hidden" has no extension to keep
  const std::string_view stem = name.substr(0, dot);
  const std::string_view extension = dot == text::npos ? std::string_view() : name.substr(dot);
  return std::string(stem) + "-" + text::FromInt(n) + std::string(extension);
}

}  // namespace

std::vector<std::string> LocalFileNames(const std::vector<std::string>& entries) {
  std::vector<std::string> names;
  std::set<std::string> taken;  // upper-cased, as Windows compares file names
  for (const std::string& entry : entries) {
    const std::string plain =
        SafeName(ReplaceForbiddenCharacters(LastPathPart(WithoutQueryOrFragment(entry))), names.size() + 1);
    std::string name = plain;
    for (int n = 2; taken.count(text::ToUpperAscii(name)) != 0; ++n) name = NumberedName(plain, n);
    taken.insert(text::ToUpperAscii(name));
    names.push_back(std::move(name));
  }
  return names;
}

}  // namespace qr::engine
