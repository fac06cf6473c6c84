#include "engine/playlist_rules.h"

#include <array>

#include "runtime/text.h"

namespace qr::engine {

namespace {

constexpr std::string_view kHttps = "https://";
constexpr std::string_view kHttp = "http://";

// Length of the "https://" or "http://" the address starts with (any letter case), else 0.
std::size_t SchemeLength(std::string_view address) {
  for (const std::string_view scheme : {kHttps, kHttp}) {
    if (text::MatchesAt(address, 0, scheme, true)) return scheme.size();
  }
  return 0;
}

bool IsVariantLine(std::string_view line) {
  const std::string_view reference = WithoutFinalCr(line);
  return !reference.empty() && reference.front() != '#';
}

// A variant reference made into an address: full addresses stay, "/..." hangs
// below the origin, anything else below the playlist's folder.
std::string VariantAddress(std::string_view address, std::string_view reference) {
  if (SchemeLength(reference) != 0) return std::string(reference);
  if (text::StartsWith(reference, "/")) return UrlOrigin(address) + std::string(reference);
  return UrlFolder(address) + "/" + std::string(reference);
}

}  // namespace

std::string HostOfUrl(std::string_view url) {
  std::string lowered = text::ToLowerAscii(url);
  if (!text::EndsWith(lowered, "/")) lowered += "/";
  if (text::StartsWith(lowered, kHttps)) return text::TextBetween(lowered, kHttps, "/");
  if (!text::Contains(lowered, kHttp)) lowered.insert(0, kHttp);
  return text::TextBetween(lowered, kHttp, "/");
}

std::string RetryNumeral(int n) {
  static constexpr std::array<std::string_view, 10> kNumerals = {"零", "一", "二", "三", "四",
                                                                 "五", "六", "七", "八", "九"};
  return std::string(n >= 1 && n <= 9 ? kNumerals[static_cast<std::size_t>(n)] : kNumerals[0]);
}

std::string UrlOrigin(std::string_view address) {
  const std::size_t hostEnd = text::Find(address, "/", SchemeLength(address));
  return std::string(address.substr(0, hostEnd));
}

std::string UrlFolder(std::string_view address) {
  const std::size_t lastSlash = text::FindLast(address, "/");
  return lastSlash == text::npos ? std::string() : std::string(address.substr(0, lastSlash));
}

std::vector<std::string> SplitPlaylistLines(std::string_view text) { return text::Split(text, "\n"); }

std::string_view WithoutFinalCr(std::string_view line) {
  return text::EndsWith(line, "\r") ? line.substr(0, line.size() - 1) : line;
}

PlaylistDecision ResolvePlaylist(std::string_view address, std::string_view text) {
  if (text::Contains(text, "#EXT-X-ENDLIST", true)) return {PlaylistKind::kMedia, {}};
  // Segments without an end mark a live playlist, which cannot be downloaded whole.
  if (text::Contains(text, "#EXTINF", true)) return {};
  std::vector<std::string> variants;
  for (const std::string& line : SplitPlaylistLines(text)) {
    if (IsVariantLine(line)) variants.emplace_back(WithoutFinalCr(line));
  }
  if (variants.size() != 1) return {};
  const std::string& reference = variants.front();
  // A master text that names no ".m3u8" is only trusted with a path below the origin.
  if (!text::Contains(text, ".m3u8") && !text::StartsWith(reference, "/")) return {};
  return {PlaylistKind::kFollowVariant, VariantAddress(address, reference)};
}

bool IsUsableShutdownDelay(std::string_view text) { return text::IsDecimalDigits(text); }

}  // namespace qr::engine
