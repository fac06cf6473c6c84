// A main window over the headless backend in a test's own program folder.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "app/main_window.h"
#include "app/process_objects.h"
#include "support/temp_folder.h"
#include "ui/headless/headless_toolkit.h"
#include "ui/headless/headless_window.h"

namespace qr::testing {

// A marker that is always free (or always taken), without touching the system.
class FakeInstance : public qr::app::SingleInstance {
 public:
  explicit FakeInstance(bool first) : first_(first) {}
  bool Claim(std::function<void()> onRaise) override {
    onRaise_ = std::move(onRaise);
    return first_;
  }
  bool AskFirstCopyToRaise() override {
    ++raiseAsks_;
    return true;
  }
  bool first_;
  int raiseAsks_ = 0;
  std::function<void()> onRaise_;
};

// Records what the main window hands to the queue controller.
struct RecordingHooks : qr::app::TaskControlHooks {
  void TaskCommand(int n) override { calls.push_back("task " + std::to_string(n)); }
  void StartCommand() override { calls.push_back("start"); }
  void OpenOptionsWindow(bool owned) override { calls.push_back(owned ? "options owned" : "options"); }
  void QueueSelectionChanged() override { calls.push_back("selection"); }
  void ProgressTick() override { calls.push_back("tick"); }
  std::vector<std::string> calls;
};

class MainWindowTest : public ProgramFolderTest {
 protected:
  // Set up the files first, then open the window.
  void Open(bool firstCopy = true) {
    auto instance = std::make_unique<FakeInstance>(firstCopy);
    instance_ = instance.get();
    window_ = std::make_unique<qr::app::MainWindow>(objects_, toolkit_, std::move(instance));
    view_ = std::make_unique<qr::ui::HeadlessWindow>(window_->Model(), *window_, toolkit_);
    view_->Create();
  }
  void TearDown() override {
    view_.reset();
    window_.reset();
    ProgramFolderTest::TearDown();
  }

  qr::app::ProcessObjects objects_;
  qr::ui::HeadlessToolkit toolkit_;
  FakeInstance* instance_ = nullptr;
  std::unique_ptr<qr::app::MainWindow> window_;
  std::unique_ptr<qr::ui::HeadlessWindow> view_;
};

}  // namespace qr::testing
