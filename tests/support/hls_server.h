// A file server for HLS streams on 127.0.0.1, for tests, the demo and the
// benchmarks: it serves one folder over HTTP or HTTPS on its own threads and
// can slow down, fail, cut or stall requests on purpose. Linux only.
//
// Threads: construct and destroy it on one thread; Port() and Url() may be
// called from any thread. The destructor wakes stalled requests and stops.
#pragma once

#include <chrono>
#include <memory>
#include <string>

namespace qr::testing {

enum class HlsFault {
  kNone,
  kStatus503,  // answers 503 Service Unavailable
  kDrop,       // announces the whole body, sends about half and closes the connection
  kStall,      // sends nothing for the stall time, then answers as usual
};

struct HlsServerOptions {
  std::string root;  // the served folder (a native, UTF-8 path)
  int port = 0;      // 0: any free port
  bool https = false;
  std::chrono::milliseconds latency{0};  // added to every request
  int faultEvery = 0;                    // every Nth request, counted over all requests, gets `fault`
  HlsFault fault = HlsFault::kNone;
  std::chrono::milliseconds stall{20000};
  int failFirst = 0;      // the first `failFirst` requests for `failPath` get 503
  std::string failPath;   // a decoded path such as "/index.m3u8"
  int stallFirst = 0;     // the first `stallFirst` requests for `stallPath` stall for `stall`
  std::string stallPath;  // a decoded path, as failPath
  bool closeAfterEach = false;
  std::string logPath;  // one line per request: monotonic ms, path, status, bytes
};

class HlsServer {
 public:
  explicit HlsServer(HlsServerOptions options);
  ~HlsServer();
  HlsServer(const HlsServer&) = delete;
  HlsServer& operator=(const HlsServer&) = delete;

  // False when the port could not be bound; nothing is served then.
  bool Listening() const;
  int Port() const;
  std::string Url(const std::string& path) const;

 private:
  class Impl;
  std::unique_ptr<Impl> impl_;
};

}  // namespace qr::testing
