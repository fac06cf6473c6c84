#include "runtime/files.h"

#include <cstdlib>
#include <fstream>
#include <iterator>
#include <mutex>
#include <system_error>
#include <vector>

#include "runtime/text.h"

namespace qr::files {

// Implemented per system (files_posix.cpp / files_win32.cpp).
std::string ExecutableFolder();

namespace {

std::mutex& ProgramFolderMutex() {
  static std::mutex mutex;
  return mutex;
}

std::string& ProgramFolderOverride() {
  static std::string folder;
  return folder;
}

bool IsSeparator(char c) { return c == '/' || c == '\\'; }

bool IsDriveLetter(char c) { return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z'); }

}  // namespace

std::string JoinPath(std::string_view folder, std::string_view name) {
  std::string joined(folder);
  if (!joined.empty() && !text::EndsWith(joined, std::string(1, PathSeparator()))) joined += PathSeparator();
  joined += name;
  return joined;
}

std::string ReadFileBytes(std::string_view path) {
  std::ifstream in(ToNativePath(path), std::ios::binary);
  if (!in) return {};
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

bool WriteFileBytes(std::string_view path, std::string_view bytes) {
  std::ofstream out(ToNativePath(path), std::ios::binary | std::ios::trunc);
  if (!out) return false;
  out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
  return static_cast<bool>(out.flush());
}

bool AppendFileBytes(std::string_view path, std::string_view bytes) {
  std::ofstream out(ToNativePath(path), std::ios::binary | std::ios::app);
  if (!out) return false;
  out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
  return static_cast<bool>(out.flush());
}

bool ReplaceFileBytes(std::string_view path, std::string_view bytes) {
  const std::string temporary = std::string(path) + ".tmp";
  if (!WriteFileBytes(temporary, bytes)) {
    RemoveFile(temporary);
    return false;
  }
  std::error_code error;
  std::filesystem::rename(ToNativePath(temporary), ToNativePath(path), error);
  if (error) RemoveFile(temporary);
  return !error;
}

bool FileExists(std::string_view path) {
  std::error_code error;
  return !path.empty() && std::filesystem::is_regular_file(ToNativePath(path), error);
}

bool FolderExists(std::string_view path) {
  std::error_code error;
  return !path.empty() && std::filesystem::is_directory(ToNativePath(path), error);
}

bool RemoveFile(std::string_view path) {
  std::error_code error;
  return !path.empty() && std::filesystem::remove(ToNativePath(path), error);
}

bool EnsureFolder(std::string_view path) {
  if (path.empty()) return false;
  std::error_code error;
  std::filesystem::create_directories(ToNativePath(path), error);
  return FolderExists(path);
}

bool IsUnsafeTreeTarget(std::string_view path) {
  std::size_t pos = 0;
  bool unc = path.size() >= 2 && IsSeparator(path[0]) && IsSeparator(path[1]);
  if (path.size() >= 2 && IsDriveLetter(path[0]) && path[1] == ':') pos = 2;
  // Resolve "." and ".." lexically; climbing above the start is unsafe by itself.
  std::vector<std::string_view> kept;
  while (pos <= path.size()) {
    std::size_t next = pos;
    while (next < path.size() && !IsSeparator(path[next])) ++next;
    const std::string_view part = path.substr(pos, next - pos);
    if (part == "..") {
      if (kept.empty()) return true;
      kept.pop_back();
    } else if (!part.empty() && part != ".") {
      kept.push_back(part);
    }
    pos = next + 1;
  }
  // A share root (\\server\share) is as much a whole drive as C:\ is.
  return kept.empty() || (unc && kept.size() <= 2);
}

bool DeleteFolderTree(std::string_view path) {
  if (IsUnsafeTreeTarget(path)) return false;
  const std::filesystem::path native = ToNativePath(path);
  std::error_code error;
  // A relative path must not resolve to a root either (for example "a/.." from "/").
  const std::filesystem::path absolute = std::filesystem::absolute(native, error).lexically_normal();
  if (error || absolute == absolute.root_path() || !absolute.has_relative_path()) return false;
  if (!std::filesystem::is_directory(native, error)) return false;
  std::filesystem::remove_all(native, error);
  return !error;
}

std::string ProgramFolder() {
  {
    std::lock_guard<std::mutex> lock(ProgramFolderMutex());
    if (!ProgramFolderOverride().empty()) return ProgramFolderOverride();
  }
  if (const char* fromEnvironment = std::getenv("QUILLREEL_PROGRAM_FOLDER")) {
    if (*fromEnvironment != '\0') return fromEnvironment;
  }
  return ExecutableFolder();
}

void SetProgramFolder(std::string_view folder) {
  std::lock_guard<std::mutex> lock(ProgramFolderMutex());
  ProgramFolderOverride() = std::string(folder);
}

}  // namespace qr::files
