#include "engine/playlist_rules.h"

#include <gtest/gtest.h>

namespace qr::engine {
namespace {

TEST(PlaylistRulesTest, AddressParts) {
  EXPECT_EQ(HostOfUrl("HTTPS://V.Example.com:8080/a"), "v.example.com:8080");
  EXPECT_EQ(UrlOrigin("https://v.example.com:8080/a/b.m3u8"), "https://v.example.com:8080");
  EXPECT_EQ(UrlOrigin("https://comics.example.com/v/a.m3u8"), "https://comics.example.com");
  EXPECT_EQ(UrlOrigin("HTTP://A.Example.com/x.m3u8"), "HTTP://A.Example.com");
  EXPECT_EQ(UrlOrigin("a.example.com/x"), "a.example.com");
  EXPECT_EQ(UrlFolder("https://a.example.com/x/y/index.m3u8"), "https://a.example.com/x/y");
  EXPECT_EQ(UrlFolder("index.m3u8"), "");
  EXPECT_EQ(RetryNumeral(1), "一");
  EXPECT_EQ(RetryNumeral(9), "九");
  for (const int n : {0, 10, -1}) EXPECT_EQ(RetryNumeral(n), "零") << n;
  EXPECT_EQ(SplitPlaylistLines("a\r\n\nb\n"), (std::vector<std::string>{"a\r", "", "b"}));
  EXPECT_TRUE(SplitPlaylistLines("").empty());
}

TEST(PlaylistRulesTest, MediaPlaylistsAreKeptAndSingleVariantsFollowed) {
  const std::string address = "https://a.example.com/x/y/index.m3u8";
  const std::string master = "#EXTM3U\n#EXT-X-STREAM-INF:BANDWIDTH=800000\n";
  struct Case {
    std::string text;
    PlaylistKind kind;
    std::string variant;
  };
  const Case cases[] = {
      {"#EXTM3U\n#EXTINF:10,\nseg0.ts\n#ext-x-endlist\n", PlaylistKind::kMedia, ""},
      {master + "/hls/720/index.m3u8", PlaylistKind::kFollowVariant, "https://a.example.com/hls/720/index.m3u8"},
      {master + "720/index.m3u8\n", PlaylistKind::kFollowVariant, "https://a.example.com/x/y/720/index.m3u8"},
      {master + "HTTPS://b.example.com/z.m3u8", PlaylistKind::kFollowVariant, "HTTPS://b.example.com/z.m3u8"},
      // Other tags and CR LF line ends: the CR is no part of the address.
      {"#EXTM3U\r\n#EXT-X-VERSION:3\r\n#EXT-X-INDEPENDENT-SEGMENTS\r\n\r\n#EXT-X-STREAM-INF:B=1\r\n720.m3u8\r\n",
       PlaylistKind::kFollowVariant, "https://a.example.com/x/y/720.m3u8"},
      {master + "/play?id=5\n", PlaylistKind::kFollowVariant, "https://a.example.com/play?id=5"},
      {master + "play?id=5\n", PlaylistKind::kGiveUp, ""},  // no ".m3u8" and not below the origin
      {master + "a/1.m3u8\n#EXT-X-STREAM-INF:BANDWIDTH=1\nb/2.m3u8\n", PlaylistKind::kGiveUp, ""},
      {master, PlaylistKind::kGiveUp, ""},
      {"#EXTM3U\n#EXTINF:10,\nseg0.ts\n#EXTINF:10,\nseg1.ts\n", PlaylistKind::kGiveUp, ""},  // live
      {"#EXTM3U\n#EXTINF:10,\n/seg0.ts\n", PlaylistKind::kGiveUp, ""},
  };
  for (const Case& c : cases) {
    const PlaylistDecision decision = ResolvePlaylist(address, c.text);
    EXPECT_EQ(decision.kind, c.kind) << c.text;
    EXPECT_EQ(decision.variantAddress, c.variant) << c.text;
  }
}

TEST(PlaylistRulesTest, ShutdownDelayIsDigitsOnly) {
  EXPECT_TRUE(IsUsableShutdownDelay("60"));
  for (const std::string delay : {"", " 60", "-1", "60 & calc", "1e3"})
    EXPECT_FALSE(IsUsableShutdownDelay(delay)) << delay;
}

}  // namespace
}  // namespace qr::engine
