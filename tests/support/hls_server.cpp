#include "support/hls_server.h"

#include <httplib.h>

#include <atomic>
#include <condition_variable>
#include <fstream>
#include <iterator>
#include <mutex>
#include <optional>

#include "loopback_server.h"
#include "self_signed_certificate.h"
#include "support/served_file.h"

namespace qr::testing {
namespace {

std::optional<std::string> ReadWholeFile(const std::filesystem::path& path) {
  std::ifstream in(path, std::ios::binary);
  if (!in) return std::nullopt;
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

long long MonotonicMilliseconds() {
  using namespace std::chrono;
  return duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count();
}

// Announces the whole body and sends only its first half: the library closes
// the connection when the provider gives up, so the client sees a cut transfer.
void SendHalfAndDrop(httplib::Response& response, std::string body, const std::string& contentType) {
  auto shared = std::make_shared<std::string>(std::move(body));
  const std::size_t half = shared->size() / 2;
  response.set_content_provider(shared->size(), contentType.c_str(),
                                [shared, half](std::size_t offset, std::size_t length, httplib::DataSink& sink) {
                                  if (offset >= half) return false;
                                  sink.write(shared->data() + offset, std::min(length, half - offset));
                                  return true;
                                });
}

constexpr std::size_t kWorkerThreads = 128;

}  // namespace

class HlsServer::Impl {
 public:
  explicit Impl(HlsServerOptions options) : options_(std::move(options)) {
    if (!options_.logPath.empty()) log_.open(options_.logPath, std::ios::app);
    std::unique_ptr<httplib::Server> server = MakeServer();
    if (options_.closeAfterEach) server->set_keep_alive_max_count(1);
    // The library's default of a few workers, each holding a kept-alive
    // connection until it idles out, would queue a client's 20 or 99
    // connections behind each other.
    server->new_task_queue = [] { return new httplib::ThreadPool(kWorkerThreads); };
    // Headers and body go out as separate writes; without this the body waits
    // for the client's delayed acknowledgement of the headers.
    server->set_tcp_nodelay(true);
    server->Get(R"(.*)",
                [this](const httplib::Request& request, httplib::Response& response) { Handle(request, response); });
    loopback_ = std::make_unique<http::testing::LoopbackServer>(std::move(server), options_.https ? "https" : "http",
                                                                options_.port);
  }

  ~Impl() {
    {
      std::lock_guard lock(mutex_);
      stopping_ = true;
    }
    wake_.notify_all();
    loopback_.reset();
  }

  bool Listening() const { return loopback_->Listening(); }
  int Port() const { return loopback_->Port(); }
  std::string Url(const std::string& path) const { return loopback_->Url(path); }

 private:
  std::unique_ptr<httplib::Server> MakeServer() {
    if (!options_.https) return std::make_unique<httplib::Server>();
    certificate_ = std::make_unique<http::testing::SelfSignedCertificate>();
    return std::make_unique<httplib::SSLServer>(certificate_->CertificatePath().c_str(),
                                                certificate_->KeyPath().c_str());
  }

  void Handle(const httplib::Request& request, httplib::Response& response) {
    WaitUnlessStopping(options_.latency);
    const long long number = ++requests_;
    const bool faulted =
        options_.fault != HlsFault::kNone && options_.faultEvery > 0 && number % options_.faultEvery == 0;
    if (faulted && options_.fault == HlsFault::kStatus503) return Fail(request, response, "503 fault");
    const bool stalled = (faulted && options_.fault == HlsFault::kStall) || StallsThisOne(request.path);
    if (stalled) WaitUnlessStopping(options_.stall);
    if (!options_.failPath.empty() && request.path == options_.failPath && failPathHits_++ < options_.failFirst) {
      return Fail(request, response, "503 fail-first");
    }
    const std::optional<ServedFile> file = FindServedFile(options_.root, request.path);
    const std::optional<std::string> body = file ? ReadWholeFile(file->path) : std::nullopt;
    if (!body) {
      response.status = 404;
      return Log(request, 404, 0, "");
    }
    if (faulted && options_.fault == HlsFault::kDrop) {
      Log(request, 200, body->size() / 2, "drop");
      return SendHalfAndDrop(response, *body, file->contentType);
    }
    Log(request, 200, body->size(), stalled ? "stall" : "");
    response.set_content(*body, file->contentType.c_str());
  }

  bool StallsThisOne(const std::string& path) {
    return !options_.stallPath.empty() && path == options_.stallPath && stallPathHits_++ < options_.stallFirst;
  }

  void Fail(const httplib::Request& request, httplib::Response& response, const char* why) {
    response.status = 503;
    response.set_content("unavailable", "text/plain");
    Log(request, 503, 0, why);
  }

  // Sleeps, but wakes at once when the server stops, so stopping never waits out a stall.
  void WaitUnlessStopping(std::chrono::milliseconds duration) {
    if (duration.count() <= 0) return;
    std::unique_lock lock(mutex_);
    wake_.wait_for(lock, duration, [this] { return stopping_; });
  }

  void Log(const httplib::Request& request, int status, std::size_t bytes, const std::string& note) {
    std::lock_guard lock(mutex_);
    if (!log_.is_open()) return;
    log_ << MonotonicMilliseconds() << ' ' << request.path << ' ' << status << ' ' << bytes;
    if (!note.empty()) log_ << ' ' << note;
    log_ << std::endl;
  }

  const HlsServerOptions options_;
  std::atomic<long long> requests_{0};
  std::atomic<int> failPathHits_{0};
  std::atomic<int> stallPathHits_{0};
  std::mutex mutex_;  // guards stopping_ and log_
  std::condition_variable wake_;
  bool stopping_ = false;
  std::ofstream log_;
  std::unique_ptr<http::testing::SelfSignedCertificate> certificate_;
  // Last: stopped first, while everything its handlers use still exists.
  std::unique_ptr<http::testing::LoopbackServer> loopback_;
};

HlsServer::HlsServer(HlsServerOptions options) : impl_(std::make_unique<Impl>(std::move(options))) {}
HlsServer::~HlsServer() = default;
bool HlsServer::Listening() const { return impl_->Listening(); }
int HlsServer::Port() const { return impl_->Port(); }
std::string HlsServer::Url(const std::string& path) const { return impl_->Url(path); }

}  // namespace qr::testing
