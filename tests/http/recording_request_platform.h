// A request platform for tests: every call on the platform and on its request
// objects is written, in order, into one shared log as a readable line, and
// the response is scripted.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "http/request_object.h"

namespace qr::http::testing {

struct ScriptedResponse {
  std::string body;
  std::string headers;
  int status = 0;
};

class RecordingRequestObject final : public RequestObject {
 public:
  RecordingRequestObject(std::vector<std::string>& log, const ScriptedResponse& response)
      : log_(log), response_(response) {}

  bool SetTimeouts(int resolveMs, int connectMs, int sendMs, int receiveMs) override {
    return Record("SetTimeouts " + std::to_string(resolveMs) + " " + std::to_string(connectMs) + " " +
                  std::to_string(sendMs) + " " + std::to_string(receiveMs));
  }
  bool SetProxy(int proxySetting, const std::string& proxy) override {
    return Record("SetProxy " + std::to_string(proxySetting) + " " + proxy);
  }
  bool Open(const std::string& verb, const std::string& url, bool async) override {
    return Record("Open " + verb + " " + url + (async ? " async" : " sync"));
  }
  bool SetOptionFlag(int option, bool value) override {
    return Record("Option " + std::to_string(option) + (value ? " true" : " false"));
  }
  bool SetOptionNumber(int option, long value) override {
    return Record("Option " + std::to_string(option) + " " + std::to_string(value));
  }
  bool SetCredentials(const std::string& user, const std::string& password, int target) override {
    return Record("SetCredentials " + user + " " + password + " " + std::to_string(target));
  }
  bool SetRequestHeader(const std::string& name, const std::string& value) override {
    return Record("Header " + name + ": " + value);
  }
  bool SendText(const std::string& body) override { return Record("SendText " + body); }
  bool SendBytes(const std::string& body) override { return Record("SendBytes " + body); }
  std::string ResponseBody() override {
    Record("ResponseBody");
    return response_.body;
  }
  std::string GetAllResponseHeaders() override {
    Record("GetAllResponseHeaders");
    return response_.headers;
  }
  int Status() override {
    Record("Status");
    return response_.status;
  }
  ~RecordingRequestObject() override { log_.push_back("Release"); }

 private:
  bool Record(std::string line) {
    log_.push_back(std::move(line));
    return true;
  }

  std::vector<std::string>& log_;
  const ScriptedResponse& response_;
};

class RecordingRequestPlatform final : public RequestPlatform {
 public:
  std::vector<std::string> log;
  ScriptedResponse response;
  bool creationFails = false;

  bool InitializeThread() override {
    log.push_back("InitializeThread");
    return true;
  }
  void UninitializeThread() override { log.push_back("UninitializeThread"); }
  std::shared_ptr<RequestObject> CreateRequestObject() override {
    log.push_back(creationFails ? "Create failed" : "Create");
    if (creationFails) return nullptr;
    return std::make_shared<RecordingRequestObject>(log, response);
  }

  // The log without the platform's and the object's bookkeeping lines, for
  // tests about what was asked of the request itself.
  std::vector<std::string> RequestCalls() const {
    std::vector<std::string> calls;
    for (const std::string& line : log) {
      if (line != "InitializeThread" && line != "UninitializeThread" && line != "Create" && line != "Release" &&
          line != "ResponseBody" && line != "GetAllResponseHeaders" && line != "Status") {
        calls.push_back(line);
      }
    }
    return calls;
  }
};

}  // namespace qr::http::testing
