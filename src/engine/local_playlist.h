// The playlist handed to the merge: the fetched playlist with its references
// pointing at the files stored in the task's folder.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace qr::engine {

// Every reference that is not already the name its entry was stored under
// (see LocalFileNames) is replaced as a whole by that name, so the merge reads
// only the task folder's own files, never one elsewhere on the disk or on the
// network. Tags, other text and line ends stay as they were. `entries` and
// `localNames` are the download list built from this very text and the names
// its entries were stored under; lists that do not fit the text only get the
// common address prefix of the references removed (that of the key's URI
// when the playlist has a key, else that of the first segment address), in
// any letter case, so that addresses under that folder become bare file names.
std::string LocalizePlaylist(std::string_view playlistText, const std::vector<std::string>& entries,
                             const std::vector<std::string>& localNames);

}  // namespace qr::engine
