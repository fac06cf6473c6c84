// Windows: the marker is a named event. Until the Windows front end fills
// this in, every copy runs (the claim always succeeds).
#include "app/single_instance.h"

namespace qr::app {

namespace {

class NamedEventInstance : public SingleInstance {
 public:
  explicit NamedEventInstance(std::string name) : name_(std::move(name)) {}

  bool Claim(std::function<void()> /*onRaiseRequest*/) override { return true; }
  bool AskFirstCopyToRaise() override { return false; }

 private:
  std::string name_;
};

}  // namespace

std::unique_ptr<SingleInstance> MakeSingleInstance(const std::string& instanceName,
                                                   const std::string& /*runtimeFolder*/) {
  return std::make_unique<NamedEventInstance>(instanceName);
}

}  // namespace qr::app
