// The loopback HLS server's faults, as a client sees them.
#include "support/hls_server.h"

#include <gtest/gtest.h>
#include <httplib.h>

#include <filesystem>
#include <fstream>
#include <vector>

namespace qr::testing {
namespace {

namespace fs = std::filesystem;
constexpr int kCut = -1;  // the transfer broke off (or timed out) before the whole body arrived

class HlsServerTest : public ::testing::Test {
 protected:
  void SetUp() override {
    root_ = fs::temp_directory_path() / ("qr-hls-" + std::to_string(::getpid()));
    fs::create_directories(root_ / fs::path(u8"视频"));
    Write(root_ / "index.m3u8", "#EXTM3U\n");
    Write(root_ / "seg0.ts", std::string(10000, 'G'));
    Write(root_ / fs::path(u8"视频") / "seg0.ts", "chinese");
  }
  void TearDown() override { fs::remove_all(root_); }

  static void Write(const fs::path& path, const std::string& bytes) { std::ofstream(path, std::ios::binary) << bytes; }

  HlsServerOptions Options() const {
    HlsServerOptions options;
    options.root = root_.string();
    return options;
  }

  // The status of each GET, or kCut; each request on a connection of its own.
  static std::vector<int> Statuses(const HlsServer& server, const std::vector<std::string>& paths) {
    std::vector<int> statuses;
    for (const std::string& path : paths) {
      httplib::Client client("127.0.0.1", server.Port());
      // Far below the stall, yet long enough for a slow (sanitizer) build under load.
      client.set_read_timeout(1, 500000);
      const httplib::Result result = client.Get(path.c_str());
      statuses.push_back(result ? result->status : kCut);
    }
    return statuses;
  }

  fs::path root_;
};

TEST_F(HlsServerTest, EveryNthRequestOverAllPathsGetsTheFault) {
  struct Case {
    HlsFault fault;
    std::vector<int> expected;
  };
  const std::vector<Case> cases = {
      {HlsFault::kStatus503, {200, 503, 200, 503}},
      {HlsFault::kDrop, {200, kCut, 200, kCut}},
      {HlsFault::kStall, {200, kCut, 200, kCut}},
  };
  for (const Case& c : cases) {
    HlsServerOptions options = Options();
    options.faultEvery = 2;
    options.fault = c.fault;
    HlsServer server(options);
    EXPECT_EQ(Statuses(server, {"/seg0.ts", "/index.m3u8", "/index.m3u8", "/seg0.ts"}), c.expected)
        << static_cast<int>(c.fault);
  }
}

TEST_F(HlsServerTest, FailFirstHitsOnlyItsPathAndThenSucceeds) {
  HlsServerOptions options = Options();
  options.failFirst = 2;
  options.failPath = "/index.m3u8";
  HlsServer server(options);
  EXPECT_EQ(Statuses(server, {"/index.m3u8", "/seg0.ts", "/index.m3u8?a=1", "/index.m3u8"}),
            (std::vector<int>{503, 200, 503, 200}));
}

TEST_F(HlsServerTest, StallFirstHoldsOnlyItsPathAndThenAnswers) {
  HlsServerOptions options = Options();
  options.stallFirst = 1;
  options.stallPath = "/seg0.ts";
  HlsServer server(options);
  EXPECT_EQ(Statuses(server, {"/seg0.ts", "/index.m3u8", "/seg0.ts"}), (std::vector<int>{kCut, 200, 200}));
}

TEST_F(HlsServerTest, PathsMapInsideTheRootOnly) {
  HlsServer server(Options());
  EXPECT_EQ(Statuses(server, {"/seg0.ts?token=abc123", "/%E8%A7%86%E9%A2%91/seg0.ts", "/%2e%2e/etc/passwd",
                              "/%E8%A7%86%E9%A2%91/../../etc/passwd", "/missing.ts", "/%E8%A7%86%E9%A2%91"}),
            (std::vector<int>{200, 200, 404, 404, 404, 404}));
  httplib::Client client("127.0.0.1", server.Port());
  const httplib::Result playlist = client.Get("/index.m3u8");
  ASSERT_TRUE(playlist);
  EXPECT_EQ(playlist->get_header_value("Content-Type"), "application/vnd.apple.mpegurl");
}

TEST_F(HlsServerTest, StoppingDoesNotWaitOutAStall) {
  HlsServerOptions options = Options();
  options.faultEvery = 1;
  options.fault = HlsFault::kStall;
  const auto start = std::chrono::steady_clock::now();
  {
    HlsServer server(options);
    EXPECT_EQ(Statuses(server, {"/seg0.ts"}), std::vector<int>{kCut});
  }
  EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(5));
}

TEST_F(HlsServerTest, CloseAfterEachAndHttpsTogether) {
  HlsServerOptions options = Options();
  options.closeAfterEach = true;
  options.https = true;
  HlsServer server(options);
  httplib::SSLClient client("127.0.0.1", server.Port());
  client.enable_server_certificate_verification(false);
  const httplib::Result result = client.Get("/seg0.ts");
  ASSERT_TRUE(result);
  EXPECT_EQ(result->body.size(), 10000u);
  EXPECT_EQ(result->get_header_value("Connection"), "close");
}

}  // namespace
}  // namespace qr::testing
