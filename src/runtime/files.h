// Whole-file and folder operations on code page 936 paths.
//
// Paths are GBK byte text; they are converted to the system's own file names
// (UTF-16 on Windows, UTF-8 on Linux) only here, so a folder named 电影 is
// named 电影 on every system whatever its own code page is.
#pragma once

#include <filesystem>
#include <string>
#include <string_view>

namespace qr::files {

// The separator of every path the program builds: '\' on Windows, '/' elsewhere.
char PathSeparator();

// `folder` + separator + `name`, without doubling a separator `folder` already ends with.
std::string JoinPath(std::string_view folder, std::string_view name);

std::filesystem::path ToNativePath(std::string_view path);
std::string FromNativePath(const std::filesystem::path& path);

// The whole file as bytes; a missing or unreadable file gives no bytes.
std::string ReadFileBytes(std::string_view path);
// Creates or replaces the file with exactly `bytes`.
bool WriteFileBytes(std::string_view path, std::string_view bytes);
// Appends `bytes`, creating the file when it is missing.
bool AppendFileBytes(std::string_view path, std::string_view bytes);
// Writes to a temporary file beside `path`, puts its bytes on the disk and
// renames it over `path`, so a reader, a killed process or a power cut leaves
// either the old content or the new, never an empty or half-written file.
// The first call for a path also removes the temporaries that killed
// processes left beside it (untouched for a minute).
bool ReplaceFileBytes(std::string_view path, std::string_view bytes);

bool FileExists(std::string_view path);
bool FolderExists(std::string_view path);
bool RemoveFile(std::string_view path);

// Creates every missing level of a folder path; true when the folder exists afterwards.
bool EnsureFolder(std::string_view path);

// True when deleting `path` as a tree could reach a whole drive, a root, the
// current folder or above: an empty path, "/", "C:", "C:\", "\\server\share",
// and anything that names such a place once "." and ".." are resolved
// ("X/..", "C:\a\.."). Both '/' and '\' count as separators on every system,
// and every part reads as Windows reads it, without its trailing dots and
// spaces ("X\..." is X, "X\.. " is above X).
bool IsUnsafeTreeTarget(std::string_view path);
// Deletes a folder with everything below it; refuses unsafe targets (see
// above) and a target whose last part ends in a dot or a space (Windows would
// delete another folder than the one named). Each entry is tried once, so a
// deletion always ends, whether or not everything could be removed.
bool DeleteFolderTree(std::string_view path);

// The folder of the program's executable, without a final separator. Tests
// (and the environment variable QUILLREEL_PROGRAM_FOLDER) may override it.
std::string ProgramFolder();
void SetProgramFolder(std::string_view folder);

}  // namespace qr::files
