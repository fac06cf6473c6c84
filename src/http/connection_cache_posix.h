// The libcurl side of the Linux build: one-time library set-up and the one
// connection cache that every transfer of the process shares (with the DNS
// cache and TLS sessions), so that repeated requests to a server reuse an open
// connection instead of connecting and handshaking again. Cookies and
// settings are never shared between transfers.
#pragma once

#include <curl/curl.h>

namespace qr::http {

// curl_global_init, done once for the process, from any thread.
void EnsureCurlReady();

// Attaches the shared cache to a new easy handle (unless sharing is off).
void UseSharedConnectionCache(CURL* easy);

// Sharing is on by default; turning it off (measurements only) makes every new
// transfer start with its own empty cache.
void SetConnectionCacheSharing(bool on);

}  // namespace qr::http
