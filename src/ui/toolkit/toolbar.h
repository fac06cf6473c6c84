// The buttons of a toolbar; the index of a button is its position.
#pragma once

#include <string>
#include <vector>

#include "ui/toolkit/observable.h"

namespace qr::ui {

struct ToolbarButton {
  std::string caption;
  std::string tip;  // empty: no tip
  bool enabled = true;
};

struct ToolbarChange {
  int index = -1;  // the button whose state `button` now holds
  ToolbarButton button;
  int buttonCount = 0;  // the number of buttons at the time of the change
};

class Toolbar : public Observable<ToolbarChange> {
 public:
  // Add the buttons before a backend subscribes; returns the new index.
  int AddButton(ToolbarButton button);
  int ButtonCount() const;
  ToolbarButton Button(int index) const;

  void SetEnabled(int index, bool enabled);
  bool IsEnabled(int index) const;
  void SetCaption(int index, std::string caption);
  std::string Caption(int index) const;

 protected:
  void DescribeState(const Listener& listener) const override;

 private:
  bool Valid(int index) const { return index >= 0 && index < static_cast<int>(buttons_.size()); }
  void NotifyButton(int index) const;

  std::vector<ToolbarButton> buttons_;
};

}  // namespace qr::ui
