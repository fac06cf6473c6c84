// What the task worker decides from a playlist address and the text fetched
// from it: the parts of the address that references are resolved against, and
// whether the text is a media playlist, a master playlist to follow, or
// something to give up.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace qr::engine {

// The host of a URL with its port, in lower case: the text between the
// scheme and the next "/". A URL without "http://" anywhere in it is read as
// if it started with "http://".
std::string HostOfUrl(std::string_view url);

// "一" to "九" for 1 to 9, "零" for every other number (the retry log lines).
std::string RetryNumeral(int n);

// The address up to the end of its host and port, in the address's own letter
// case ("HTTP://A.Example.com/x" gives "HTTP://A.Example.com"); without a
// scheme, the text before the first "/".
std::string UrlOrigin(std::string_view address);

// The address up to, not including, its last "/" (empty without one).
std::string UrlFolder(std::string_view address);

// Lines split at LF; a CR before the LF stays at the end of its line, and a
// final LF makes no empty last line.
std::vector<std::string> SplitPlaylistLines(std::string_view text);

// The text without one CR at its end.
std::string_view WithoutFinalCr(std::string_view line);

enum class PlaylistKind {
  kMedia,          // hand the text to the download list
  kFollowVariant,  // fetch `variantAddress` instead and start over
  kGiveUp,         // not usable: drop the task
};

struct PlaylistDecision {
  PlaylistKind kind = PlaylistKind::kGiveUp;
  std::string variantAddress;  // only for kFollowVariant
};

// A text with "#EXT-X-ENDLIST" is a media playlist. Otherwise it is followed
// when it is a master playlist naming exactly one variant (one line that is
// neither empty nor a tag); a live media playlist, several variants or none
// are given up. A text without ".m3u8" is only followed to a variant that
// starts with "/".
PlaylistDecision ResolvePlaylist(std::string_view address, std::string_view text);

// The shutdown delay goes onto a command line: only decimal digits are taken.
bool IsUsableShutdownDelay(std::string_view text);

}  // namespace qr::engine
