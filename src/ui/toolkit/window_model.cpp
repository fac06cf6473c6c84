#include "ui/toolkit/window_model.h"

#include <utility>

namespace qr::ui {

void WindowModel::SetTitle(std::string title) {
  std::lock_guard guard(mutex_);
  title_ = std::move(title);
  Notify(State(WindowChange::Kind::kState));
}

std::string WindowModel::Title() const {
  std::lock_guard guard(mutex_);
  return title_;
}

void WindowModel::SetGeometry(WindowGeometry geometry) {
  std::lock_guard guard(mutex_);
  geometry_ = geometry;
  Notify(State(WindowChange::Kind::kState));
}

WindowGeometry WindowModel::Geometry() const {
  std::lock_guard guard(mutex_);
  return geometry_;
}

void WindowModel::SetVisible(bool visible) {
  std::lock_guard guard(mutex_);
  if (visible_ == visible) return;
  visible_ = visible;
  Notify(State(WindowChange::Kind::kState));
}

bool WindowModel::IsVisible() const {
  std::lock_guard guard(mutex_);
  return visible_;
}

void WindowModel::SetMinimised(bool minimised) {
  std::lock_guard guard(mutex_);
  if (minimised_ == minimised) return;
  minimised_ = minimised;
  Notify(State(WindowChange::Kind::kState));
}

bool WindowModel::IsMinimised() const {
  std::lock_guard guard(mutex_);
  return minimised_;
}

void WindowModel::RequestRaise() {
  std::lock_guard guard(mutex_);
  ++raiseRequests_;
  Notify(State(WindowChange::Kind::kRaise));
}

void WindowModel::RequestDestroy() {
  std::lock_guard guard(mutex_);
  if (destroyRequested_) return;
  destroyRequested_ = true;
  Notify(State(WindowChange::Kind::kDestroy));
}

int WindowModel::RaiseRequests() const {
  std::lock_guard guard(mutex_);
  return raiseRequests_;
}

bool WindowModel::DestroyRequested() const {
  std::lock_guard guard(mutex_);
  return destroyRequested_;
}

WindowChange WindowModel::State(WindowChange::Kind kind) const {
  return {kind, title_, geometry_, visible_, minimised_};
}

void WindowModel::DescribeState(const Listener& listener) const { listener(State(WindowChange::Kind::kState)); }

}  // namespace qr::ui
