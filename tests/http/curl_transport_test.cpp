// What only the Linux transport can show: TLS with a certificate nobody
// vouches for, and connections kept and shared between requests.
#include <gtest/gtest.h>

#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <atomic>
#include <chrono>
#include <mutex>
#include <set>
#include <thread>
#include <vector>

#include "http/web_request.h"
#include "loopback_server.h"
#include "mini_http_server.h"
#include "self_signed_certificate.h"

namespace qr::http {
namespace {

using testing::LoopbackServer;
using testing::MiniHttpServer;
using testing::MiniRequest;
using testing::MiniResponse;
using testing::SelfSignedCertificate;

TEST(CurlTransport, CertificateErrorsAreIgnoredOnlyWhenAsked) {
  SelfSignedCertificate identity;
  auto tls = std::make_unique<httplib::SSLServer>(identity.CertificatePath().c_str(), identity.KeyPath().c_str());
  // The shared cache keeps the connection open; the server should not wait long for it when it stops.
  tls->set_keep_alive_timeout(0);
  LoopbackServer server(std::move(tls), "https");
  server.routes().Get(
      "/x", [](const httplib::Request&, httplib::Response& response) { response.set_content("secret", "text/plain"); });
  EXPECT_EQ(WebRequest(server.Url("/x")), "secret");

  // The same request without the ignore flags must fail: checking stays on by default.
  auto request = SystemRequestPlatform().CreateRequestObject();
  ASSERT_TRUE(request);
  ASSERT_TRUE(request->Open("GET", server.Url("/x"), false));
  EXPECT_FALSE(request->SendText(""));
  EXPECT_EQ(request->ResponseBody(), "");
  EXPECT_EQ(request->Status(), 0);
}

TEST(CurlTransport, ConnectionsAreReusedAcrossRequestsAndThreads) {
  std::mutex mutex;
  std::multiset<int> clientPorts;
  MiniHttpServer server([&](const MiniRequest& request) {
    std::lock_guard<std::mutex> lock(mutex);
    clientPorts.insert(request.clientPort);
    return MiniResponse{200, {}, "ok"};
  });
  for (int i = 0; i < 5; ++i) ASSERT_EQ(WebRequest(server.Url("/x")), "ok");
  EXPECT_EQ(std::set<int>(clientPorts.begin(), clientPorts.end()).size(), 1u) << "sequential requests share one";

  clientPorts.clear();
  std::vector<std::thread> threads;
  std::atomic<int> answered{0};
  for (int t = 0; t < 8; ++t) {
    threads.emplace_back([&] {
      for (int i = 0; i < 20; ++i) answered += WebRequest(server.Url("/x")) == "ok";
    });
  }
  for (auto& thread : threads) thread.join();
  EXPECT_EQ(answered.load(), 160);
  // About one connection per thread running at the same time, not one per request.
  EXPECT_LE(std::set<int>(clientPorts.begin(), clientPorts.end()).size(), 16u);
}

TEST(CurlTransport, HeadersGoOutExactlyAsSet) {
  MiniRequest received;
  MiniHttpServer server([&](const MiniRequest& request) {
    received = request;
    return MiniResponse{200, {}, "put"};
  });
  std::string cookies;
  EXPECT_EQ(WebRequest(server.Url("/x"), {.method = kMethodPut,
                                          .cookies = &cookies,
                                          .headers = "X-Empty:",
                                          .postBytes = std::string(2000, 'b'),
                                          .addDefaultHeaders = false}),
            "put");
  EXPECT_EQ(received.method, "PUT");
  // An empty value is still sent.
  EXPECT_EQ(received.HeaderCount("Cookie"), 1);
  EXPECT_EQ(received.HeaderCount("X-Empty"), 1);
  // Nothing that libcurl would add by itself.
  for (const char* name : {"Accept", "Expect", "Content-Type", "User-Agent", "Transfer-Encoding"}) {
    EXPECT_EQ(received.HeaderCount(name), 0) << name;
  }
  EXPECT_EQ(received.Header("Content-Length"), "2000");
  EXPECT_EQ(received.body, std::string(2000, 'b'));
}

TEST(CurlTransport, OneObjectServesHeadThenGetThenPost) {
  std::vector<MiniRequest> received;
  MiniHttpServer server([&](const MiniRequest& request) {
    received.push_back(request);
    return MiniResponse{200, {}, "page"};
  });
  const auto object = SystemRequestPlatform().CreateRequestObject();
  ASSERT_NE(object, nullptr);
  int status = 0;
  EXPECT_EQ(WebRequest(server.Url("/h"), {.method = kMethodHead, .statusCode = &status, .requestObject = object}), "");
  EXPECT_EQ(status, 200);
  // The HEAD left behind must not keep the next request from reading its body.
  EXPECT_EQ(WebRequest(server.Url("/g"), {.requestObject = object}), "page");
  EXPECT_EQ(WebRequest(server.Url("/p"), {.method = kMethodPost, .requestObject = object}), "page");
  ASSERT_EQ(received.size(), 3u);
  EXPECT_EQ(received[0].method, "HEAD");
  EXPECT_EQ(received[0].HeaderCount("Content-Type"), 0);
  EXPECT_EQ(received[1].method, "GET");
  EXPECT_EQ(received[1].HeaderCount("Content-Length"), 0);
  // An empty POST still says it has no body, with the form type the web request adds.
  EXPECT_EQ(received[2].method, "POST");
  EXPECT_EQ(received[2].Header("Content-Length"), "0");
  EXPECT_EQ(received[2].Header("Content-Type"), "application/x-www-form-urlencoded");
}

TEST(CurlTransport, OnlyWebSchemesAreFetched) {
  // A playlist naming a local file must not make the program read it.
  EXPECT_EQ(WebRequest("file:///etc/hostname"), "");
  EXPECT_EQ(WebRequest("ftp://127.0.0.1/x"), "");
}

// A listener whose accept queue is full lets a connection attempt hang; the
// request gives up after the time-out given, not after resolving and
// connecting added together (there is nothing to resolve in an address).
TEST(CurlTransport, ConnectGivesUpAfterTheTimeoutGiven) {
  const int listener = ::socket(AF_INET, SOCK_STREAM, 0);
  sockaddr_in address{};
  address.sin_family = AF_INET;
  address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  socklen_t length = sizeof address;
  ASSERT_EQ(::bind(listener, reinterpret_cast<sockaddr*>(&address), sizeof address), 0);
  ASSERT_EQ(::listen(listener, 0), 0);
  ASSERT_EQ(::getsockname(listener, reinterpret_cast<sockaddr*>(&address), &length), 0);
  // Fill the queue: later handshakes are not answered.
  std::vector<int> fillers;
  for (int i = 0; i < 3; ++i) {
    fillers.push_back(::socket(AF_INET, SOCK_STREAM | SOCK_NONBLOCK, 0));
    ::connect(fillers.back(), reinterpret_cast<sockaddr*>(&address), sizeof address);
  }
  std::this_thread::sleep_for(std::chrono::milliseconds(100));
  const std::string url = "http://127.0.0.1:" + std::to_string(ntohs(address.sin_port)) + "/x";
  const auto start = std::chrono::steady_clock::now();
  EXPECT_EQ(WebRequest(url, {.timeoutSeconds = 1}), "");
  const auto elapsed = std::chrono::steady_clock::now() - start;
  EXPECT_GE(elapsed, std::chrono::milliseconds(900));
  EXPECT_LT(elapsed, std::chrono::milliseconds(1600));
  for (int filler : fillers) ::close(filler);
  ::close(listener);
}

}  // namespace
}  // namespace qr::http
