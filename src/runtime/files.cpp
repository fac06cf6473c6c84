#include "runtime/files.h"

#include <atomic>
#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <mutex>
#include <random>
#include <set>
#include <string>
#include <system_error>
#include <vector>

#include "runtime/text.h"

namespace qr::files {

// Implemented per system (files_posix.cpp / files_win32.cpp).
std::string ExecutableFolder();
bool MoveOverDurably(std::string_view from, std::string_view to);

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

// The parts between separators, '/' and '\' alike on every system.
std::vector<std::string> PathParts(std::string_view path) {
  return text::Split(text::ReplaceAll(path, "\\", "/"), "/");
}

enum class PartMove { kStay, kClimb, kEnter };

// How Windows reads one part of a path: trailing dots and spaces are cut off,
// so "..." and ". " stay where they are and ".. " climbs as ".." does.
PartMove MoveOf(std::string_view part) {
  if (text::TrimEndOf(part, " ") == "..") return PartMove::kClimb;
  return text::TrimEndOf(part, ". ").empty() ? PartMove::kStay : PartMove::kEnter;
}

// True when Windows would cut the target's last part short: "<dl>\..." is
// <dl> itself and "<dl>\sub." is <dl>\sub, not the folder that was named.
bool LastPartIsCutShort(std::string_view path) {
  const std::vector<std::string> parts = PathParts(path);
  for (auto part = parts.rbegin(); part != parts.rend(); ++part) {
    if (part->empty()) continue;
    return *part != "." && *part != ".." && text::TrimEndOf(*part, ". ") != *part;
  }
  return false;
}

// Deletes everything below `folder`, then the folder: one listing per folder
// and one attempt per entry, so it always ends. (The library's remove_all
// never ended under wine on "<dl>\...": the entries listed through that name
// cannot be reached by it, their removal finds nothing to remove and reports
// no error, and remove_all kept coming back to them.) Links are removed, not followed.
bool RemoveTree(const std::filesystem::path& folder) {
  std::error_code error;
  std::vector<std::filesystem::path> entries;
  for (std::filesystem::directory_iterator entry(folder, error), end; !error && entry != end; entry.increment(error)) {
    entries.push_back(entry->path());
  }
  bool removed = !error;
  for (const std::filesystem::path& entry : entries) {
    const bool isFolder = std::filesystem::is_directory(std::filesystem::symlink_status(entry, error));
    removed = (isFolder ? RemoveTree(entry) : std::filesystem::remove(entry, error)) && removed;
  }
  return removed && std::filesystem::remove(folder, error);
}

// True for "<name>.<digits>.<digits>.tmp", the temporary names of ReplaceFileBytes.
bool IsTemporaryNameOf(std::string_view candidate, std::string_view name) {
  const std::string prefix = std::string(name) + ".";
  constexpr std::string_view kSuffix = ".tmp";
  if (candidate.size() < prefix.size() + kSuffix.size()) return false;
  if (!text::StartsWith(candidate, prefix) || !text::EndsWith(candidate, kSuffix)) return false;
  const std::vector<std::string> numbers =
      text::Split(candidate.substr(prefix.size(), candidate.size() - prefix.size() - kSuffix.size()), ".");
  return numbers.size() == 2 && text::IsDecimalDigits(numbers[0]) && text::IsDecimalDigits(numbers[1]);
}

// A process killed between writing and renaming leaves its temporary file
// behind. The first replacement of a path in a process removes those that have
// not been written for a minute: no replacement takes that long, so a running
// one of another process is never touched.
void RemoveAbandonedTemporaries(std::string_view path) {
  static std::mutex mutex;
  static std::set<std::string> swept;
  {
    std::lock_guard<std::mutex> lock(mutex);
    if (!swept.insert(std::string(path)).second) return;
  }
  const std::filesystem::path target = ToNativePath(path);
  const std::string name = FromNativePath(target.filename());
  const auto cutoff = std::filesystem::file_time_type::clock::now() - std::chrono::minutes(1);
  std::error_code error;
  const std::filesystem::path folder = target.has_parent_path() ? target.parent_path() : std::filesystem::path(".");
  for (std::filesystem::directory_iterator entry(folder, error), end; !error && entry != end; entry.increment(error)) {
    std::error_code entryError;
    if (!IsTemporaryNameOf(FromNativePath(entry->path().filename()), name)) continue;
    if (!entry->is_regular_file(entryError)) continue;
    const auto written = entry->last_write_time(entryError);
    if (!entryError && written < cutoff) std::filesystem::remove(entry->path(), entryError);
  }
}

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
  RemoveAbandonedTemporaries(path);
  // A name no other writer uses, in this process or another one, so two
  // replacements never write into the same temporary file.
  static const unsigned long long processToken = std::random_device{}();
  static std::atomic<unsigned long long> counter{0};
  const std::string temporary =
      std::string(path) + "." + std::to_string(processToken) + "." + std::to_string(++counter) + ".tmp";
  if (!WriteFileBytes(temporary, bytes)) {
    RemoveFile(temporary);
    return false;
  }
  if (MoveOverDurably(temporary, path)) return true;
  RemoveFile(temporary);
  return false;
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
  const bool unc = path.size() >= 2 && IsSeparator(path[0]) && IsSeparator(path[1]);
  const bool drive = path.size() >= 2 && IsDriveLetter(path[0]) && path[1] == ':';
  // Resolve the parts lexically; climbing above the start is unsafe by itself.
  std::size_t kept = 0;
  for (const std::string& part : PathParts(path.substr(drive ? 2 : 0))) {
    switch (MoveOf(part)) {
      case PartMove::kClimb:
        if (kept == 0) return true;
        --kept;
        break;
      case PartMove::kEnter:
        ++kept;
        break;
      case PartMove::kStay:
        break;
    }
  }
  // A share root (\\server\share) is as much a whole drive as C:\ is.
  return kept == 0 || (unc && kept <= 2);
}

bool DeleteFolderTree(std::string_view path) {
  if (IsUnsafeTreeTarget(path) || LastPartIsCutShort(path)) return false;
  const std::filesystem::path native = ToNativePath(path);
  std::error_code error;
  // A relative path must not resolve to a root either (for example "a/.." from "/").
  const std::filesystem::path absolute = std::filesystem::absolute(native, error).lexically_normal();
  if (error || absolute == absolute.root_path() || !absolute.has_relative_path()) return false;
  if (!std::filesystem::is_directory(native, error)) return false;
  return RemoveTree(native);
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
