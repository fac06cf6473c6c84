// The state of a top-level window and the requests the app logic makes of it.
#pragma once

#include <string>

#include "ui/toolkit/observable.h"

namespace qr::ui {

struct WindowGeometry {
  int x = 0;
  int y = 0;
  int width = 0;
  int height = 0;

  bool operator==(const WindowGeometry&) const = default;
};

struct WindowChange {
  enum class Kind {
    kState,    // title, geometry, visible or minimised changed (all are in the record)
    kRaise,    // show, restore and bring to the front (asked by a second copy)
    kDestroy,  // destroy the window: the backend calls WindowEvents::OnDestroyed, then ends its loop
  };
  Kind kind = Kind::kState;
  std::string title;
  WindowGeometry geometry;
  bool visible = false;
  bool minimised = false;
};

class WindowModel : public Observable<WindowChange> {
 public:
  void SetTitle(std::string title);
  std::string Title() const;
  void SetGeometry(WindowGeometry geometry);
  WindowGeometry Geometry() const;

  // The backend shows the window after OnCreated allowed it, and reports
  // user actions (minimise, restore) back through these as well.
  void SetVisible(bool visible);
  bool IsVisible() const;
  void SetMinimised(bool minimised);
  bool IsMinimised() const;

  // Requests; each reaches the backend once as a change record.
  void RequestRaise();
  void RequestDestroy();
  int RaiseRequests() const;
  bool DestroyRequested() const;

 protected:
  void DescribeState(const Listener& listener) const override;

 private:
  WindowChange State(WindowChange::Kind kind) const;

  std::string title_;
  WindowGeometry geometry_;
  bool visible_ = false;
  bool minimised_ = false;
  int raiseRequests_ = 0;
  bool destroyRequested_ = false;
};

}  // namespace qr::ui
