#include "engine/playlist_references.h"

#include "engine/playlist_rules.h"
#include "runtime/text.h"

namespace qr::engine {

PlaylistReferences FindPlaylistReferences(std::string_view playlistText) {
  PlaylistReferences found;
  found.absolute = text::Contains(playlistText, kAbsoluteUriOpener);
  const std::string_view lineOpener = found.absolute ? kAbsoluteUriOpener : kUriOpener;
  const std::vector<std::string> lines = SplitPlaylistLines(playlistText);
  for (std::size_t i = 0; i < lines.size(); ++i) {
    if (text::Contains(lines[i], "#EXTINF", true)) {
      // The line after "#EXTINF" is the segment, whatever it holds; a final "#EXTINF" names none.
      if (i + 1 < lines.size()) found.references.push_back({i + 1, false, std::string(WithoutFinalCr(lines[i + 1]))});
    } else if (text::Contains(lines[i], lineOpener, true)) {
      // A value that is empty or never closed names no file.
      std::string value = text::TextBetween(lines[i], kUriOpener, "\"");
      if (!value.empty()) found.references.push_back({i, true, std::move(value)});
    }
  }
  return found;
}

}  // namespace qr::engine
