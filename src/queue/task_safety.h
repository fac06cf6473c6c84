// Whether a task's name and folder can be used for its files, checked where a
// task is about to use them (the queue itself keeps every row it is given).
// The name becomes a folder and a file below the task's folder, so it must be
// a file name that stays there: no separator, no "..", and nothing that
// Windows cuts short ("...", ".. ", "a." lose their trailing dots and
// spaces). Batch characters such as & % ^ are ordinary here: whoever writes
// a command line escapes them.
#pragma once

#include <string_view>

namespace qr::queue {

enum class TaskSafety {
  kSafe,
  // empty, ending in a dot or a space (so also "." and ".."), a character
  // not allowed in a file name, or a control character
  kUnsafeName,
  kUnsafeFolder,  // a wildcard, a quote, '<', '>', '|' or a control character
};

// Characters are checked, not bytes: the trail byte of a two-byte character
// may equal '\' or '|' and is no separator there.
bool IsSafeTaskName(std::string_view name);
bool IsSafeTaskFolder(std::string_view folder);
TaskSafety CheckTask(std::string_view name, std::string_view folder);

}  // namespace qr::queue
