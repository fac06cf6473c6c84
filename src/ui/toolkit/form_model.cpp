#include "ui/toolkit/form_model.h"

#include <utility>

namespace qr::ui {

FormModel::FormModel(std::string title, int width, int height, std::vector<ControlSpec> controls)
    : title_(std::move(title)), width_(width), height_(height), specs_(std::move(controls)) {
  for (const auto& spec : specs_) {
    ControlState state = spec.initial;
    if (state.text.empty() && spec.kind != ControlKind::kEdit && spec.kind != ControlKind::kComboBox &&
        spec.kind != ControlKind::kLink) {
      state.text = spec.caption;
    }
    states_.push_back(std::move(state));
  }
}

int FormModel::Find(const std::string& name) const {
  if (name.empty()) return -1;
  for (int i = 0; i < ControlCount(); ++i) {
    if (specs_[i].name == name) return i;
  }
  return -1;
}

std::vector<int> FormModel::ControlsOf(ControlKind kind) const {
  std::vector<int> found;
  for (int i = 0; i < ControlCount(); ++i) {
    if (specs_[i].kind == kind) found.push_back(i);
  }
  return found;
}

ControlState FormModel::State(int control) const {
  std::lock_guard guard(mutex_);
  if (control < 0 || control >= ControlCount()) return {};
  return states_[control];
}

void FormModel::SetState(int control, ControlState state) {
  std::lock_guard guard(mutex_);
  if (control < 0 || control >= ControlCount()) return;
  if (states_[control] == state) return;
  const bool selectsRadio = specs_[control].kind == ControlKind::kRadioBox && state.checked;
  states_[control] = std::move(state);
  Notify({FormChange::Kind::kControl, control, states_[control]});
  if (!selectsRadio) return;
  for (int other = 0; other < ControlCount(); ++other) {
    if (other == control || specs_[other].kind != ControlKind::kRadioBox) continue;
    if (specs_[other].group != specs_[control].group || !states_[other].checked) continue;
    states_[other].checked = false;
    Notify({FormChange::Kind::kControl, other, states_[other]});
  }
}

std::string FormModel::Text(const std::string& name) const { return State(Find(name)).text; }

void FormModel::SetText(const std::string& name, std::string text) {
  const int control = Find(name);
  ControlState state = State(control);
  state.text = std::move(text);
  SetState(control, std::move(state));
}

bool FormModel::Checked(const std::string& name) const { return State(Find(name)).checked; }

void FormModel::SetChecked(const std::string& name, bool checked) {
  const int control = Find(name);
  ControlState state = State(control);
  state.checked = checked;
  SetState(control, std::move(state));
}

void FormModel::SetEnabled(const std::string& name, bool enabled) {
  const int control = Find(name);
  ControlState state = State(control);
  state.enabled = enabled;
  SetState(control, std::move(state));
}

void FormModel::SetBackground(const std::string& name, std::uint32_t rgb) {
  const int control = Find(name);
  ControlState state = State(control);
  state.background = rgb;
  SetState(control, std::move(state));
}

void FormModel::SetSelected(const std::string& name, int selected) {
  const int control = Find(name);
  ControlState state = State(control);
  state.selected = selected;
  SetState(control, std::move(state));
}

void FormModel::MoveTo(int x, int y) {
  std::lock_guard guard(mutex_);
  x_ = x;
  y_ = y;
  FormChange change;
  change.kind = FormChange::Kind::kPosition;
  change.x = x;
  change.y = y;
  Notify(change);
}

int FormModel::X() const {
  std::lock_guard guard(mutex_);
  return x_;
}

int FormModel::Y() const {
  std::lock_guard guard(mutex_);
  return y_;
}

void FormModel::Close(bool accepted) {
  std::lock_guard guard(mutex_);
  if (closed_) return;
  closed_ = true;
  accepted_ = accepted;
  FormChange change;
  change.kind = FormChange::Kind::kClose;
  Notify(change);
}

bool FormModel::IsClosed() const {
  std::lock_guard guard(mutex_);
  return closed_;
}

bool FormModel::Accepted() const {
  std::lock_guard guard(mutex_);
  return accepted_;
}

void FormModel::DescribeState(const Listener& listener) const {
  for (int i = 0; i < ControlCount(); ++i) listener({FormChange::Kind::kControl, i, states_[i]});
  FormChange position;
  position.kind = FormChange::Kind::kPosition;
  position.x = x_;
  position.y = y_;
  listener(position);
}

}  // namespace qr::ui
