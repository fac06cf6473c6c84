// WindowEvents that record every call a backend makes into the app logic,
// for the tests of the desktop backends.
#pragma once

#include <string>
#include <vector>

#include "ui/toolkit/window_events.h"

namespace qr::testing {

struct RecordingWindowEvents : qr::ui::WindowEvents {
  bool OnCreated() override {
    calls.push_back("created");
    return allowCreate;
  }
  bool OnCloseQuery() override {
    calls.push_back("close query");
    return allowClose;
  }
  void OnDestroyed() override { calls.push_back("destroyed"); }
  void OnMenuCommand(int id) override { calls.push_back("menu " + std::to_string(id)); }
  void OnToolbarClick(int index) override { calls.push_back("toolbar " + std::to_string(index)); }
  void OnListSelectionChanged(qr::ui::ListView&) override { calls.push_back("selection"); }
  void OnTrayEvent(int kind) override { calls.push_back("tray " + std::to_string(kind)); }
  void OnPageChanged(int page) override { calls.push_back("page " + std::to_string(page)); }
  void OnRaiseRequest() override { calls.push_back("raise"); }

  bool allowCreate = true;
  bool allowClose = false;
  std::vector<std::string> calls;
};

}  // namespace qr::testing
