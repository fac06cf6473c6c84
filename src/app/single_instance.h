// Only one copy of the program runs at a time. The first copy claims a
// system-wide marker and listens for requests to show itself; a later copy
// finds the marker taken, tells the user, asks the first copy to come to the
// front and ends.
#pragma once

#include <functional>
#include <memory>
#include <string>

#include "ui/toolkit/toolkit_services.h"

namespace qr::app {

// The marker's name.
inline constexpr char kInstanceName[] = "Tallowfin-Quillreel";

class SingleInstance {
 public:
  virtual ~SingleInstance() = default;

  // True when no other copy holds the marker: this copy now holds it for its
  // whole life, and `onRaiseRequest` runs (on some other thread) whenever a
  // later copy asks it to show itself. True as well when the marker cannot be
  // made at all: the program then runs without one.
  virtual bool Claim(std::function<void()> onRaiseRequest) = 0;

  // Asks the copy holding the marker to show and raise its window; false when
  // it could not be reached.
  virtual bool AskFirstCopyToRaise() = 0;
};

// The system's own implementation. `runtimeFolder` empty: the per-user
// default (where the system keeps such markers).
std::unique_ptr<SingleInstance> MakeSingleInstance(const std::string& instanceName,
                                                   const std::string& runtimeFolder = {});

struct SingleInstanceNotice {
  bool showMessage = true;
  std::string message;
  int iconStyle = qr::ui::message_box::kIconInformation;
  bool activate = true;
};

// True when this copy may run. Otherwise shows `notice.message` titled
// "友情提醒:" without an owner window, asks the first copy to come to the front
// (when `activate`), and returns false: the caller ends with exit code 0
// without touching the queue file.
bool EnsureSingleInstance(SingleInstance& instance, qr::ui::ToolkitServices& services,
                          const SingleInstanceNotice& notice, std::function<void()> onRaiseRequest);

}  // namespace qr::app
