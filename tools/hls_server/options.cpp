#include "options.h"

#include <charconv>
#include <functional>
#include <map>

namespace qr::hls_server {
namespace {

std::optional<int> NonNegativeNumber(const std::string& text) {
  int value = 0;
  const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
  if (error != std::errc() || end != text.data() + text.size() || value < 0) return std::nullopt;
  return value;
}

std::optional<testing::HlsFault> FaultNamed(const std::string& name) {
  if (name == "503") return testing::HlsFault::kStatus503;
  if (name == "drop") return testing::HlsFault::kDrop;
  if (name == "stall") return testing::HlsFault::kStall;
  return std::nullopt;
}

using ValueSetter = std::function<bool(ProgramOptions&, const std::string&)>;

ValueSetter Number(std::function<void(ProgramOptions&, int)> set) {
  return [set](ProgramOptions& options, const std::string& text) {
    const std::optional<int> value = NonNegativeNumber(text);
    if (value) set(options, *value);
    return value.has_value();
  };
}

ValueSetter Text(std::string testing::HlsServerOptions::*field) {
  return [field](ProgramOptions& options, const std::string& text) {
    options.server.*field = text;
    return true;
  };
}

const std::map<std::string, ValueSetter>& OptionsWithValue() {
  using std::chrono::milliseconds;
  static const std::map<std::string, ValueSetter> kOptions = {
      {"--root", Text(&testing::HlsServerOptions::root)},
      {"--log", Text(&testing::HlsServerOptions::logPath)},
      {"--fail-path", Text(&testing::HlsServerOptions::failPath)},
      {"--stall-path", Text(&testing::HlsServerOptions::stallPath)},
      {"--port-file",
       [](ProgramOptions& options, const std::string& text) {
         options.portFile = text;
         return true;
       }},
      {"--port", Number([](ProgramOptions& o, int v) { o.server.port = v; })},
      {"--latency-ms", Number([](ProgramOptions& o, int v) { o.server.latency = milliseconds(v); })},
      {"--stall-ms", Number([](ProgramOptions& o, int v) { o.server.stall = milliseconds(v); })},
      {"--fault-every", Number([](ProgramOptions& o, int v) { o.server.faultEvery = v; })},
      {"--fail-first", Number([](ProgramOptions& o, int v) { o.server.failFirst = v; })},
      {"--stall-first", Number([](ProgramOptions& o, int v) { o.server.stallFirst = v; })},
      {"--fault",
       [](ProgramOptions& options, const std::string& text) {
         const std::optional<testing::HlsFault> fault = FaultNamed(text);
         if (fault) options.server.fault = *fault;
         return fault.has_value();
       }},
  };
  return kOptions;
}

// What a set of options cannot mean, or empty.
std::string Contradiction(const ProgramOptions& options) {
  if (options.server.root.empty()) return "--root is required";
  if (options.server.port > 65535) return "--port must be 0 to 65535";
  if ((options.server.faultEvery > 0) != (options.server.fault != testing::HlsFault::kNone)) {
    return "--fault-every and --fault go together";
  }
  if ((options.server.failFirst > 0) != !options.server.failPath.empty()) {
    return "--fail-first and --fail-path go together";
  }
  if ((options.server.stallFirst > 0) != !options.server.stallPath.empty()) {
    return "--stall-first and --stall-path go together";
  }
  return "";
}

}  // namespace

std::optional<ProgramOptions> ParseOptions(int argc, char** argv, std::string& error) {
  ProgramOptions options;
  for (int i = 1; i < argc; ++i) {
    const std::string name = argv[i];
    if (name == "--https") {
      options.server.https = true;
    } else if (name == "--close-after-each") {
      options.server.closeAfterEach = true;
    } else if (const auto found = OptionsWithValue().find(name); found != OptionsWithValue().end()) {
      if (i + 1 >= argc || !found->second(options, argv[i + 1])) {
        error = name + " needs a valid value";
        return std::nullopt;
      }
      ++i;
    } else {
      error = "unknown option " + name;
      return std::nullopt;
    }
  }
  error = Contradiction(options);
  if (!error.empty()) return std::nullopt;
  return options;
}

}  // namespace qr::hls_server
