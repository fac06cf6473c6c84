#include "http/web_request.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "recording_request_platform.h"

namespace qr::http {
namespace {

using ::testing::Contains;
using ::testing::ElementsAre;
using ::testing::HasSubstr;
using ::testing::Not;
using testing::RecordingRequestPlatform;

constexpr char kUrl[] = "http://example.test/a.m3u8";
constexpr char kAgentHeader[] = "Header User-Agent: Mozilla/4.0 (compatible; MSIE 9.0; Windows NT 6.1)";

std::vector<std::string> CallsOf(const WebRequestOptions& options) {
  RecordingRequestPlatform platform;
  WebRequest(platform, kUrl, options);
  return platform.RequestCalls();
}

std::vector<std::string> CallsStartingWith(const std::vector<std::string>& calls, std::string_view prefix) {
  std::vector<std::string> matching;
  for (const std::string& call : calls) {
    if (call.starts_with(prefix)) matching.push_back(call);
  }
  return matching;
}

// The caller's variables for every out and in/out parameter.
struct CallerVariables {
  std::string cookies;
  std::string responseCookies;
  std::string responseHeaders;
  int status = 0;

  WebRequestOptions AllOut() {
    return {.cookies = &cookies,
            .responseCookies = &responseCookies,
            .responseHeaders = &responseHeaders,
            .statusCode = &status};
  }
};

TEST(WebRequestCalls, PlainGetIsTheFullSequence) {
  RecordingRequestPlatform platform;
  platform.response = {"#EXTM3U", "Content-Type: text/plain\r\n", 200};
  EXPECT_EQ(WebRequest(platform, kUrl), "#EXTM3U");
  EXPECT_THAT(platform.log, ElementsAre("InitializeThread", "Create", "SetTimeouts 15000 15000 15000 15000",
                                        std::string("Open GET ") + kUrl + " sync", "Option 4 13056",
                                        "Header Accept: */*", std::string("Header Referer: ") + kUrl,
                                        "Header Accept-Language: zh-cn", kAgentHeader, "SendText ", "ResponseBody",
                                        "GetAllResponseHeaders", "Status", "Release", "UninitializeThread"));
}

TEST(WebRequestCalls, VerbsAndTheFormContentType) {
  for (int outside : {9, -1, 8}) {
    EXPECT_THAT(CallsOf({.method = outside}), Contains(std::string("Open GET ") + kUrl + " sync")) << outside;
  }
  const auto post = CallsOf({.method = kMethodPost});
  EXPECT_THAT(post, Contains(std::string("Open POST ") + kUrl + " sync"));
  EXPECT_THAT(post, Contains("Header Content-Type: application/x-www-form-urlencoded"));
  const auto put = CallsOf({.method = kMethodPut});
  EXPECT_THAT(put, Contains(std::string("Open PUT ") + kUrl + " sync"));
  EXPECT_THAT(CallsStartingWith(put, "Header Content-Type"), ::testing::IsEmpty());
  EXPECT_THAT(CallsOf({.method = kMethodConnect}), Contains(std::string("Open CONNECT ") + kUrl + " sync"));
}

TEST(WebRequestCalls, TimeoutSeconds) {
  const std::pair<int, const char*> cases[] = {{0, "SetTimeouts 15000 15000 15000 15000"},
                                               {-5, "SetTimeouts 15000 15000 15000 15000"},
                                               {1, "SetTimeouts 1000 1000 1000 1000"},
                                               {30, "SetTimeouts 30000 30000 30000 30000"},
                                               {2147483647, "SetTimeouts 2147483000 2147483000 2147483000 2147483000"}};
  for (const auto& [seconds, expected] : cases) {
    EXPECT_THAT(CallsStartingWith(CallsOf({.timeoutSeconds = seconds}), "SetTimeouts"), ElementsAre(expected))
        << seconds;
  }
  EXPECT_THAT(CallsStartingWith(CallsOf({.timeoutSeconds = -1}), "SetTimeouts"), ::testing::IsEmpty());
}

TEST(WebRequestCalls, ProxyAndCredentials) {
  const auto proxyOnly = CallsOf({.proxy = "127.0.0.1:3128"});
  EXPECT_THAT(proxyOnly, Contains("SetProxy 2 127.0.0.1:3128"));
  EXPECT_THAT(CallsStartingWith(proxyOnly, "SetCredentials"), ::testing::IsEmpty());
  EXPECT_THAT(CallsStartingWith(proxyOnly, "Header Proxy-Authorization"), ::testing::IsEmpty());

  const auto userOnly = CallsOf({.proxyUser = "user", .proxyPassword = "pass"});
  EXPECT_THAT(CallsStartingWith(userOnly, "SetProxy"), ::testing::IsEmpty());
  EXPECT_THAT(CallsStartingWith(userOnly, "SetCredentials"), ::testing::IsEmpty());

  const auto server = CallsOf({.proxy = "p:1", .proxyUser = "user", .proxyPassword = "pass", .credentialTarget = 0});
  EXPECT_THAT(server, Contains("SetCredentials user pass 0"));
  EXPECT_THAT(CallsStartingWith(server, "Header Proxy-Authorization"), ::testing::IsEmpty());
}

TEST(WebRequestCalls, HeaderOrderIsProxyAuthorizationCookieThenHeaderText) {
  std::string cookies = "sid=1";
  const auto calls = CallsOf(
      {.cookies = &cookies, .headers = "x-token: t", .proxy = "p:1", .proxyUser = "user", .proxyPassword = "pass"});
  EXPECT_THAT(CallsStartingWith(calls, "SetCredentials"), ElementsAre("SetCredentials user pass 1"));
  EXPECT_THAT(CallsStartingWith(calls, "Header"),
              ElementsAre("Header Proxy-Authorization: Basic dXNlcjpwYXNz", "Header Cookie: sid=1", "Header X-Token: t",
                          "Header Accept: */*", std::string("Header Referer: ") + kUrl, "Header Accept-Language: zh-cn",
                          kAgentHeader));
}

TEST(WebRequestCalls, RedirectOptionComesBeforeCertificateFlags) {
  const auto calls = CallsOf({.noRedirect = true});
  EXPECT_THAT(CallsStartingWith(calls, "Option"), ElementsAre("Option 6 false", "Option 4 13056"));
}

TEST(WebRequestCalls, BytesBodyBeatsTextBody) {
  EXPECT_THAT(CallsOf({.method = kMethodPost, .postText = "text", .postBytes = std::string(1, '\0')}),
              Contains(std::string("SendBytes ") + '\0'));
  const auto textOnly = CallsOf({.method = kMethodPost, .postText = "a=1&b=2"});
  EXPECT_THAT(textOnly, Contains("SendText a=1&b=2"));
  EXPECT_THAT(CallsStartingWith(textOnly, "SendBytes"), ::testing::IsEmpty());
}

TEST(WebRequestCalls, CookiesGivenEmptyDifferFromOmitted) {
  std::string empty;
  EXPECT_THAT(CallsOf({.cookies = &empty}), Contains("Header Cookie: "));
  EXPECT_THAT(CallsStartingWith(CallsOf({}), "Header Cookie"), ::testing::IsEmpty());
}

TEST(WebRequestCalls, DefaultsAndNormalisationCanBeSwitchedOff) {
  EXPECT_THAT(CallsStartingWith(CallsOf({.headers = "x-a: 1\r\nx-b: 2", .addDefaultHeaders = false}), "Header"),
              ElementsAre("Header X-A: 1", "Header X-B: 2"));
  EXPECT_THAT(CallsStartingWith(CallsOf({.headers = "x-a: 1", .normalizeNames = false}), "Header").front(),
              "Header x-a: 1");
  // Nothing at all to send is still one (empty) setting, which the platform may refuse.
  EXPECT_THAT(CallsStartingWith(CallsOf({.addDefaultHeaders = false}), "Header"), ElementsAre("Header : "));
}

TEST(WebRequestCalls, CreationFailureTouchesNothing) {
  RecordingRequestPlatform platform;
  platform.creationFails = true;
  CallerVariables caller{"Cookie: a=1", "old", "old headers", 404};
  EXPECT_EQ(WebRequest(platform, kUrl, caller.AllOut()), "");
  EXPECT_THAT(platform.log, ElementsAre("InitializeThread", "Create failed", "UninitializeThread"));
  EXPECT_EQ(caller.cookies, "Cookie: a=1");
  EXPECT_EQ(caller.responseCookies, "old");
  EXPECT_EQ(caller.responseHeaders, "old headers");
  EXPECT_EQ(caller.status, 404);
}

TEST(WebRequestResponse, OutParametersAndCookieMerge) {
  RecordingRequestPlatform platform;
  const std::string headers = "Set-Cookie: b=9; path=/\r\nSet-Cookie: c=deleted\r\nServer: t\r\n";
  platform.response = {"body", headers, 302};
  CallerVariables caller{"cookie: a=1; b=2; c=3"};
  EXPECT_EQ(WebRequest(platform, kUrl, caller.AllOut()), "body");
  EXPECT_THAT(platform.log, Contains("Header Cookie:  a=1; b=2; c=3"));
  EXPECT_EQ(caller.cookies, "b=9; a=1");
  EXPECT_EQ(caller.responseCookies, "b=9; a=1");
  EXPECT_EQ(caller.responseHeaders, headers);
  EXPECT_EQ(caller.status, 302);
}

TEST(WebRequestResponse, MergeOffOrCookiesOmitted) {
  RecordingRequestPlatform platform;
  platform.response = {"x", "Set-Cookie: n=1\r\n", 200};
  std::string cookies = "Cookie:o=1";
  std::string responseCookies;
  WebRequest(platform, kUrl, {.cookies = &cookies, .responseCookies = &responseCookies, .mergeCookies = false});
  EXPECT_EQ(cookies, "o=1");  // only the prefix clean-up happened
  EXPECT_EQ(responseCookies, "n=1");

  responseCookies.clear();
  WebRequest(platform, kUrl, {.responseCookies = &responseCookies});
  EXPECT_EQ(responseCookies, "n=1");
}

TEST(WebRequestResponse, NoResponseLeavesOldCookiesAfterMerge) {
  RecordingRequestPlatform platform;  // scripted: empty body, no headers, status 0
  CallerVariables caller{"a=1;", "stale", "stale", 7};
  EXPECT_EQ(WebRequest(platform, kUrl, caller.AllOut()), "");
  EXPECT_EQ(caller.cookies, "a=1");
  EXPECT_EQ(caller.responseCookies, "a=1");
  EXPECT_EQ(caller.responseHeaders, "");
  EXPECT_EQ(caller.status, 0);
}

TEST(WebRequestResponse, CallersObjectIsUsedAndKept) {
  RecordingRequestPlatform platform;
  platform.response.body = "ok";
  auto own = platform.CreateRequestObject();
  platform.log.clear();
  EXPECT_EQ(WebRequest(platform, kUrl, {.requestObject = own}), "ok");
  EXPECT_THAT(platform.log, Not(Contains("Create")));
  EXPECT_THAT(platform.log, Not(Contains("Release")));
  EXPECT_EQ(own.use_count(), 1);
  EXPECT_EQ(platform.log.back(), "UninitializeThread");
}

}  // namespace
}  // namespace qr::http
