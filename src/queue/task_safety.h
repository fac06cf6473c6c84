// Whether a task's name and folder may be used to build paths and the merge
// batch line. The name becomes a folder and a file below the task's folder,
// and both end up in a command line, so a name that leaves that folder (".."
// or a separator, or a name that Windows cuts short: "...", ".. ", "a.") or
// text that a command line would take as an operator could delete or write
// elsewhere, or run a command.
#pragma once

#include <string_view>

namespace qr::queue {

enum class TaskSafety {
  kSafe,
  // empty, ending in a dot or a space (so also "." and ".."), a character
  // not allowed in a file name, a command-line operator or a control character
  kUnsafeName,
  kUnsafeFolder,  // a command-line operator or a control character
};

// Characters are checked, not bytes: the trail byte of a two-byte character
// may equal '\' or '|' and is no separator there.
bool IsSafeTaskName(std::string_view name);
bool IsSafeTaskFolder(std::string_view folder);
TaskSafety CheckTask(std::string_view name, std::string_view folder);

}  // namespace qr::queue
