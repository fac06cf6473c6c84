// FormEvents that record every call a backend makes, each followed by what
// the test wants done then (play the person, close the form), for the form
// tests of the desktop backends.
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "ui/toolkit/form_model.h"

namespace qr::testing {

struct RecordingFormEvents : qr::ui::FormEvents {
  void OnFormOpened() override { Note("opened", onOpened, ""); }
  void OnClicked(const std::string& name) override { Note("clicked " + name, onClicked, name); }
  void OnDoubleClicked(const std::string& name) override { Note("double-clicked " + name, onDoubleClicked, name); }
  void OnClosedByUser() override { Note("closed by user", nullptr, ""); }

  std::vector<std::string> calls;
  std::function<void(const std::string&)> onOpened;
  std::function<void(const std::string&)> onClicked;
  std::function<void(const std::string&)> onDoubleClicked;

 private:
  void Note(std::string call, const std::function<void(const std::string&)>& then, const std::string& name) {
    calls.push_back(std::move(call));
    if (then) then(name);
  }
};

}  // namespace qr::testing
