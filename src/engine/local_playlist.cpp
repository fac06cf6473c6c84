#include "engine/local_playlist.h"

#include "engine/download_list.h"
#include "engine/playlist_references.h"
#include "engine/playlist_rules.h"
#include "runtime/text.h"

namespace qr::engine {

namespace {

// `text` up to, not including, its last "/" (empty without one).
std::string_view BeforeLastSlash(std::string_view text) {
  const std::size_t lastSlash = text::FindLast(text, "/");
  return lastSlash == text::npos ? std::string_view() : text.substr(0, lastSlash);
}

// The address prefix the references share, as far as the playlist shows it;
// empty when there is none to remove.
std::string CommonPrefix(std::string_view playlistText) {
  if (text::Contains(playlistText, "#EXT-X-KEY")) {
    // The key's folder; a key named without any "/" leaves the text as it is.
    const std::string keyUri = text::TextBetween(playlistText, kUriOpener, "\"");
    const std::size_t lastSlash = text::FindLast(keyUri, "/");
    return lastSlash == text::npos ? std::string() : keyUri.substr(0, lastSlash + 1);
  }
  // Without a key, the folder of the first segment address, found from its
  // first "http" (or, lacking one, its first "/") up to the next ".ts".
  for (const std::string_view start : {"http", "/"}) {
    if (!text::Contains(playlistText, start)) continue;
    const std::string segmentPath = text::TextBetween(playlistText, start, ".ts");
    return std::string(start) + std::string(BeforeLastSlash(segmentPath)) + "/";
  }
  return {};
}

// Puts `localName` in place of the reference on its line: the whole line but
// its CR, or the URI value between the opener and the closing quote.
void RenameReference(std::string& line, const PlaylistReference& ref, const std::string& localName) {
  if (!ref.isUri) {
    line = localName + (text::EndsWith(line, "\r") ? "\r" : "");
    return;
  }
  const std::size_t opener = text::Find(line, kUriOpener);
  if (opener == text::npos) return;
  const std::size_t valueAt = opener + kUriOpener.size();
  const std::size_t closeAt = text::Find(line, "\"", valueAt);
  if (closeAt == text::npos) return;
  line.replace(valueAt, closeAt - valueAt, localName);
}

// An address with ".m3u8" is itself the first entry, ahead of the references.
bool ListsFitText(const PlaylistReferences& found, const std::vector<std::string>& entries,
                  const std::vector<std::string>& localNames) {
  return entries.size() == localNames.size() && entries.size() >= found.references.size() &&
         entries.size() <= found.references.size() + 1;
}

// The text with every reference that is not already its entry's stored name
// replaced by that name: the merge reads the playlist inside the task's
// folder, so a reference into another folder ("../x.ts", "/x.ts", another
// host's address) would read some other file than the one downloaded.
std::string RenameStoredReferences(std::string_view playlistText, const PlaylistReferences& found,
                                   const std::vector<std::string>& entries,
                                   const std::vector<std::string>& localNames) {
  const std::size_t firstEntry = entries.size() - found.references.size();
  std::vector<std::string> lines = SplitPlaylistLines(playlistText);
  bool renamed = false;
  for (std::size_t i = 0; i < found.references.size(); ++i) {
    const std::string& localName = localNames[firstEntry + i];
    if (found.references[i].reference == localName) continue;
    RenameReference(lines[found.references[i].line], found.references[i], localName);
    renamed = true;
  }
  if (!renamed) return std::string(playlistText);
  return text::Join(lines, "\n") + (text::EndsWith(playlistText, "\n") ? "\n" : "");
}

}  // namespace

std::string LocalizePlaylist(std::string_view playlistText, const std::vector<std::string>& entries,
                             const std::vector<std::string>& localNames) {
  const PlaylistReferences found = FindPlaylistReferences(playlistText);
  // Every reference then names its stored file; removing a prefix as well
  // could only change tags and other text (or make a tag a reference).
  if (ListsFitText(found, entries, localNames)) return RenameStoredReferences(playlistText, found, entries, localNames);
  std::string prefix = CommonPrefix(playlistText);
  // A "prefix" read across a line break (a quote never closed on its line) is
  // no address: removing it would cut whole lines out of the playlist.
  if (prefix.find_first_of("\r\n") != std::string::npos) prefix.clear();
  return prefix.empty() ? std::string(playlistText) : text::RemoveAll(playlistText, prefix, true);
}

}  // namespace qr::engine
