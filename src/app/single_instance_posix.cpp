// POSIX: the marker is an exclusive lock on a file in a per-user runtime
// folder; the first copy also listens on a Unix-domain socket beside it, where
// a later copy asks it to show itself. The lock goes with the process, so a
// copy that crashed never blocks the next start.
#include <fcntl.h>
#include <poll.h>
#include <sys/file.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <string>
#include <string_view>
#include <thread>
#include <utility>

#include "app/local_socket_posix.h"
#include "app/single_instance.h"

namespace qr::app {

namespace {

constexpr char kRaiseRequest[] = "raise\n";
// How long a later copy tries to reach the first: a first copy that hangs (or
// is suspended) must not hold the later one, whose connect would otherwise
// wait for ever once the listen backlog is full.
constexpr int kRaiseLimitMs = 100;

// The folder for the lock and the socket: given, from QUILLREEL_RUNTIME_FOLDER,
// the session's runtime folder, or a private folder under /tmp. Empty when no
// folder that only this user can write is available.
std::string RuntimeFolder(const std::string& given) {
  if (!given.empty()) return given;
  if (const char* folder = std::getenv("QUILLREEL_RUNTIME_FOLDER"); folder != nullptr && *folder != '\0') return folder;
  if (const char* folder = std::getenv("XDG_RUNTIME_DIR"); folder != nullptr && *folder != '\0') return folder;
  const std::string fallback = "/tmp/quillreel-" + std::to_string(getuid());
  mkdir(fallback.c_str(), 0700);
  struct stat info {};
  if (lstat(fallback.c_str(), &info) != 0 || !S_ISDIR(info.st_mode) || info.st_uid != getuid() ||
      (info.st_mode & (S_IWGRP | S_IWOTH)) != 0) {
    return {};
  }
  return fallback;
}

class LockFileInstance : public SingleInstance {
 public:
  LockFileInstance(const std::string& name, const std::string& runtimeFolder) {
    const std::string folder = RuntimeFolder(runtimeFolder);
    if (folder.empty()) return;
    lockPath_ = folder + "/" + name + ".lock";
    socketPath_ = folder + "/" + name + ".socket";
  }

  ~LockFileInstance() override {
    if (listener_.joinable()) {
      const char stop = 0;
      (void)!write(stopPipe_[1], &stop, 1);
      listener_.join();
    }
    if (listenFd_ >= 0) {
      close(listenFd_);
      unlink(socketPath_.c_str());
    }
    for (int fd : stopPipe_) {
      if (fd >= 0) close(fd);
    }
    // The lock file stays: removing it could let two copies lock two different files.
    if (lockFd_ >= 0) close(lockFd_);
  }

  bool Claim(std::function<void()> onRaiseRequest) override {
    if (lockPath_.empty()) return true;
    lockFd_ = open(lockPath_.c_str(), O_RDWR | O_CREAT | O_CLOEXEC | O_NOFOLLOW, 0600);
    if (lockFd_ < 0) return true;
    if (flock(lockFd_, LOCK_EX | LOCK_NB) != 0) {
      const bool heldByAnother = errno == EWOULDBLOCK;
      close(lockFd_);
      lockFd_ = -1;
      return !heldByAnother;
    }
    Listen(std::move(onRaiseRequest));
    return true;
  }

  bool AskFirstCopyToRaise() override {
    return !socketPath_.empty() &&
           SendToLocalSocket(socketPath_, std::string_view(kRaiseRequest, sizeof kRaiseRequest - 1), kRaiseLimitMs);
  }

 private:
  // Without a socket the program still runs; it only cannot be raised.
  void Listen(std::function<void()> onRaiseRequest) {
    sockaddr_un address{};
    if (!FillSocketAddress(socketPath_, address)) return;
    unlink(socketPath_.c_str());  // left by a copy that crashed; we hold the lock now
    listenFd_ = socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (listenFd_ < 0) return;
    if (bind(listenFd_, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0 || listen(listenFd_, 4) != 0 ||
        pipe2(stopPipe_, O_CLOEXEC) != 0) {
      close(listenFd_);
      listenFd_ = -1;
      return;
    }
    listener_ = std::thread([this, onRaiseRequest = std::move(onRaiseRequest)] { Serve(onRaiseRequest); });
  }

  void Serve(const std::function<void()>& onRaiseRequest) {
    for (;;) {
      pollfd watched[2] = {{listenFd_, POLLIN, 0}, {stopPipe_[0], POLLIN, 0}};
      if (poll(watched, 2, -1) < 0) {
        if (errno == EINTR) continue;
        return;
      }
      if (watched[1].revents != 0) return;
      const int client = accept4(listenFd_, nullptr, nullptr, SOCK_CLOEXEC);
      if (client < 0) continue;
      if (ReadsRaiseRequest(client) && onRaiseRequest) onRaiseRequest();
      close(client);
    }
  }

  // A client that connects and says nothing must not hold the listener up.
  static bool ReadsRaiseRequest(int client) {
    std::string received;
    char buffer[16];
    while (received.size() < sizeof kRaiseRequest - 1) {
      pollfd readable{client, POLLIN, 0};
      if (poll(&readable, 1, 1000) <= 0) return false;
      const ssize_t count = read(client, buffer, sizeof buffer);
      if (count <= 0) return false;
      received.append(buffer, static_cast<std::size_t>(count));
    }
    return received.compare(0, sizeof kRaiseRequest - 1, kRaiseRequest) == 0;
  }

  std::string lockPath_;
  std::string socketPath_;
  int lockFd_ = -1;
  int listenFd_ = -1;
  int stopPipe_[2] = {-1, -1};
  std::thread listener_;
};

}  // namespace

std::unique_ptr<SingleInstance> MakeSingleInstance(const std::string& instanceName, const std::string& runtimeFolder) {
  return std::make_unique<LockFileInstance>(instanceName, runtimeFolder);
}

}  // namespace qr::app
