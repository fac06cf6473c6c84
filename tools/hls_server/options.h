// The command line of quillreel-hls-server.
#pragma once

#include <optional>
#include <string>

#include "support/hls_server.h"

namespace qr::hls_server {

struct ProgramOptions {
  testing::HlsServerOptions server;
  std::string portFile;  // written once the server listens
};

inline constexpr const char* kUsage =
    "usage: quillreel-hls-server --root DIR [--port N] [--port-file F] [--latency-ms N]\n"
    "         [--fault-every N --fault 503|drop|stall] [--stall-ms N] [--fail-first K --fail-path P]\n"
    "         [--stall-first K --stall-path P] [--close-after-each] [--https] [--log F]\n";

// The options, or nullopt with `error` saying what is wrong.
std::optional<ProgramOptions> ParseOptions(int argc, char** argv, std::string& error);

}  // namespace qr::hls_server
