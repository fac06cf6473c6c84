// Maps a request path of the HLS server to a file below its root folder.
#pragma once

#include <filesystem>
#include <optional>
#include <string>

namespace qr::testing {

struct ServedFile {
  std::filesystem::path path;
  std::string contentType;
};

// `requestPath` is the percent-decoded UTF-8 path without its query string.
// No file is found for a path with a ".." step (it could leave the root), nor
// for a folder or a missing file.
std::optional<ServedFile> FindServedFile(const std::filesystem::path& root, const std::string& requestPath);

// The Content-Type of an HLS server response, chosen by the file's extension.
std::string ContentTypeOf(const std::filesystem::path& file);

}  // namespace qr::testing
