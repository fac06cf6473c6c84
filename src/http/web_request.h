// The one HTTP(S) request routine: one synchronous request, the response body
// returned as bytes. An empty body is the only sign of failure; nothing is
// thrown, logged or shown.
#pragma once

#include <memory>
#include <optional>
#include <string>
#include <string_view>

#include "http/request_object.h"

namespace qr::http {

// Request verb codes; any other value sends a GET.
enum RequestMethod : int {
  kMethodGet = 0,
  kMethodPost = 1,
  kMethodHead = 2,
  kMethodPut = 3,
  kMethodOptions = 4,
  kMethodDelete = 5,
  kMethodTrace = 6,
  kMethodConnect = 7,
};

// The verb text of a method code ("GET" for a code outside the table).
std::string_view VerbText(int method);

// Everything after the URL; a default-constructed record is the plain GET.
// Out parameters are pointers to the caller's variables; null discards them.
// The fields that are null pointers or empty optionals when omitted act
// differently from their given zero value.
struct WebRequestOptions {
  int method = kMethodGet;
  // Sent as text when postBytes is empty.
  std::string postText;
  // In/out. Null: no Cookie header and no merge. Given (even empty): sent as
  // the Cookie header and, with mergeCookies, updated with the response's cookies.
  std::string* cookies = nullptr;
  std::string* responseCookies = nullptr;
  // Extra request header lines separated by CR LF.
  std::string headers;
  std::string* responseHeaders = nullptr;
  int* statusCode = nullptr;
  bool noRedirect = false;
  // Raw body; when not empty it is sent instead of postText.
  std::string postBytes;
  std::string proxy;
  // -1 leaves the platform's time-outs, 1 or more is seconds, anything else 15 seconds.
  int timeoutSeconds = 0;
  std::string proxyUser;
  std::string proxyPassword;
  // 1 (proxy) when omitted; 0 offers the credentials to the server.
  std::optional<int> credentialTarget;
  // An object of the caller's to use for this call instead of a new one.
  std::shared_ptr<RequestObject> requestObject;
  // Each of these is on when omitted.
  std::optional<bool> mergeCookies;
  std::optional<bool> addDefaultHeaders;
  std::optional<bool> normalizeNames;
};

std::string WebRequest(std::string_view url, const WebRequestOptions& options = {});

// The same over a given platform (tests use a recording one).
std::string WebRequest(RequestPlatform& platform, std::string_view url, const WebRequestOptions& options = {});

}  // namespace qr::http
