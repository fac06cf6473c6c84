// The platform's HTTP request object, as the web request drives it.
//
// On Windows it is the system's HTTP automation object driven by name; on
// Linux it is a libcurl transfer. Texts are code page 936 bytes, bodies raw
// bytes. Every call reports success, but the web request ignores failures:
// a failed call simply has no effect, and a failed read gives an empty value.
#pragma once

#include <memory>
#include <string>

namespace qr::http {

// Values the request object understands, as the Windows object numbers them.
inline constexpr int kProxySettingNamed = 2;
inline constexpr int kOptionSslErrorIgnoreFlags = 4;
inline constexpr int kOptionEnableRedirects = 6;
// Unknown certification authority, wrong usage, wrong common name, expired.
inline constexpr long kIgnoreAllCertificateErrors = 0x0100 | 0x0200 | 0x1000 | 0x2000;
inline constexpr int kCredentialsForServer = 0;
inline constexpr int kCredentialsForProxy = 1;

class RequestObject {
 public:
  virtual ~RequestObject() = default;

  // Resolve, connect, send and receive limits in milliseconds; 0 means no limit.
  virtual bool SetTimeouts(int resolveMs, int connectMs, int sendMs, int receiveMs) = 0;
  virtual bool SetProxy(int proxySetting, const std::string& proxy) = 0;
  virtual bool Open(const std::string& verb, const std::string& url, bool async) = 0;
  virtual bool SetOptionFlag(int option, bool value) = 0;
  virtual bool SetOptionNumber(int option, long value) = 0;
  virtual bool SetCredentials(const std::string& user, const std::string& password, int target) = 0;
  virtual bool SetRequestHeader(const std::string& name, const std::string& value) = 0;
  // Sends the request with a text or a byte body and waits for the whole response.
  virtual bool SendText(const std::string& body) = 0;
  virtual bool SendBytes(const std::string& body) = 0;
  virtual std::string ResponseBody() = 0;
  // "Name: value" lines of the response, separated by CR LF, without the status line.
  virtual std::string GetAllResponseHeaders() = 0;
  // The response's status code; 0 when there is none.
  virtual int Status() = 0;
};

// Makes request objects and prepares the calling thread to use them.
class RequestPlatform {
 public:
  virtual ~RequestPlatform() = default;

  // Called first on the thread of each request; true when UninitializeThread
  // must balance it.
  virtual bool InitializeThread() = 0;
  virtual void UninitializeThread() = 0;
  // A new request object, or null when none can be made.
  virtual std::shared_ptr<RequestObject> CreateRequestObject() = 0;
};

// The platform's own implementation (one instance for the whole process).
RequestPlatform& SystemRequestPlatform();

}  // namespace qr::http
