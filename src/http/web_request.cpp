#include "http/web_request.h"

#include <array>

#include "http/base64.h"
#include "http/cookie_rules.h"
#include "http/header_rules.h"

namespace qr::http {
namespace {

constexpr int kDefaultTimeoutMs = 15000;
constexpr int kKeepPlatformTimeouts = -1;

int TimeoutMilliseconds(int timeoutSeconds) {
  if (timeoutSeconds < 1) return kDefaultTimeoutMs;
  // Saturate instead of overflowing on absurd values.
  constexpr int kMaxSeconds = 2147483;
  return (timeoutSeconds > kMaxSeconds ? kMaxSeconds : timeoutSeconds) * 1000;
}

// Time-outs, proxy, verb and address, redirects and certificate checks.
void PrepareRequest(RequestObject& request, const WebRequestOptions& options, const std::string& url) {
  if (options.timeoutSeconds != kKeepPlatformTimeouts) {
    const int timeout = TimeoutMilliseconds(options.timeoutSeconds);
    request.SetTimeouts(timeout, timeout, timeout, timeout);
  }
  if (!options.proxy.empty()) request.SetProxy(kProxySettingNamed, options.proxy);
  // A method code outside the table sends a GET.
  request.Open(std::string(VerbText(options.method)), url, false);
  if (options.noRedirect) request.SetOptionFlag(kOptionEnableRedirects, false);
  request.SetOptionNumber(kOptionSslErrorIgnoreFlags, kIgnoreAllCertificateErrors);
}

// Proxy credentials, then the Cookie header, then the lines of the header text.
void SetRequestHeaders(RequestObject& request, const WebRequestOptions& options, const std::string& url) {
  std::string headerText = options.headers;
  if (options.addDefaultHeaders.value_or(true)) headerText = AddDefaultHeaders(headerText, url, options.method);
  if (options.normalizeNames.value_or(true)) headerText = NormalizeHeaderNames(headerText);

  const SetHeaderFunction setHeader = [&request](const std::string& name, const std::string& value) {
    request.SetRequestHeader(name, value);
  };
  if (!options.proxy.empty() && !options.proxyUser.empty()) {
    const int target = options.credentialTarget.value_or(kCredentialsForProxy);
    request.SetCredentials(options.proxyUser, options.proxyPassword, target);
    if (target == kCredentialsForProxy) {
      setHeader("Proxy-Authorization", "Basic " + Base64Encode(options.proxyUser + ":" + options.proxyPassword));
    }
  }
  if (options.cookies) PrepareCookieHeader(*options.cookies, setHeader);
  ApplyHeaderText(headerText, setHeader);
}

}  // namespace

std::string_view VerbText(int method) {
  static constexpr std::array<std::string_view, 8> kVerbs = {"GET",     "POST",   "HEAD",  "PUT",
                                                             "OPTIONS", "DELETE", "TRACE", "CONNECT"};
  if (method < 0 || method >= static_cast<int>(kVerbs.size())) method = kMethodGet;
  return kVerbs[static_cast<std::size_t>(method)];
}

std::string WebRequest(std::string_view url, const WebRequestOptions& options) {
  return WebRequest(SystemRequestPlatform(), url, options);
}

std::string WebRequest(RequestPlatform& platform, std::string_view url, const WebRequestOptions& options) {
  const std::string urlText(url);
  const bool threadInitialized = platform.InitializeThread();
  std::shared_ptr<RequestObject> request = options.requestObject;
  if (!request) request = platform.CreateRequestObject();
  if (!request) {
    // Nothing was sent: every out parameter keeps what the caller had.
    if (threadInitialized) platform.UninitializeThread();
    return {};
  }

  PrepareRequest(*request, options, urlText);
  SetRequestHeaders(*request, options, urlText);
  if (!options.postBytes.empty()) {
    request->SendBytes(options.postBytes);
  } else {
    request->SendText(options.postText);
  }

  std::string body = request->ResponseBody();
  const std::string responseHeaders = request->GetAllResponseHeaders();
  const int status = request->Status();
  std::string responseCookies = CollectSetCookies(responseHeaders);
  if (options.mergeCookies.value_or(true) && options.cookies) {
    responseCookies = MergeCookies(*options.cookies, responseCookies);
  }
  if (options.responseHeaders) *options.responseHeaders = responseHeaders;
  if (options.statusCode) *options.statusCode = status;
  if (options.responseCookies) *options.responseCookies = responseCookies;

  // The object must be gone before the thread gives up its platform set-up.
  request.reset();
  if (threadInitialized) platform.UninitializeThread();
  return body;
}

}  // namespace qr::http
