#include "engine/download_list.h"

#include <gtest/gtest.h>

#include "engine/local_names.h"
#include "engine/local_playlist.h"

namespace qr::engine {
namespace {

using Entries = std::vector<std::string>;

TEST(DownloadListTest, LastPathPart) {
  EXPECT_EQ(LastPathPart("https://h/p/seg-7.ts"), "seg-7.ts");
  EXPECT_EQ(LastPathPart("https://h/p/seg-7.ts?k=1"), "seg-7.ts?k=1");
  EXPECT_EQ(LastPathPart("https://h/p/dir/"), "dir");
  EXPECT_EQ(LastPathPart("a.ts"), "a.ts");
}

TEST(DownloadListTest, EntriesByModeAndRule) {
  const std::string address = "https://a.example.com/v/1/index.m3u8";
  const std::string base = "https://a.example.com/v/1/";
  const std::string head = "#EXTM3U\n#EXTINF:10,\n";
  const std::string absoluteKey = "#EXT-X-KEY:METHOD=AES-128,URI=\"https://k.example.com/keys/k1.key\"\n";
  struct Case {
    std::string address;
    std::string text;
    Entries entries;
    std::string keyUri{};
  };
  const Case cases[] = {
      {address,
       head + "seg0.ts\n#EXTINF:10,\nseg1.ts\n#EXT-X-ENDLIST\n",
       {address, base + "seg0.ts", base + "seg1.ts"}},
      {address, head + "/v/1/seg0.ts\n", {address, base + "seg0.ts"}},
      {address, head + "https://cdn.example.net/x/seg0.ts\n", {address, base + "seg0.ts"}},
      {address,
       absoluteKey + head + "seg0.ts\n#EXTINF:10,\nhttps://cdn.example.net/x/seg1.ts\n",
       {address, "https://k.example.com/keys/k1.key", "seg0.ts", "https://cdn.example.net/x/seg1.ts"},
       "https://k.example.com/keys/k1.key"},
      {address,
       head + "seg0.ts\n#EXT-X-KEY:METHOD=AES-128,URI=\"k1.key\"\n#EXTINF:10,\nseg1.ts\n",
       {address, base + "seg0.ts", base + "k1.key", base + "seg1.ts"},
       "k1.key"},
      {"https://a.example.com/play?id=5", head + "/hls/seg0.ts\n", {"https://a.example.com/hls/seg0.ts"}},
      // A tag between "#EXTINF" and the address is taken for the segment.
      {address, head + "#EXT-X-BYTERANGE:100@0\nseg0.ts\n", {address, base + "#EXT-X-BYTERANGE:100@0"}},
      {address, "#EXTM3U\n#EXT-X-ENDLIST\n", {}},
      // CR LF line ends: no entry keeps the CR; a final "#EXTINF" names nothing.
      {"https://a.example.com/play", "#EXTINF:10,\r\n/s.ts\r\n#EXTINF:10,", {"https://a.example.com/s.ts"}},
  };
  for (const Case& c : cases) {
    const DownloadList list = BuildDownloadList(c.address, c.text);
    EXPECT_EQ(list.entries, c.entries) << c.text;
    EXPECT_EQ(list.keyUri, c.keyUri) << c.text;
  }
}

TEST(LocalNamesTest, NamesStayInTheFolderAndNeverCollide) {
  struct Case {
    Entries entries;
    Entries names;
  };
  const Case cases[] = {
      {{"https://h/p/index.m3u8", "https://h/p/seg0.ts"}, {"index.m3u8", "seg0.ts"}},
      {{"https://h/p/seg.ts?u=a/b.ts&k=1", "https://h/p/k.key#frag"}, {"seg.ts", "k.key"}},
      {{"https://h/a:b*c<d>e|f\"g\\h.ts", "https://h/p/\x01x.ts"}, {"a_b_c_d_e_f_g_h.ts", "_x.ts"}},
      {{"https://h/p/..", "https://h/", "https://h/p/. .", "https://h/p/a..", "https://h/p/x ."},
       {"entry-1", "h", "entry-3", "a__", "x__"}},
      {{"https://h/p/con.ts", "https://h/p/NUL"}, {"_con.ts", "_NUL"}},
      {{"https://h/1/seg.ts", "https://h/2/seg.ts", "https://h/3/SEG.TS", "https://h/4/seg-2.ts", "https://h/k", "k"},
       {"seg.ts", "seg-2.ts", "SEG-3.TS", "seg-2-2.ts", "k", "k-2"}},
      // The trail bytes of 乗 and 亅 are '\' and '|' and stay; a lead byte without trail byte does not.
      {{"https://h/乗亅.ts", "https://h/a\xB0"}, {"乗亅.ts", "a_"}},
  };
  for (const Case& c : cases) EXPECT_EQ(LocalFileNames(c.entries), c.names) << c.entries.front();
}

std::string Localized(const std::string& address, const std::string& text) {
  const DownloadList list = BuildDownloadList(address, text);
  return LocalizePlaylist(text, list.entries, LocalFileNames(list.entries));
}

TEST(LocalPlaylistTest, ReferencesPointAtTheStoredFiles) {
  const std::string address = "https://a.example.com/v/1/index.m3u8";
  const std::string cdnKey = "#EXT-X-KEY:METHOD=AES-128,URI=\"https://k.example.com/keys/k1.key\"\n";
  struct Case {
    std::string address;
    std::string text;
    std::string local;
  };
  const Case cases[] = {
      {address, "#EXTINF:10,\nhttps://cdn.example.net/x/seg0.ts\n#EXTINF:10,\nHTTPS://CDN.example.net/x/seg1.ts\n",
       "#EXTINF:10,\nseg0.ts\n#EXTINF:10,\nseg1.ts\n"},
      // A segment outside the key's folder still points at its stored file, not at the network.
      {address, cdnKey + "#EXTINF:10,\nhttps://cdn.example.net/x/seg0.ts\n",
       "#EXT-X-KEY:METHOD=AES-128,URI=\"k1.key\"\n#EXTINF:10,\nseg0.ts\n"},
      // Nor at another folder on the disk.
      {address, "#EXTINF:10,\n../../up/seg0.ts\n#EXTINF:10,\n/abs/seg1.ts\n",
       "#EXTINF:10,\nseg0.ts\n#EXTINF:10,\nseg1.ts\n"},
      // A URI never closed on its line names nothing, and no line is cut out.
      {address, "#EXT-X-KEY:METHOD=AES-128,URI=\"https://k/a\n#EXTINF:1,\nhttp://h/x/s.ts\"\n",
       "#EXT-X-KEY:METHOD=AES-128,URI=\"https://k/a\n#EXTINF:1,\ns.ts_\n"},
      {address, "#EXTM3U\n#EXTINF:10,\nseg0.ts\n#EXT-X-ENDLIST\n", "#EXTM3U\n#EXTINF:10,\nseg0.ts\n#EXT-X-ENDLIST\n"},
      // The odd prefixes of texts without a ".ts" or a second "/" are removed all the same.
      {address, "#EXTINF:10,\nhttp/a.mp4\n", "#EXTINF:10,\na.mp4\n"},
      {address, "#EXTINF:10,\n//a.mp4\n", "#EXTINF:10,\na.mp4\n"},
      // Query strings are no part of the stored names; CRs and the rest of a line stay.
      {address,
       "#EXT-X-KEY:METHOD=AES-128,URI=\"https://k.example.com/k1.key?t=9\",IV=0x1\r\n#EXTINF:10,\r\n"
       "https://cdn.example.net/x/seg0.ts?t=9\r\n",
       "#EXT-X-KEY:METHOD=AES-128,URI=\"k1.key\",IV=0x1\r\n#EXTINF:10,\r\nseg0.ts\r\n"},
      // Two files of one name: the second was stored under another name.
      {"https://a.example.com/play?id=5", "#EXTINF:10,\n/a/seg.ts\n#EXTINF:10,\n/b/seg.ts\n",
       "#EXTINF:10,\nseg.ts\n#EXTINF:10,\nseg-2.ts\n"},
  };
  for (const Case& c : cases) EXPECT_EQ(Localized(c.address, c.text), c.local) << c.text;
}

TEST(LocalPlaylistTest, ListsThatDoNotFitTheTextRenameNothing) {
  const std::string text = "#EXTINF:10,\nhttps://cdn.example.net/x/seg0.ts?t=1\n";
  EXPECT_EQ(LocalizePlaylist(text, {}, {}), "#EXTINF:10,\nseg0.ts?t=1\n");
  EXPECT_EQ(LocalizePlaylist(text, {"a", "b", "c"}, {"a", "b", "c-2"}), "#EXTINF:10,\nseg0.ts?t=1\n");
}

}  // namespace
}  // namespace qr::engine
