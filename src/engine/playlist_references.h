// The references of a media playlist, in the order the download list takes
// them: the line after each "#EXTINF" line, and the non-empty URI="..." value
// of a key (or other tag) line. The download list and the local playlist both
// walk the playlist this way, so entry and reference always pair up.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace qr::engine {

// The opener of a quoted URI attribute, and the same with an absolute address.
inline constexpr std::string_view kUriOpener = "URI=\"";
inline constexpr std::string_view kAbsoluteUriOpener = "URI=\"http";

struct PlaylistReference {
  std::size_t line = 0;   // index into SplitPlaylistLines(text)
  bool isUri = false;     // a URI="..." value rather than a whole line
  std::string reference;  // the line without its CR, or the URI value
};

struct PlaylistReferences {
  // Absolute mode: some URI names a full address; then only such URI lines
  // count, and every reference is taken as an address of its own.
  bool absolute = false;
  std::vector<PlaylistReference> references;
};

PlaylistReferences FindPlaylistReferences(std::string_view playlistText);

}  // namespace qr::engine
