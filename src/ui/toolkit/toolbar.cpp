#include "ui/toolkit/toolbar.h"

#include <utility>

namespace qr::ui {

int Toolbar::AddButton(ToolbarButton button) {
  std::lock_guard guard(mutex_);
  buttons_.push_back(std::move(button));
  const int index = static_cast<int>(buttons_.size()) - 1;
  NotifyButton(index);
  return index;
}

int Toolbar::ButtonCount() const {
  std::lock_guard guard(mutex_);
  return static_cast<int>(buttons_.size());
}

ToolbarButton Toolbar::Button(int index) const {
  std::lock_guard guard(mutex_);
  return Valid(index) ? buttons_[index] : ToolbarButton{};
}

void Toolbar::SetEnabled(int index, bool enabled) {
  std::lock_guard guard(mutex_);
  if (!Valid(index) || buttons_[index].enabled == enabled) return;
  buttons_[index].enabled = enabled;
  NotifyButton(index);
}

bool Toolbar::IsEnabled(int index) const {
  std::lock_guard guard(mutex_);
  return Valid(index) && buttons_[index].enabled;
}

void Toolbar::SetCaption(int index, std::string caption) {
  std::lock_guard guard(mutex_);
  if (!Valid(index) || buttons_[index].caption == caption) return;
  buttons_[index].caption = std::move(caption);
  NotifyButton(index);
}

std::string Toolbar::Caption(int index) const {
  std::lock_guard guard(mutex_);
  return Valid(index) ? buttons_[index].caption : std::string();
}

void Toolbar::NotifyButton(int index) const { Notify({index, buttons_[index], static_cast<int>(buttons_.size())}); }

void Toolbar::DescribeState(const Listener& listener) const {
  for (int i = 0; i < static_cast<int>(buttons_.size()); ++i) {
    listener({i, buttons_[i], static_cast<int>(buttons_.size())});
  }
}

}  // namespace qr::ui
