// A small HTTP/1.1 server on 127.0.0.1 for tests of both builds: it answers
// every request through one handler, keeps connections open between
// requests, and records each request's headers in the order they came.
// Also two kinds of dead port: one that refuses connections and one that
// accepts them (the system completes the handshake) but never answers.
#pragma once

#include <atomic>
#include <cstdint>
#include <functional>
#include <mutex>
#include <string>
#include <thread>
#include <utility>
#include <vector>

namespace qr::http::testing {

using SocketHandle = std::uintptr_t;

struct MiniRequest {
  std::string method;
  std::string target;
  std::vector<std::pair<std::string, std::string>> headers;
  std::string body;
  int clientPort = 0;

  // The first header of that name (any letter case); empty when absent.
  std::string Header(const std::string& name) const;
  int HeaderCount(const std::string& name) const;
};

struct MiniResponse {
  int status = 200;
  std::vector<std::pair<std::string, std::string>> headers;
  std::string body;
};

class MiniHttpServer {
 public:
  using Handler = std::function<MiniResponse(const MiniRequest&)>;

  explicit MiniHttpServer(Handler handler);
  ~MiniHttpServer();
  MiniHttpServer(const MiniHttpServer&) = delete;
  MiniHttpServer& operator=(const MiniHttpServer&) = delete;

  int port() const { return port_; }
  std::string Url(const std::string& path) const;

 private:
  void AcceptLoop();
  void Serve(SocketHandle client, int clientPort);

  Handler handler_;
  SocketHandle listener_ = 0;
  int port_ = 0;
  std::atomic<bool> stopping_{false};
  std::mutex mutex_;
  std::vector<std::thread> connections_;
  std::thread acceptor_;
};

// Listens on an ephemeral loopback port and never accepts or answers.
class SilentLoopbackPort {
 public:
  SilentLoopbackPort();
  ~SilentLoopbackPort();
  SilentLoopbackPort(const SilentLoopbackPort&) = delete;
  SilentLoopbackPort& operator=(const SilentLoopbackPort&) = delete;
  int port() const { return port_; }
  // Stops listening; the system then resets the connections still waiting.
  void Close();

 private:
  std::atomic<SocketHandle> socket_{0};
  int port_ = 0;
};

// A loopback port on which nothing listens: bound for a moment, then released.
int ClosedLoopbackPort();

// True when the Windows build runs under Wine rather than on Windows.
bool RunningUnderWine();

}  // namespace qr::http::testing
