// The request object of the Linux build: a libcurl easy handle that behaves as
// the Windows object does where the web request can tell the difference.
#include <arpa/inet.h>
#include <curl/curl.h>

#include <algorithm>
#include <optional>
#include <utility>
#include <vector>

#include "http/connection_cache_posix.h"
#include "http/header_rules.h"
#include "http/request_object.h"
#include "http/request_url.h"
#include "runtime/codepage.h"
#include "runtime/text.h"

namespace qr::http {
namespace {

// The Windows object's own limits, used until SetTimeouts is called.
constexpr int kPlatformResolveMs = 0;
constexpr int kPlatformConnectMs = 60000;
constexpr int kPlatformSendMs = 30000;
constexpr int kPlatformReceiveMs = 30000;
constexpr long kMaxRedirects = 10;
// Idle connections the shared cache may keep: enough for every download
// thread to find its own again (libcurl keeps only 5 unless told).
constexpr long kCachedConnections = 100;
constexpr long kVerifyPeerFlags = 0x0100 | 0x0200 | 0x2000;
constexpr long kVerifyHostFlag = 0x1000;

// libcurl frees a list only as a whole.
struct HeaderList {
  curl_slist* head = nullptr;
  HeaderList() = default;
  HeaderList(const HeaderList&) = delete;
  HeaderList& operator=(const HeaderList&) = delete;
  ~HeaderList() { curl_slist_free_all(head); }
  void Add(const std::string& line) {
    if (curl_slist* grown = curl_slist_append(head, line.c_str())) head = grown;
  }
};

size_t AppendBody(char* data, size_t size, size_t count, void* target) {
  static_cast<std::string*>(target)->append(data, size * count);
  return size * count;
}

// Keeps the header lines of the last response only: a status line (of a
// redirect, an interim 100 or the final answer) starts the collection afresh.
size_t CollectHeaderLine(char* data, size_t size, size_t count, void* target) {
  auto& headers = *static_cast<std::string*>(target);
  std::string_view line(data, size * count);
  while (!line.empty() && (line.back() == '\r' || line.back() == '\n')) line.remove_suffix(1);
  if (line.starts_with("HTTP/")) {
    headers.clear();
  } else if (!line.empty()) {
    headers.append(line);
    headers.append("\r\n");
  }
  return size * count;
}

bool HostIsAddressLiteral(const std::string& url) {
  CURLU* parsed = curl_url();
  if (!parsed) return false;
  char* host = nullptr;
  bool literal = false;
  if (curl_url_set(parsed, CURLUPART_URL, url.c_str(), CURLU_NON_SUPPORT_SCHEME) == CURLUE_OK &&
      curl_url_get(parsed, CURLUPART_HOST, &host, 0) == CURLUE_OK) {
    std::string name(host);
    if (name.size() > 2 && name.front() == '[' && name.back() == ']') name = name.substr(1, name.size() - 2);
    unsigned char address[sizeof(in6_addr)];
    literal = inet_pton(AF_INET, name.c_str(), address) == 1 || inet_pton(AF_INET6, name.c_str(), address) == 1;
  }
  curl_free(host);
  curl_url_cleanup(parsed);
  return literal;
}

long LimitSum(long a, long b) { return a > 2000000000L - b ? 2000000000L : a + b; }

class CurlRequestObject final : public RequestObject {
 public:
  explicit CurlRequestObject(CURL* easy) : easy_(easy) { UseSharedConnectionCache(easy_); }
  ~CurlRequestObject() override { curl_easy_cleanup(easy_); }
  CurlRequestObject(const CurlRequestObject&) = delete;
  CurlRequestObject& operator=(const CurlRequestObject&) = delete;

  bool SetTimeouts(int resolveMs, int connectMs, int sendMs, int receiveMs) override {
    if (resolveMs < 0 || connectMs < 0 || sendMs < 0 || receiveMs < 0) return false;
    resolveMs_ = resolveMs;
    connectMs_ = connectMs;
    sendMs_ = sendMs;
    receiveMs_ = receiveMs;
    return true;
  }

  bool SetProxy(int proxySetting, const std::string& proxy) override {
    if (proxySetting != kProxySettingNamed) return false;
    proxy_ = proxy;
    return true;
  }

  bool Open(const std::string& verb, const std::string& url, bool async) override {
    if (async || verb.empty() || url.empty()) return false;
    verb_ = verb;
    url_ = url;
    headers_.clear();
    serverUser_.reset();
    proxyUser_.reset();
    ClearResponse();
    opened_ = true;
    return true;
  }

  bool SetOptionFlag(int option, bool value) override {
    if (option != kOptionEnableRedirects) return false;
    followRedirects_ = value;
    return true;
  }

  bool SetOptionNumber(int option, long value) override {
    if (option == kOptionEnableRedirects) return SetOptionFlag(option, value != 0);
    if (option != kOptionSslErrorIgnoreFlags) return false;
    ignoredCertificateErrors_ = value;
    return true;
  }

  bool SetCredentials(const std::string& user, const std::string& password, int target) override {
    if (!opened_ || (target != kCredentialsForServer && target != kCredentialsForProxy)) return false;
    auto& slot = target == kCredentialsForProxy ? proxyUser_ : serverUser_;
    slot = std::make_pair(user, password);
    return true;
  }

  bool SetRequestHeader(const std::string& name, const std::string& value) override {
    if (!opened_ || !IsSendableHeader(name, value)) return false;
    // A second setting of a name replaces the first.
    auto same = [&](const auto& header) { return text::EqualsIgnoringCase(header.first, name); };
    headers_.erase(std::remove_if(headers_.begin(), headers_.end(), same), headers_.end());
    headers_.emplace_back(name, value);
    return true;
  }

  // Text bodies go out as UTF-8.
  bool SendText(const std::string& body) override { return Perform(codepage::GbkToUtf8(body)); }
  bool SendBytes(const std::string& body) override { return Perform(body); }

  std::string ResponseBody() override { return responseBody_; }
  std::string GetAllResponseHeaders() override { return responseHeaders_; }
  int Status() override { return status_; }

 private:
  void ClearResponse() {
    responseBody_.clear();
    responseHeaders_.clear();
    status_ = 0;
  }

  bool HasHeader(std::string_view name) const {
    return std::any_of(headers_.begin(), headers_.end(),
                       [&](const auto& h) { return text::EqualsIgnoringCase(h.first, name); });
  }

  // A HEAD never carries a body; POST and PUT always do, if only an empty one.
  bool SendsBody(const std::string& body) const {
    return verb_ != "HEAD" && (!body.empty() || verb_ == "POST" || verb_ == "PUT");
  }

  void ApplyMethod(const std::string& body, bool sendsBody) {
    curl_easy_setopt(easy_, CURLOPT_HTTPGET, 1L);
    curl_easy_setopt(easy_, CURLOPT_CUSTOMREQUEST, nullptr);
    if (verb_ == "HEAD") {
      curl_easy_setopt(easy_, CURLOPT_NOBODY, 1L);
      return;
    }
    if (sendsBody) {
      curl_easy_setopt(easy_, CURLOPT_POSTFIELDSIZE_LARGE, static_cast<curl_off_t>(body.size()));
      curl_easy_setopt(easy_, CURLOPT_POSTFIELDS, body.data());
    }
    // A POST stays a plain POST so that a redirect turns it into a GET as browsers do.
    if (verb_ != "GET" && verb_ != "POST") curl_easy_setopt(easy_, CURLOPT_CUSTOMREQUEST, verb_.c_str());
    if (verb_ == "GET" && sendsBody) curl_easy_setopt(easy_, CURLOPT_CUSTOMREQUEST, "GET");
  }

  // Exactly the headers that were set; libcurl's own additions are switched off.
  void BuildHeaderLists(bool sendsBody, HeaderList& serverHeaders, HeaderList& proxyHeaders) const {
    const bool tunnelled = !proxy_.empty() && text::MatchesAt(url_, 0, "https:", true);
    for (const auto& [name, value] : headers_) {
      const std::string line = value.empty() ? name + ";" : name + ": " + value;
      const bool forProxy = text::EqualsIgnoringCase(name, "Proxy-Authorization");
      if (forProxy) proxyHeaders.Add(line);
      // Through a tunnel the request itself goes to the server, which must not see the proxy's credentials.
      if (!forProxy || !tunnelled) serverHeaders.Add(line);
    }
    if (!HasHeader("Accept")) serverHeaders.Add("Accept:");
    if (!HasHeader("Expect")) serverHeaders.Add("Expect:");
    if (sendsBody && !HasHeader("Content-Type")) serverHeaders.Add("Content-Type:");
  }

  void ApplyConnectionSettings() {
    curl_easy_setopt(easy_, CURLOPT_NOSIGNAL, 1L);
    curl_easy_setopt(easy_, CURLOPT_PROTOCOLS_STR, "http,https");
    curl_easy_setopt(easy_, CURLOPT_REDIR_PROTOCOLS_STR, "http,https");
    curl_easy_setopt(easy_, CURLOPT_HTTP_VERSION, static_cast<long>(CURL_HTTP_VERSION_1_1));
    curl_easy_setopt(easy_, CURLOPT_FOLLOWLOCATION, followRedirects_ ? 1L : 0L);
    curl_easy_setopt(easy_, CURLOPT_MAXREDIRS, kMaxRedirects);
    curl_easy_setopt(easy_, CURLOPT_MAXCONNECTS, kCachedConnections);
    const long verifyPeer = (ignoredCertificateErrors_ & kVerifyPeerFlags) ? 0L : 1L;
    const long verifyHost = (ignoredCertificateErrors_ & kVerifyHostFlag) ? 0L : 2L;
    curl_easy_setopt(easy_, CURLOPT_SSL_VERIFYPEER, verifyPeer);
    curl_easy_setopt(easy_, CURLOPT_SSL_VERIFYHOST, verifyHost);
    curl_easy_setopt(easy_, CURLOPT_PROXY_SSL_VERIFYPEER, verifyPeer);
    curl_easy_setopt(easy_, CURLOPT_PROXY_SSL_VERIFYHOST, verifyHost);
    // libcurl's connect limit covers name resolution too: each phase gets its
    // own time, so the two add up unless the host is an address already.
    const long connectMs =
        connectMs_ == 0 ? 0L : (HostIsAddressLiteral(wireUrl_) ? connectMs_ : LimitSum(connectMs_, resolveMs_));
    curl_easy_setopt(easy_, CURLOPT_CONNECTTIMEOUT_MS, connectMs);
    // The send and receive limits are for a stalled transfer, not for the
    // whole of a long download: give up when no byte moved for that long.
    const long stallMs = std::max(sendMs_, receiveMs_);
    curl_easy_setopt(easy_, CURLOPT_LOW_SPEED_LIMIT, stallMs > 0 ? 1L : 0L);
    curl_easy_setopt(easy_, CURLOPT_LOW_SPEED_TIME, stallMs > 0 ? (stallMs + 999) / 1000 : 0L);
    // An empty proxy also keeps libcurl from taking one from the environment.
    curl_easy_setopt(easy_, CURLOPT_PROXY, proxy_.c_str());
    curl_easy_setopt(easy_, CURLOPT_SUPPRESS_CONNECT_HEADERS, 1L);
    const char* none = nullptr;
    curl_easy_setopt(easy_, CURLOPT_PROXYUSERNAME, proxyUser_ ? proxyUser_->first.c_str() : none);
    curl_easy_setopt(easy_, CURLOPT_PROXYPASSWORD, proxyUser_ ? proxyUser_->second.c_str() : none);
    curl_easy_setopt(easy_, CURLOPT_PROXYAUTH, static_cast<unsigned long>(CURLAUTH_ANY));
    curl_easy_setopt(easy_, CURLOPT_USERNAME, serverUser_ ? serverUser_->first.c_str() : none);
    curl_easy_setopt(easy_, CURLOPT_PASSWORD, serverUser_ ? serverUser_->second.c_str() : none);
    curl_easy_setopt(easy_, CURLOPT_HTTPAUTH, static_cast<unsigned long>(CURLAUTH_ANY));
  }

  bool Perform(const std::string& body) {
    ClearResponse();
    if (!opened_) return false;
    opened_ = false;
    wireUrl_ = RequestUrl(url_);
    curl_easy_setopt(easy_, CURLOPT_URL, wireUrl_.c_str());
    ApplyConnectionSettings();
    const bool sendsBody = SendsBody(body);
    ApplyMethod(body, sendsBody);
    HeaderList serverHeaders;
    HeaderList proxyHeaders;
    BuildHeaderLists(sendsBody, serverHeaders, proxyHeaders);
    curl_easy_setopt(easy_, CURLOPT_HTTPHEADER, serverHeaders.head);
    curl_easy_setopt(easy_, CURLOPT_PROXYHEADER, proxyHeaders.head);
    curl_easy_setopt(easy_, CURLOPT_HEADEROPT, static_cast<long>(CURLHEADER_SEPARATE));
    curl_easy_setopt(easy_, CURLOPT_WRITEFUNCTION, AppendBody);
    curl_easy_setopt(easy_, CURLOPT_WRITEDATA, &responseBody_);
    curl_easy_setopt(easy_, CURLOPT_HEADERFUNCTION, CollectHeaderLine);
    curl_easy_setopt(easy_, CURLOPT_HEADERDATA, &responseHeaders_);

    const CURLcode result = curl_easy_perform(easy_);
    // The lists die with this call; the handle must not keep pointing at them.
    curl_easy_setopt(easy_, CURLOPT_HTTPHEADER, nullptr);
    curl_easy_setopt(easy_, CURLOPT_PROXYHEADER, nullptr);
    curl_easy_setopt(easy_, CURLOPT_POSTFIELDS, nullptr);
    if (result != CURLE_OK) {
      // A cut-off body must never pass for a whole one.
      ClearResponse();
      return false;
    }
    long status = 0;
    curl_easy_getinfo(easy_, CURLINFO_RESPONSE_CODE, &status);
    status_ = static_cast<int>(status);
    return true;
  }

  CURL* easy_;
  // Kept from one Open to the next, as the Windows object keeps them.
  long resolveMs_ = kPlatformResolveMs;
  long connectMs_ = kPlatformConnectMs;
  long sendMs_ = kPlatformSendMs;
  long receiveMs_ = kPlatformReceiveMs;
  std::string proxy_;
  bool followRedirects_ = true;
  long ignoredCertificateErrors_ = 0;
  // One request's worth, reset by Open.
  bool opened_ = false;
  std::string verb_;
  std::string url_;
  std::string wireUrl_;  // url_ as it goes out
  std::vector<std::pair<std::string, std::string>> headers_;
  std::optional<std::pair<std::string, std::string>> serverUser_;
  std::optional<std::pair<std::string, std::string>> proxyUser_;
  std::string responseBody_;
  std::string responseHeaders_;
  int status_ = 0;
};

class CurlRequestPlatform final : public RequestPlatform {
 public:
  bool InitializeThread() override { return false; }
  void UninitializeThread() override {}
  std::shared_ptr<RequestObject> CreateRequestObject() override {
    EnsureCurlReady();
    CURL* easy = curl_easy_init();
    if (!easy) return nullptr;
    return std::make_shared<CurlRequestObject>(easy);
  }
};

}  // namespace

RequestPlatform& SystemRequestPlatform() {
  static CurlRequestPlatform platform;
  return platform;
}

}  // namespace qr::http
