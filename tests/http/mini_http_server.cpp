#include "mini_http_server.h"

#ifdef _WIN32
#include <winsock2.h>
#include <ws2tcpip.h>
#else
#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/select.h>
#include <sys/socket.h>
#include <unistd.h>
#endif

#include <algorithm>
#include <cctype>
#include <cstdlib>

namespace qr::http::testing {
namespace {

#ifdef _WIN32
using NativeSocket = SOCKET;
using AddressLength = int;
constexpr int kSendFlags = 0;
void CloseSocket(NativeSocket s) { closesocket(s); }
struct SocketLibrary {
  SocketLibrary() {
    WSADATA data;
    WSAStartup(MAKEWORD(2, 2), &data);
  }
  ~SocketLibrary() { WSACleanup(); }
};
#else
using NativeSocket = int;
using AddressLength = socklen_t;
constexpr int kSendFlags = MSG_NOSIGNAL;  // a client that hung up must not kill the test
void CloseSocket(NativeSocket s) { close(s); }
struct SocketLibrary {};
#endif

NativeSocket Native(SocketHandle handle) { return static_cast<NativeSocket>(handle); }

void EnsureSockets() {
  static SocketLibrary library;
  (void)library;
}

// A TCP socket bound to 127.0.0.1 at a port the system picks.
SocketHandle BindLoopback(int& port) {
  EnsureSockets();
  const NativeSocket s = socket(AF_INET, SOCK_STREAM, IPPROTO_TCP);
  sockaddr_in address{};
  address.sin_family = AF_INET;
  address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  bind(s, reinterpret_cast<sockaddr*>(&address), sizeof(address));
  AddressLength length = sizeof(address);
  getsockname(s, reinterpret_cast<sockaddr*>(&address), &length);
  port = ntohs(address.sin_port);
  return static_cast<SocketHandle>(s);
}

// Waits up to 20 ms for the socket to become readable.
bool Readable(NativeSocket s) {
  fd_set set;
  FD_ZERO(&set);
  FD_SET(s, &set);
  timeval wait{0, 20000};
  return select(static_cast<int>(s + 1), &set, nullptr, nullptr, &wait) > 0;
}

bool SameNameIgnoringCase(const std::string& a, const std::string& b) {
  return std::equal(a.begin(), a.end(), b.begin(), b.end(), [](char x, char y) {
    return std::tolower(static_cast<unsigned char>(x)) == std::tolower(static_cast<unsigned char>(y));
  });
}

std::string ReasonPhrase(int status) {
  switch (status) {
    case 200:
      return "OK";
    case 302:
      return "Found";
    case 404:
      return "Not Found";
    default:
      return "Status";
  }
}

bool ParseHead(const std::string& head, MiniRequest& request) {
  std::size_t lineEnd = head.find("\r\n");
  const std::string requestLine = head.substr(0, lineEnd);
  const std::size_t firstSpace = requestLine.find(' ');
  const std::size_t secondSpace = requestLine.find(' ', firstSpace + 1);
  if (firstSpace == std::string::npos || secondSpace == std::string::npos) return false;
  request.method = requestLine.substr(0, firstSpace);
  request.target = requestLine.substr(firstSpace + 1, secondSpace - firstSpace - 1);
  while (lineEnd != std::string::npos && lineEnd + 2 < head.size()) {
    const std::size_t start = lineEnd + 2;
    lineEnd = head.find("\r\n", start);
    const std::string line = head.substr(start, lineEnd == std::string::npos ? std::string::npos : lineEnd - start);
    const std::size_t colon = line.find(':');
    if (colon == std::string::npos) continue;
    std::string value = line.substr(colon + 1);
    value.erase(0, value.find_first_not_of(' '));
    request.headers.emplace_back(line.substr(0, colon), value);
  }
  return true;
}

}  // namespace

std::string MiniRequest::Header(const std::string& name) const {
  for (const auto& [key, value] : headers) {
    if (SameNameIgnoringCase(key, name)) return value;
  }
  return {};
}

int MiniRequest::HeaderCount(const std::string& name) const {
  return static_cast<int>(std::count_if(headers.begin(), headers.end(),
                                        [&](const auto& h) { return SameNameIgnoringCase(h.first, name); }));
}

MiniHttpServer::MiniHttpServer(Handler handler) : handler_(std::move(handler)) {
  listener_ = BindLoopback(port_);
  listen(Native(listener_), 64);
  acceptor_ = std::thread([this] { AcceptLoop(); });
}

MiniHttpServer::~MiniHttpServer() {
  stopping_ = true;
  acceptor_.join();
  CloseSocket(Native(listener_));
  std::lock_guard<std::mutex> lock(mutex_);
  for (std::thread& connection : connections_) connection.join();
}

std::string MiniHttpServer::Url(const std::string& path) const {
  return "http://127.0.0.1:" + std::to_string(port_) + path;
}

void MiniHttpServer::AcceptLoop() {
  while (!stopping_) {
    if (!Readable(Native(listener_))) continue;
    sockaddr_in peer{};
    AddressLength length = sizeof(peer);
    const NativeSocket client = accept(Native(listener_), reinterpret_cast<sockaddr*>(&peer), &length);
    if (client == static_cast<NativeSocket>(-1)) continue;
    const int clientPort = ntohs(peer.sin_port);
    std::lock_guard<std::mutex> lock(mutex_);
    connections_.emplace_back([this, client, clientPort] { Serve(static_cast<SocketHandle>(client), clientPort); });
  }
}

void MiniHttpServer::Serve(SocketHandle handle, int clientPort) {
  const NativeSocket client = Native(handle);
  std::string pending;
  char buffer[65536];
  auto receiveMore = [&]() {
    while (!stopping_) {
      if (!Readable(client)) continue;
      const int got = static_cast<int>(recv(client, buffer, sizeof(buffer), 0));
      if (got <= 0) return false;
      pending.append(buffer, static_cast<std::size_t>(got));
      return true;
    }
    return false;
  };
  for (;;) {
    std::size_t headEnd;
    while ((headEnd = pending.find("\r\n\r\n")) == std::string::npos) {
      if (!receiveMore()) return CloseSocket(client);
    }
    MiniRequest request;
    request.clientPort = clientPort;
    if (!ParseHead(pending.substr(0, headEnd), request)) return CloseSocket(client);
    pending.erase(0, headEnd + 4);
    const std::size_t length = std::strtoul(request.Header("Content-Length").c_str(), nullptr, 10);
    while (pending.size() < length) {
      if (!receiveMore()) return CloseSocket(client);
    }
    request.body = pending.substr(0, length);
    pending.erase(0, length);

    const MiniResponse response = handler_(request);
    std::string reply = "HTTP/1.1 " + std::to_string(response.status) + " " + ReasonPhrase(response.status) + "\r\n";
    for (const auto& [name, value] : response.headers) reply += name + ": " + value + "\r\n";
    reply += "Content-Length: " + std::to_string(response.body.size()) + "\r\n\r\n";
    if (request.method != "HEAD") reply += response.body;
    for (std::size_t sent = 0; sent < reply.size();) {
      const int put =
          static_cast<int>(send(client, reply.data() + sent, static_cast<int>(reply.size() - sent), kSendFlags));
      if (put <= 0) return CloseSocket(client);
      sent += static_cast<std::size_t>(put);
    }
  }
}

SilentLoopbackPort::SilentLoopbackPort() {
  socket_ = BindLoopback(port_);
  listen(Native(socket_.load()), 16);
}

SilentLoopbackPort::~SilentLoopbackPort() { Close(); }

void SilentLoopbackPort::Close() {
  const SocketHandle open = socket_.exchange(0);
  if (open != 0) CloseSocket(Native(open));
}

int ClosedLoopbackPort() {
  int port = 0;
  CloseSocket(Native(BindLoopback(port)));
  return port;
}

}  // namespace qr::http::testing

namespace qr::http::testing {

bool RunningUnderWine() {
#ifdef _WIN32
  const HMODULE ntdll = GetModuleHandleA("ntdll.dll");
  return ntdll && GetProcAddress(ntdll, "wine_get_version");
#else
  return false;
#endif
}

}  // namespace qr::http::testing
