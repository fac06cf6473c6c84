#include "queue/task_safety.h"

#include "runtime/text.h"

namespace qr::queue {

namespace {

// Characters Windows does not allow in a file name.
constexpr std::string_view kNotInFileNames = "\\/:*?\"<>|";
// A folder holds separators and a drive colon; these it cannot hold.
constexpr std::string_view kNotInFolders = "*?\"<>|";

bool IsControl(unsigned char c) { return c < 0x20 || c == 0x7F; }

// True when some single-byte character of `text` is a control character or one of `forbidden`.
bool HoldsAnyOf(std::string_view text, std::string_view forbidden) {
  for (std::size_t pos = 0; pos < text.size(); pos += qr::text::CharLength(text, pos)) {
    if (qr::text::CharLength(text, pos) != 1) continue;
    const auto c = static_cast<unsigned char>(text[pos]);
    if (IsControl(c) || forbidden.find(static_cast<char>(c)) != std::string_view::npos) return true;
  }
  return false;
}

// Windows cuts trailing dots and spaces off a file name, so "..." or ". "
// would name the task's folder itself, ".. " the folder above it, and "a."
// the same file as "a". Covers "." and "..", and names of only dots and spaces.
bool EndsInDotOrSpace(std::string_view name) { return qr::text::EndsWith(name, ".") || qr::text::EndsWith(name, " "); }

}  // namespace

bool IsSafeTaskName(std::string_view name) {
  if (name.empty() || EndsInDotOrSpace(name)) return false;
  return !HoldsAnyOf(name, kNotInFileNames);
}

bool IsSafeTaskFolder(std::string_view folder) { return !HoldsAnyOf(folder, kNotInFolders); }

TaskSafety CheckTask(std::string_view name, std::string_view folder) {
  if (!IsSafeTaskName(name)) return TaskSafety::kUnsafeName;
  if (!IsSafeTaskFolder(folder)) return TaskSafety::kUnsafeFolder;
  return TaskSafety::kSafe;
}

}  // namespace qr::queue
