// The web request against real servers on 127.0.0.1, through the platform's
// own request object (libcurl on Linux, the automation object on Windows).
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <chrono>
#include <mutex>
#include <thread>

#include "http/web_request.h"
#include "mini_http_server.h"
#include "runtime/codepage.h"

namespace qr::http {
namespace {

using ::testing::ElementsAre;
using ::testing::HasSubstr;
using testing::MiniHttpServer;
using testing::MiniRequest;
using testing::MiniResponse;
using ::testing::Not;

std::string MebibyteOfAllByteValues() {
  std::string bytes(1 << 20, '\0');
  for (std::size_t i = 0; i < bytes.size(); ++i) bytes[i] = static_cast<char>((i * 7 + (i >> 12)) & 0xFF);
  return bytes;
}

class WebRequestLoopback : public ::testing::Test {
 protected:
  MiniResponse Answer(const MiniRequest& request) {
    {
      std::lock_guard<std::mutex> lock(mutex_);
      last_ = request;
    }
    if (request.target == "/binary") return {200, {{"Content-Type", "application/octet-stream"}}, binary_};
    if (request.target == "/moved") return {302, {{"Location", "/target"}}, "moved"};
    if (request.target == "/target") return {200, {}, "arrived"};
    if (request.target == "/cookies") {
      return {200,
              {{"Set-Cookie", "b=9; path=/; HttpOnly"}, {"Set-Cookie", "c=deleted"}},
              "got " + request.Header("Cookie")};
    }
    if (request.target == "/echo") return {200, {}, "body=" + request.body};
    return {404, {}, "no such page"};
  }

  MiniRequest Last() {
    std::lock_guard<std::mutex> lock(mutex_);
    return last_;
  }

  const std::string binary_ = MebibyteOfAllByteValues();
  std::mutex mutex_;
  MiniRequest last_;
  MiniHttpServer server_{[this](const MiniRequest& request) { return Answer(request); }};
};

TEST_F(WebRequestLoopback, BinaryBodyArrivesByteForByte) {
  int status = 0;
  const std::string body = WebRequest(server_.Url("/binary"), {.statusCode = &status});
  EXPECT_EQ(status, 200);
  ASSERT_EQ(body.size(), binary_.size());
  EXPECT_TRUE(body == binary_);
}

TEST_F(WebRequestLoopback, RedirectFollowedUnlessSwitchedOff) {
  int status = 0;
  std::string headers;
  EXPECT_EQ(WebRequest(server_.Url("/moved"), {.responseHeaders = &headers, .statusCode = &status}), "arrived");
  EXPECT_EQ(status, 200);
  // The headers are the final response's alone, without its status line
  // (which Wine's request object leaves in) and without a terminating zero.
  EXPECT_THAT(headers, Not(HasSubstr("Location")));
  if (!testing::RunningUnderWine()) {
    EXPECT_THAT(headers, Not(HasSubstr("HTTP/1.1")));
  }
  EXPECT_EQ(headers.find('\0'), std::string::npos);
  EXPECT_THAT(headers, HasSubstr("Content-Length: 7\r\n"));

  EXPECT_EQ(WebRequest(server_.Url("/moved"), {.responseHeaders = &headers, .statusCode = &status, .noRedirect = true}),
            "moved");
  EXPECT_EQ(status, 302);
  EXPECT_THAT(headers, HasSubstr("Location: /target\r\n"));
}

TEST_F(WebRequestLoopback, PlainGetSendsTheFourDefaultHeaders) {
  const std::string url = server_.Url("/plain");
  WebRequest(url);
  const MiniRequest request = Last();
  EXPECT_EQ(request.method, "GET");
  EXPECT_EQ(request.target, "/plain");
  std::vector<std::pair<std::string, std::string>> ours;
  for (const auto& header : request.headers) {
    // The transport's own lines: Host on both builds, and the Windows
    // object's Connection line.
    if (header.first == "Host" || header.first == "Connection") continue;
    ours.push_back(header);
  }
  EXPECT_THAT(ours, ElementsAre(std::pair<std::string, std::string>{"Accept", "*/*"},
                                std::pair<std::string, std::string>{"Referer", url},
                                std::pair<std::string, std::string>{"Accept-Language", "zh-cn"},
                                std::pair<std::string, std::string>{
                                    "User-Agent", "Mozilla/4.0 (compatible; MSIE 9.0; Windows NT 6.1)"}));
#ifndef _WIN32
  EXPECT_EQ(request.HeaderCount("Connection"), 0);
#endif
}

TEST_F(WebRequestLoopback, HeaderThatWouldBreakTheLineIsRefused) {
  std::string cookies = "a=1\r\nX-Smuggled: 1";
  EXPECT_EQ(WebRequest(server_.Url("/target"), {.cookies = &cookies, .headers = "X-Bad: a\nInjected: 1\r\nX-Good: 1"}),
            "arrived");
  const MiniRequest request = Last();
  EXPECT_EQ(request.HeaderCount("X-Smuggled"), 0);
  EXPECT_EQ(request.HeaderCount("Injected"), 0);
  EXPECT_EQ(request.HeaderCount("Cookie"), 0);
  EXPECT_EQ(request.Header("X-Good"), "1");
}

TEST_F(WebRequestLoopback, CookiesAreSentCollectedAndMerged) {
  std::string cookies = "a=1; b=2; c=3";
  std::string responseCookies;
  EXPECT_EQ(WebRequest(server_.Url("/cookies"), {.cookies = &cookies, .responseCookies = &responseCookies}),
            "got a=1; b=2; c=3");
  EXPECT_EQ(cookies, "b=9; a=1");
  EXPECT_EQ(responseCookies, "b=9; a=1");

  std::string untouched = "a=1";
  WebRequest(server_.Url("/cookies"),
             {.cookies = &untouched, .responseCookies = &responseCookies, .mergeCookies = false});
  EXPECT_EQ(untouched, "a=1");
  EXPECT_EQ(responseCookies, "b=9; c=deleted");
}

TEST_F(WebRequestLoopback, PostBodiesAndErrorPages) {
  // A byte body goes out unchanged, and wins over the text.
  EXPECT_EQ(WebRequest(server_.Url("/echo"), {.method = kMethodPost, .postText = "ignored", .postBytes = "中文"}),
            "body=中文");
  EXPECT_EQ(Last().Header("Content-Type"), "application/x-www-form-urlencoded");
  EXPECT_EQ(Last().HeaderCount("Expect"), 0);
  // A text body goes out as UTF-8.
  EXPECT_EQ(WebRequest(server_.Url("/echo"), {.method = kMethodPost, .postText = "名=值"}),
            "body=" + codepage::GbkToUtf8("名=值"));

  // An error page is a body like any other.
  int status = 0;
  EXPECT_EQ(WebRequest(server_.Url("/missing"), {.statusCode = &status}), "no such page");
  EXPECT_EQ(status, 404);
}

TEST_F(WebRequestLoopback, ThroughANamedProxyWithBasicCredentials) {
  // The loopback server plays the proxy: it sees the absolute address and
  // the proxy's credentials, and the target name is never looked up here.
  if (testing::RunningUnderWine()) GTEST_SKIP() << "Wine's request object ignores SetProxy";
  const std::string proxy = "127.0.0.1:" + std::to_string(server_.port());
  EXPECT_EQ(
      WebRequest("http://quillreel.invalid/target", {.proxy = proxy, .proxyUser = "user", .proxyPassword = "pass"}),
      "no such page");
  EXPECT_EQ(Last().target, "http://quillreel.invalid/target");
  EXPECT_EQ(Last().Header("Proxy-Authorization"), "Basic dXNlcjpwYXNz");
}

TEST(WebRequestUnreachable, ClosedPortFailsQuicklyAndQuietly) {
  const std::string url = "http://127.0.0.1:" + std::to_string(testing::ClosedLoopbackPort()) + "/x";
  std::string headers = "stale";
  std::string responseCookies = "stale";
  int status = 99;
  const auto started = std::chrono::steady_clock::now();
  EXPECT_EQ(WebRequest(url, {.responseCookies = &responseCookies, .responseHeaders = &headers, .statusCode = &status}),
            "");
  EXPECT_LT(std::chrono::steady_clock::now() - started, std::chrono::seconds(10));
  EXPECT_EQ(status, 0);
  EXPECT_EQ(headers, "");
  EXPECT_EQ(responseCookies, "");
}

TEST(WebRequestUnreachable, SilentServerIsGivenUpAfterTheTimeout) {
  testing::SilentLoopbackPort silent;
  const std::string url = "http://127.0.0.1:" + std::to_string(silent.port()) + "/x";
  // Wine's request object does not apply the receive time-out and would wait
  // for ever; there the server hangs up after a while instead, so that at
  // least the quiet failure is checked.
  const bool underWine = testing::RunningUnderWine();
  std::thread hangUp;
  if (underWine) {
    hangUp = std::thread([&silent] {
      std::this_thread::sleep_for(std::chrono::seconds(3));
      silent.Close();
    });
  }
  int status = 99;
  std::string headers = "stale";
  const auto started = std::chrono::steady_clock::now();
  EXPECT_EQ(WebRequest(url, {.responseHeaders = &headers, .statusCode = &status, .timeoutSeconds = 1}), "");
  const auto took = std::chrono::steady_clock::now() - started;
  if (hangUp.joinable()) hangUp.join();
  EXPECT_GE(took, std::chrono::milliseconds(900));
  EXPECT_LT(took, std::chrono::seconds(underWine ? 10 : 5));
  EXPECT_EQ(status, 0);
  EXPECT_EQ(headers, "");
}

// The address goes out as the Windows request object sends it: the code page
// 936 text as UTF-8, with spaces, non-ASCII bytes and the characters an
// address may not hold percent-encoded, and existing escapes left alone.
TEST_F(WebRequestLoopback, AddressIsEncodedAsOnWindows) {
  struct Case {
    std::string path;
    std::string received;
  };
  const Case cases[] = {
      {"/a b.m3u8", "/a%20b.m3u8"},
      {"/视频/a.m3u8", "/%E8%A7%86%E9%A2%91/a.m3u8"},
      {"/q?x=视频", "/q?x=%E8%A7%86%E9%A2%91"},
      {"/p|q\"r<s>t{u}v^w\\x`y", "/p%7Cq%22r%3Cs%3Et%7Bu%7Dv%5Ew%5Cx%60y"},
      {"/%41%20ok/a[b]c~d", "/%41%20ok/a%5Bb%5Dc~d"},
      {"/x?y=a b&z=|\"'", "/x?y=a%20b&z=%7C%22'"},
      {"/100%.ts?p=5%", "/100%.ts?p=5%"},
  };
  for (const Case& c : cases) {
    WebRequest(server_.Url(c.path));
    EXPECT_EQ(Last().target, c.received) << c.path;
  }
}

}  // namespace
}  // namespace qr::http
