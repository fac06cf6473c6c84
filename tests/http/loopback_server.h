// A cpp-httplib server (plain or TLS) on 127.0.0.1 at a port the system
// picks (or a given one), run on its own thread for the life of the object. Linux only: the
// distribution ships the library's implementation for the host alone.
#pragma once

#include <httplib.h>

#include <chrono>
#include <memory>
#include <string>
#include <thread>

namespace qr::http::testing {

class LoopbackServer {
 public:
  // A port of 0 lets the system pick one. When the port cannot be bound the
  // server does not run: Listening() says so.
  explicit LoopbackServer(std::unique_ptr<httplib::Server> server, std::string scheme = "http", int port = 0)
      : server_(std::move(server)), scheme_(std::move(scheme)) {
    socket_t listening = INVALID_SOCKET;
    server_->set_socket_options([&listening](socket_t sock) {
      int on = 1;
      setsockopt(sock, SOL_SOCKET, SO_REUSEADDR, &on, sizeof(on));
      listening = sock;
    });
    if (port == 0) {
      port_ = server_->bind_to_any_port("127.0.0.1");
    } else {
      port_ = server_->bind_to_port("127.0.0.1", port) ? port : -1;
    }
    if (port_ < 0) return;
    // The library listens with a backlog of 5: a crowd of clients connecting
    // at once would see SYNs dropped and retried a whole second later.
    if (listening != INVALID_SOCKET) ::listen(listening, 512);
    thread_ = std::thread([this] { server_->listen_after_bind(); });
    while (!server_->is_running()) std::this_thread::sleep_for(std::chrono::milliseconds(1));
  }
  LoopbackServer() : LoopbackServer(std::make_unique<httplib::Server>()) {}
  ~LoopbackServer() {
    if (!thread_.joinable()) return;
    server_->stop();
    thread_.join();
  }
  LoopbackServer(const LoopbackServer&) = delete;
  LoopbackServer& operator=(const LoopbackServer&) = delete;

  httplib::Server& routes() { return *server_; }
  bool Listening() const { return port_ > 0; }
  int Port() const { return port_; }
  std::string Url(const std::string& path) const { return scheme_ + "://127.0.0.1:" + std::to_string(port_) + path; }

 private:
  std::unique_ptr<httplib::Server> server_;
  std::string scheme_;
  int port_ = 0;
  std::thread thread_;
};

}  // namespace qr::http::testing
