// A dialog window described once: its title, size and controls (kind, name,
// caption, design default and place). The app logic reads and changes the
// controls through this model; the Qt and Win32 backends render it as a modal
// window owned by the main window, the headless backend only holds it. Code
// that must not know the toolkit (the control-state store) walks the controls
// of one kind in the form's own order.
//
// Threads: the window thread changes a form and reads it; the model locks
// like every model of the seam. A form lives while its modal window runs.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "ui/toolkit/observable.h"
#include "ui/toolkit/window_model.h"

namespace qr::ui {

enum class ControlKind {
  kLabel,     // static text
  kEdit,      // one-line edit box (multiLine: several lines, CR LF between them)
  kComboBox,  // drop-down list with an editable text
  kCheckBox,
  kRadioBox,  // one of the radio boxes sharing its `group` is selected at most
  kButton,
  kGroupBox,  // a frame with a caption around other controls
  kTabs,      // a tab control; its pages are its `items` (texts only)
  kLink,      // a clickable address (caption shown, `text` is the address)
  kPicture,   // the program's icon
};

struct ComboItem {
  std::string text;
  std::int32_t value = 0;

  bool operator==(const ComboItem&) const = default;
};

inline constexpr std::uint32_t kWhite = 0xFFFFFF;

// Place in pixels of the form's client area. `page` names the page of the
// form's tab control the control sits on; -1: on the form itself.
struct ControlPlace {
  int x = 0;
  int y = 0;
  int width = 0;
  int height = 0;
  int page = -1;
};

// Everything about a control that can change while the form is open.
struct ControlState {
  std::string text;  // edit text, combo text, or a caption
  bool checked = false;
  std::vector<ComboItem> items;  // combo items, or the pages of a tab control
  int selected = -1;             // combo selection, or the tab control's current page
  bool enabled = true;
  std::uint32_t background = kWhite;  // 0xRRGGBB, edit boxes only

  bool operator==(const ControlState&) const = default;
};

struct ControlSpec {
  ControlKind kind = ControlKind::kLabel;
  std::string name;     // the key under which the store keeps its state; may be empty
  std::string caption;  // label, button, check box, radio box and group box text
  ControlPlace place;
  ControlState initial;  // the design default
  std::string group;     // radio boxes: the set within which one is selected
  bool multiLine = false;
};

struct FormChange {
  enum class Kind {
    kControl,   // `control`'s state changed (the whole state is in the record)
    kPosition,  // the form moved (x, y)
    kClose,     // the logic closed the form
  };
  Kind kind = Kind::kControl;
  int control = -1;
  ControlState state;
  int x = 0;
  int y = 0;
};

// What the person does to a form; the backend calls these on the window thread.
class FormEvents {
 public:
  virtual ~FormEvents() = default;
  // The form exists with its design defaults and is about to be shown.
  virtual void OnFormOpened() {}
  virtual void OnClicked(const std::string& /*controlName*/) {}
  virtual void OnDoubleClicked(const std::string& /*controlName*/) {}
  // Closed by the title bar's close button or Escape: nothing is saved.
  virtual void OnClosedByUser() {}
};

class FormModel : public Observable<FormChange> {
 public:
  FormModel(std::string title, int width, int height, std::vector<ControlSpec> controls);

  const std::string& Title() const { return title_; }
  int Width() const { return width_; }
  int Height() const { return height_; }
  int ControlCount() const { return static_cast<int>(specs_.size()); }
  const ControlSpec& Spec(int control) const { return specs_.at(control); }
  // The control's index, or -1 when the form has no control of that name.
  int Find(const std::string& name) const;
  // The indexes of every control of `kind`, in the form's order.
  std::vector<int> ControlsOf(ControlKind kind) const;

  // State by index; the name forms below do nothing (or give the empty
  // state) for a name the form does not have.
  ControlState State(int control) const;
  void SetState(int control, ControlState state);

  std::string Text(const std::string& name) const;
  void SetText(const std::string& name, std::string text);
  bool Checked(const std::string& name) const;
  // Selecting a radio box clears the others of its group.
  void SetChecked(const std::string& name, bool checked);
  void SetEnabled(const std::string& name, bool enabled);
  void SetBackground(const std::string& name, std::uint32_t rgb);
  // Tab control: the current page.
  void SetSelected(const std::string& name, int selected);

  // Top-left corner on the screen; the logic places the form before it is shown.
  void MoveTo(int x, int y);
  int X() const;
  int Y() const;

  // The logic ends the modal run; `accepted` tells the opener which button did it.
  void Close(bool accepted);
  bool IsClosed() const;
  bool Accepted() const;

 protected:
  void DescribeState(const Listener& listener) const override;

 private:
  std::string title_;
  int width_;
  int height_;
  std::vector<ControlSpec> specs_;
  std::vector<ControlState> states_;
  int x_ = 0;
  int y_ = 0;
  bool closed_ = false;
  bool accepted_ = false;
};

}  // namespace qr::ui
