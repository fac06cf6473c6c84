#include "support/served_file.h"

#include <map>
#include <system_error>

namespace qr::testing {

std::optional<ServedFile> FindServedFile(const std::filesystem::path& root, const std::string& requestPath) {
  const std::filesystem::path relative = std::filesystem::path(requestPath).relative_path();
  for (const std::filesystem::path& step : relative) {
    if (step == "..") return std::nullopt;
  }
  if (requestPath.find('\0') != std::string::npos) return std::nullopt;
  const std::filesystem::path file = root / relative;
  std::error_code error;
  if (!std::filesystem::is_regular_file(file, error)) return std::nullopt;
  return ServedFile{file, ContentTypeOf(file)};
}

std::string ContentTypeOf(const std::filesystem::path& file) {
  static const std::map<std::string, std::string> kTypes = {
      {".m3u8", "application/vnd.apple.mpegurl"},
      {".ts", "video/mp2t"},
      {".key", "application/octet-stream"},
      {".mp4", "video/mp4"},
  };
  const auto found = kTypes.find(file.extension().string());
  return found == kTypes.end() ? "application/octet-stream" : found->second;
}

}  // namespace qr::testing
