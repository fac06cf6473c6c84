// Saving the state of a form's edit boxes, combo boxes, check boxes and radio
// boxes into an INI file and putting it back. The store knows nothing about
// what the controls mean: the section is the kind's name, the key the
// control's name, and the controls of a kind are walked in the form's order.
//
// Values as stored:
//   "编辑框"  the text, each line break as "><br><", each double quote as "#引号"
//   "组合框"  "text<|>value<||>" per item, then "selected<|>text"; quotes as "#引号"
//   "选择框", "单选框"  "真" or "假"; on loading only "假" unchecks
// An empty or missing value leaves the control at what it holds. Every
// operation returns the number of controls of its kind in the form.
#pragma once

#include <string>
#include <string_view>

#include "ui/toolkit/form_model.h"

namespace qr::app {

inline constexpr std::string_view kEditSection = "编辑框";
inline constexpr std::string_view kComboSection = "组合框";
inline constexpr std::string_view kCheckSection = "选择框";
inline constexpr std::string_view kRadioSection = "单选框";

// An empty `path` means the store's own file, program folder + data/setsoft.ini
// (its folder is made when missing). `exclusions`: control names separated by
// "|" that are left out (exact match).
int SaveEditBoxes(const qr::ui::FormModel& form, std::string_view path = {}, std::string_view exclusions = {});
int SaveComboBoxes(const qr::ui::FormModel& form, std::string_view path = {}, std::string_view exclusions = {});
int SaveCheckBoxes(const qr::ui::FormModel& form, std::string_view path = {}, std::string_view exclusions = {});
int SaveRadioBoxes(const qr::ui::FormModel& form, std::string_view path = {}, std::string_view exclusions = {});

// Every edit box, combo box, check box and radio box of the form, in that
// order, written to the file in one replacement: a crash leaves all of them
// stored or none. Returns the number of controls of those kinds.
int SaveFormControls(const qr::ui::FormModel& form, std::string_view path = {});

int LoadEditBoxes(qr::ui::FormModel& form, std::string_view path = {});
int LoadComboBoxes(qr::ui::FormModel& form, std::string_view path = {});
int LoadCheckBoxes(qr::ui::FormModel& form, std::string_view path = {});
int LoadRadioBoxes(qr::ui::FormModel& form, std::string_view path = {});

// Program folder + data/setsoft.ini, making its folder when missing.
std::string DefaultControlStorePath();

// The stored forms of one edit text and one combo box state, and back.
std::string EncodeEditText(std::string_view text);
std::string DecodeEditText(std::string_view value);
std::string EncodeComboState(const qr::ui::ControlState& state);
// Rebuilds the items, the selection and the text of `state` from `value`.
void DecodeComboState(std::string_view value, qr::ui::ControlState& state);

}  // namespace qr::app
