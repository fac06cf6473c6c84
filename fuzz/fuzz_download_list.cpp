// The download list, the local file names and the local playlist built from
// arbitrary addresses and playlists.
#include <fuzzer/FuzzedDataProvider.h>

#include <set>

#include "engine/download_list.h"
#include "engine/local_names.h"
#include "engine/local_playlist.h"
#include "engine/name_rules.h"
#include "engine/playlist_references.h"
#include "engine/playlist_rules.h"
#include "fuzz_check.h"
#include "runtime/text.h"

namespace engine = qr::engine;
namespace text = qr::text;

namespace {

// A stored name makes one file right inside the task's folder, the same on
// Windows and Linux.
void CheckLocalName(const std::string& name) {
  FUZZ_CHECK(!name.empty() && name != "." && name != "..");
  for (std::size_t pos = 0; pos < name.size(); pos += text::CharLength(name, pos)) {
    if (text::CharLength(name, pos) == 1) {
      FUZZ_CHECK(static_cast<unsigned char>(name[pos]) < 0x80 && !engine::IsForbiddenInFileName(name[pos]));
    }
  }
  FUZZ_CHECK(!engine::IsDroppedAtNameEnd(name.back()) && !engine::IsReservedDeviceName(name));
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  FuzzedDataProvider input(data, size);
  const std::string address = input.ConsumeRandomLengthString(80);
  const std::string playlist = input.ConsumeRemainingBytesAsString();

  const engine::DownloadList list = engine::BuildDownloadList(address, playlist);
  const std::vector<std::string> names = engine::LocalFileNames(list.entries);
  FUZZ_CHECK(names.size() == list.entries.size());
  std::set<std::string> taken;
  for (const auto& name : names) {
    CheckLocalName(name);
    FUZZ_CHECK(taken.insert(text::ToUpperAscii(name)).second);  // letter case ignored, as on Windows
  }

  // The merge reads the local playlist inside the task's folder: every
  // reference in it must name one of the stored files, nothing else. (Read
  // again the same way: a text whose only full URI address was a renamed
  // segment line is read in the other mode, whose references differ.)
  const std::string local = engine::LocalizePlaylist(playlist, list.entries, names);
  const engine::PlaylistReferences before = engine::FindPlaylistReferences(playlist);
  const engine::PlaylistReferences after = engine::FindPlaylistReferences(local);
  if (!list.entries.empty() && after.references.size() == before.references.size() &&
      after.absolute == before.absolute) {
    const std::set<std::string> stored(names.begin(), names.end());
    for (const auto& ref : after.references) FUZZ_CHECK(stored.count(ref.reference) == 1);
  }

  const engine::PlaylistDecision decision = engine::ResolvePlaylist(address, playlist);
  if (decision.kind != engine::PlaylistKind::kFollowVariant) FUZZ_CHECK(decision.variantAddress.empty());
  engine::HostOfUrl(address);
  engine::UrlFolder(address);
  return 0;
}
