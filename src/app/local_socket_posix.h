// A Unix-domain socket's address, and a short message sent to one within a
// time limit: a listener that hangs (or is suspended, its backlog full) never
// holds the sender for longer.
#pragma once

#include <sys/un.h>

#include <string>
#include <string_view>

namespace qr::app {

// False when the path is too long for a socket address.
bool FillSocketAddress(const std::string& path, sockaddr_un& address);

// Connects to the socket at `socketPath` and sends all of `bytes`, giving up
// after `limitMs` in all. True when every byte went out.
bool SendToLocalSocket(const std::string& socketPath, std::string_view bytes, int limitMs);

}  // namespace qr::app
