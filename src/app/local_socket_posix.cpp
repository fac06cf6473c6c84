#include "app/local_socket_posix.h"

#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <cstring>
#include <thread>

namespace qr::app {

namespace {

// Milliseconds left before `deadline`, never below 0.
int MillisecondsLeft(std::chrono::steady_clock::time_point deadline) {
  const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - std::chrono::steady_clock::now());
  return left.count() > 0 ? static_cast<int>(left.count()) : 0;
}

// Waits until `fd` is ready for `events` or the deadline passes.
bool AwaitReady(int fd, short events, std::chrono::steady_clock::time_point deadline) {
  for (;;) {
    pollfd watched{fd, events, 0};
    const int ready = poll(&watched, 1, MillisecondsLeft(deadline));
    if (ready > 0) return (watched.revents & events) != 0;
    if (ready == 0 || errno != EINTR) return false;
  }
}

// Connects the non-blocking socket `fd` by the deadline. A Unix socket whose
// listener's backlog is full answers EAGAIN rather than waiting, so the
// attempt is repeated until the deadline.
bool ConnectBy(int fd, const sockaddr_un& address, std::chrono::steady_clock::time_point deadline) {
  for (;;) {
    if (connect(fd, reinterpret_cast<const sockaddr*>(&address), sizeof address) == 0) return true;
    if (errno == EINTR) continue;
    if (errno == EINPROGRESS) {
      int error = 0;
      socklen_t size = sizeof error;
      return AwaitReady(fd, POLLOUT, deadline) && getsockopt(fd, SOL_SOCKET, SO_ERROR, &error, &size) == 0 &&
             error == 0;
    }
    if (errno != EAGAIN || MillisecondsLeft(deadline) == 0) return false;
    std::this_thread::sleep_for(std::chrono::milliseconds(5));
  }
}

// Sends all of `bytes` on the non-blocking socket `fd` by the deadline.
bool SendBy(int fd, std::string_view bytes, std::chrono::steady_clock::time_point deadline) {
  while (!bytes.empty()) {
    const ssize_t sent = send(fd, bytes.data(), bytes.size(), MSG_NOSIGNAL);
    if (sent > 0) {
      bytes.remove_prefix(static_cast<std::size_t>(sent));
    } else if (sent < 0 && errno == EINTR) {
      continue;
    } else if (sent < 0 && (errno == EAGAIN || errno == EWOULDBLOCK)) {
      if (!AwaitReady(fd, POLLOUT, deadline)) return false;
    } else {
      return false;
    }
  }
  return true;
}

}  // namespace

bool FillSocketAddress(const std::string& path, sockaddr_un& address) {
  std::memset(&address, 0, sizeof address);
  address.sun_family = AF_UNIX;
  if (path.size() >= sizeof address.sun_path) return false;
  std::memcpy(address.sun_path, path.c_str(), path.size() + 1);
  return true;
}

bool SendToLocalSocket(const std::string& socketPath, std::string_view bytes, int limitMs) {
  sockaddr_un address{};
  if (!FillSocketAddress(socketPath, address)) return false;
  const int fd = socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0);
  if (fd < 0) return false;
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(limitMs);
  const bool sent = ConnectBy(fd, address, deadline) && SendBy(fd, bytes, deadline);
  close(fd);
  return sent;
}

}  // namespace qr::app
