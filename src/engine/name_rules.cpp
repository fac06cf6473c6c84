#include "engine/name_rules.h"

#include <array>

#include "runtime/text.h"

namespace qr::engine {

namespace {

constexpr std::string_view kNotInFileNames = "\\/:*?\"<>|";
constexpr std::array<std::string_view, 4> kDevices = {"CON", "PRN", "AUX", "NUL"};
constexpr std::array<std::string_view, 2> kNumberedDevices = {"COM", "LPT"};

// The comma too: download.ini separates its fields with it, and the folder is
// the field before the state, so a folder holding one would come back cut at
// the next start and the video would go to another folder.
constexpr std::string_view kNotInFolders = "*?\"<>|,";

bool HoldsForbiddenCharacter(std::string_view name, bool (*forbidden)(char)) {
  for (std::size_t pos = 0; pos < name.size(); pos += text::CharLength(name, pos)) {
    // A broken character is no character a file system takes.
    if (text::IsBrokenCharacterAt(name, pos)) return true;
    if (text::CharLength(name, pos) == 1 && forbidden(name[pos])) return true;
  }
  return false;
}

bool IsForbiddenInFolder(char c) {
  const auto byte = static_cast<unsigned char>(c);
  return byte < 0x20 || byte == 0x7F || kNotInFolders.find(c) != std::string_view::npos;
}

}  // namespace

bool IsForbiddenInFileName(char c) {
  const auto byte = static_cast<unsigned char>(c);
  return byte < 0x20 || byte == 0x7F || kNotInFileNames.find(c) != std::string_view::npos;
}

bool IsReservedDeviceName(std::string_view name) {
  const std::string_view stem = name.substr(0, text::Find(name, "."));
  for (const std::string_view device : kDevices) {
    if (text::EqualsIgnoringCase(stem, device)) return true;
  }
  for (const std::string_view device : kNumberedDevices) {
    if (stem.size() == 4 && text::EqualsIgnoringCase(stem.substr(0, 3), device) && stem[3] >= '1' && stem[3] <= '9') {
      return true;
    }
  }
  return false;
}

bool IsDroppedAtNameEnd(char c) { return c == '.' || c == ' '; }

bool IsUsableTaskName(std::string_view name) {
  if (name.empty() || IsDroppedAtNameEnd(name.back())) return false;
  // A name that does not end in a dot or space and is not empty holds some
  // other character, so "only dots and spaces" is covered by the test above.
  return !IsReservedDeviceName(name) && !HoldsForbiddenCharacter(name, IsForbiddenInFileName);
}

bool IsUsableTaskFolder(std::string_view folder) {
  return !folder.empty() && !HoldsForbiddenCharacter(folder, IsForbiddenInFolder);
}

}  // namespace qr::engine
