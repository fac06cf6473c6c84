// quillreel-hls-server: serves a stream folder on 127.0.0.1 until SIGTERM or
// SIGINT. See tools/hls_server/options.h for the command line.
#include <signal.h>
#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iostream>

#include "options.h"
#include "support/hls_server.h"

namespace {

// Written beside the target and renamed over it, so a script polling for the
// file never reads half a number.
bool WritePortFile(const std::string& path, int port) {
  const std::string partial = path + ".part";
  {
    std::ofstream out(partial, std::ios::trunc);
    out << port << '\n';
    if (!out) return false;
  }
  return std::rename(partial.c_str(), path.c_str()) == 0;
}

}  // namespace

int main(int argc, char** argv) {
  std::string error;
  const auto options = qr::hls_server::ParseOptions(argc, argv, error);
  if (!options) {
    std::cerr << "quillreel-hls-server: " << error << '\n' << qr::hls_server::kUsage;
    return 2;
  }
  if (!std::filesystem::is_directory(options->server.root)) {
    std::cerr << "quillreel-hls-server: no folder " << options->server.root << '\n';
    return 2;
  }
  // Blocked before any thread starts, so every thread inherits the mask and
  // the signals wait for sigwait below.
  sigset_t stopSignals;
  sigemptyset(&stopSignals);
  sigaddset(&stopSignals, SIGTERM);
  sigaddset(&stopSignals, SIGINT);
  pthread_sigmask(SIG_BLOCK, &stopSignals, nullptr);
  // A client that hangs up mid-body must not end the server.
  signal(SIGPIPE, SIG_IGN);

  qr::testing::HlsServer server(options->server);
  if (!server.Listening()) {
    std::cerr << "quillreel-hls-server: cannot listen on 127.0.0.1:" << options->server.port << '\n';
    return 1;
  }
  if (!options->portFile.empty() && !WritePortFile(options->portFile, server.Port())) {
    std::cerr << "quillreel-hls-server: cannot write " << options->portFile << '\n';
    return 1;
  }
  std::cout << "serving " << options->server.root << " at " << server.Url("/") << std::endl;
  int received = 0;
  sigwait(&stopSignals, &received);
  return 0;
}
