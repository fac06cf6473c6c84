// Small GETs against loopback servers through the web request, over HTTP and
// HTTPS, from one thread and from 20, with the process-wide connection cache
// shared between requests and without it. Prints requests per second.
#include <atomic>
#include <chrono>
#include <cstdio>
#include <memory>
#include <mutex>
#include <set>
#include <string>
#include <thread>
#include <vector>

#include "http/connection_cache_posix.h"
#include "http/web_request.h"
#include "loopback_server.h"
#include "self_signed_certificate.h"

namespace {

using qr::http::testing::LoopbackServer;

constexpr int kRequests = 2000;
constexpr int kThreads = 20;
const std::string kSmallBody(200, 'x');

// Client ports seen by the servers: how many connections a run opened.
std::mutex portsMutex;
std::set<int> clientPorts;

// Enough server threads for every client connection kept open, and no limit
// on how many requests one connection may carry.
void Configure(httplib::Server& server) {
  server.new_task_queue = [] { return new httplib::ThreadPool(kThreads + 8); };
  server.set_keep_alive_max_count(1000000);
  server.set_keep_alive_timeout(30);
  // The server writes the status and headers apart from the body; without
  // this, Nagle's algorithm holds the body back until the client's delayed ACK.
  server.set_tcp_nodelay(true);
  server.Get("/small", [](const httplib::Request& request, httplib::Response& response) {
    {
      std::lock_guard<std::mutex> lock(portsMutex);
      clientPorts.insert(request.remote_port);
    }
    response.set_content(kSmallBody, "text/plain");
  });
}

// Runs kRequests requests spread over `threads` threads; returns requests per
// second, or a negative value when any request failed.
double Measure(const std::string& url, int threads) {
  std::atomic<int> failures{0};
  const int perThread = kRequests / threads;
  const auto started = std::chrono::steady_clock::now();
  std::vector<std::thread> workers;
  for (int t = 0; t < threads; ++t) {
    workers.emplace_back([&] {
      for (int i = 0; i < perThread; ++i) {
        if (qr::http::WebRequest(url) != kSmallBody) ++failures;
      }
    });
  }
  for (auto& worker : workers) worker.join();
  const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - started).count();
  return failures ? -failures.load() : perThread * threads / seconds;
}

}  // namespace

int main() {
  qr::http::testing::SelfSignedCertificate identity;
  auto plain = std::make_unique<httplib::Server>();
  auto tls = std::make_unique<httplib::SSLServer>(identity.CertificatePath().c_str(), identity.KeyPath().c_str());
  Configure(*plain);
  Configure(*tls);
  LoopbackServer httpServer(std::move(plain), "http");
  LoopbackServer httpsServer(std::move(tls), "https");

  std::printf("%-6s %-8s %-10s %9s %12s\n", "proto", "threads", "cache", "req/s", "connections");
  int status = 0;
  for (const LoopbackServer* server : {&httpServer, &httpsServer}) {
    const std::string url = server->Url("/small");
    const char* protocol = server == &httpServer ? "http" : "https";
    for (int threads : {1, kThreads}) {
      for (bool shared : {true, false}) {
        qr::http::SetConnectionCacheSharing(shared);
        qr::http::WebRequest(url);  // warm-up: name cache, first connection
        clientPorts.clear();
        const double rate = Measure(url, threads);
        if (rate < 0) status = 1;
        std::printf("%-6s %-8d %-10s %9.0f %12zu\n", protocol, threads, shared ? "shared" : "per-call", rate,
                    clientPorts.size());
        std::fflush(stdout);
      }
    }
  }
  qr::http::SetConnectionCacheSharing(true);
  return status;
}
