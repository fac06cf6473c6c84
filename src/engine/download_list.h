// The list of files a task downloads, built from its media playlist: every
// segment and key the playlist names, as full addresses.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace qr::engine {

// The last "/"-separated piece of an address ("https://h/p/seg-7.ts?k=1"
// gives "seg-7.ts?k=1", "https://h/p/dir/" gives "dir"); empty without one.
std::string LastPathPart(std::string_view u);

struct DownloadList {
  std::vector<std::string> entries;
  std::string keyUri;  // the last URI value taken from a line
};

// `address` is the playlist's address as it was fetched. An address holding
// ".m3u8" is itself the first entry and relative references are taken as file
// names in its folder; otherwise relative references hang below its origin.
// When any URI names a full address, every reference is taken as it stands.
DownloadList BuildDownloadList(std::string_view address, std::string_view playlistText);

}  // namespace qr::engine
