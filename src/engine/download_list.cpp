#include "engine/download_list.h"

#include "engine/playlist_references.h"
#include "engine/playlist_rules.h"
#include "runtime/text.h"

namespace qr::engine {

namespace {

// The address up to and including its last "/".
std::string PlaylistBase(std::string_view address) {
  const std::size_t lastSlash = text::FindLast(address, "/");
  return lastSlash == text::npos ? std::string() : std::string(address.substr(0, lastSlash + 1));
}

}  // namespace

std::string LastPathPart(std::string_view u) {
  const std::vector<std::string> pieces = text::Split(u, "/");
  return pieces.empty() ? std::string() : pieces.back();
}

DownloadList BuildDownloadList(std::string_view address, std::string_view playlistText) {
  DownloadList list;
  const bool folderRules = text::Contains(address, ".m3u8");
  if (folderRules) list.entries.emplace_back(address);
  const std::string base = PlaylistBase(address);
  const std::string origin = UrlOrigin(address);
  const PlaylistReferences found = FindPlaylistReferences(playlistText);
  for (const PlaylistReference& ref : found.references) {
    if (ref.isUri) list.keyUri = ref.reference;
    if (found.absolute) {
      list.entries.push_back(ref.reference);
    } else if (folderRules) {
      list.entries.push_back(base + LastPathPart(ref.reference));
    } else {
      list.entries.push_back(origin + ref.reference);
    }
  }
  // A playlist that names nothing has nothing to download, not even itself.
  if (found.references.empty()) list.entries.clear();
  return list;
}

}  // namespace qr::engine
