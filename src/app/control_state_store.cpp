#include "app/control_state_store.h"

#include <functional>
#include <vector>

#include "runtime/files.h"
#include "runtime/text.h"
#include "settings/ini_store.h"
#include "settings/setting_lookup.h"

namespace qr::app {
namespace {

using qr::ui::ControlKind;
using qr::ui::ControlState;
using qr::ui::FormModel;
namespace text = qr::text;

constexpr std::string_view kLineBreakToken = "><br><";
constexpr std::string_view kItemEnd = "<||>";
constexpr std::string_view kFieldSeparator = "<|>";

std::string StorePath(std::string_view path) { return path.empty() ? DefaultControlStorePath() : std::string(path); }

bool IsExcluded(const std::string& name, std::string_view exclusions) {
  for (const std::string& excluded : text::Split(exclusions, "|")) {
    if (excluded == name) return true;
  }
  return false;
}

using Encoder = std::function<std::string(const ControlState&)>;
// Applies a non-empty stored value to the control's state.
using Decoder = std::function<void(std::string_view, ControlState&)>;

// Puts every control of `kind` not excluded into `document`; returns how many
// controls of that kind the form has.
int PutKind(const FormModel& form, ControlKind kind, std::string_view section, std::string_view exclusions,
            const Encoder& encode, qr::settings::IniDocument& document) {
  const std::vector<int> controls = form.ControlsOf(kind);
  for (int control : controls) {
    const std::string& name = form.Spec(control).name;
    if (IsExcluded(name, exclusions)) continue;
    // A refused value (a name the file cannot hold) is not reported, like any write failure.
    document.SetValue(section, name, encode(form.State(control)));
  }
  return static_cast<int>(controls.size());
}

int SaveKind(const FormModel& form, ControlKind kind, std::string_view section, std::string_view path,
             std::string_view exclusions, const Encoder& encode) {
  int count = 0;
  qr::settings::EditIniFile(StorePath(path), [&](qr::settings::IniDocument& document) {
    count = PutKind(form, kind, section, exclusions, encode, document);
    return true;
  });
  return count;
}

int LoadKind(FormModel& form, ControlKind kind, std::string_view section, std::string_view path,
             const Decoder& decode) {
  const std::vector<int> controls = form.ControlsOf(kind);
  const auto document = qr::settings::IniDocument::Parse(qr::files::ReadFileBytes(StorePath(path)));
  for (int control : controls) {
    const auto value = document.Value(section, form.Spec(control).name);
    if (!value || value->empty()) continue;
    ControlState state = form.State(control);
    decode(*value, state);
    form.SetState(control, std::move(state));
  }
  return static_cast<int>(controls.size());
}

std::string EncodeChecked(const ControlState& state) {
  return std::string(state.checked ? qr::settings::kYes : qr::settings::kNo);
}

void DecodeChecked(std::string_view value, ControlState& state) { state.checked = value != qr::settings::kNo; }

std::string WithQuotesEncoded(std::string_view value) { return text::ReplaceAll(value, "\"", text::kQuoteToken); }

std::string TextAfterLast(std::string_view piece, std::string_view separator) {
  const std::size_t at = text::FindLast(piece, separator);
  return at == text::npos ? std::string() : std::string(piece.substr(at + separator.size()));
}

std::string EncodeEdit(const ControlState& state) { return EncodeEditText(state.text); }

}  // namespace

std::string DefaultControlStorePath() {
  const std::string folder = qr::files::JoinPath(qr::files::ProgramFolder(), "data");
  if (!qr::files::FolderExists(folder)) qr::files::EnsureFolder(folder);
  return qr::files::JoinPath(folder, "setsoft.ini");
}

std::string EncodeEditText(std::string_view text) {
  // Lines typed in a toolkit that ends them with LF alone are kept as CR LF,
  // so the file reads the same whichever system wrote it.
  return WithQuotesEncoded(text::ReplaceAll(text::WithCrLfLineEnds(text), "\r\n", kLineBreakToken));
}

std::string DecodeEditText(std::string_view value) {
  return text::ReplaceAll(text::ReplaceAll(value, kLineBreakToken, "\r\n"), text::kQuoteToken, "\"");
}

std::string EncodeComboState(const ControlState& state) {
  std::string value;
  for (const auto& item : state.items) {
    value += item.text + std::string(kFieldSeparator) + text::FromInt(item.value) + std::string(kItemEnd);
  }
  value += text::FromInt(state.selected) + std::string(kFieldSeparator) + state.text;
  return WithQuotesEncoded(value);
}

void DecodeComboState(std::string_view value, ControlState& state) {
  std::vector<std::string> pieces = text::Split(text::ReplaceAll(value, text::kQuoteToken, "\""), kItemEnd);
  state.items.clear();
  if (pieces.empty()) return;
  const std::string last = pieces.back();
  pieces.pop_back();
  for (const std::string& piece : pieces) {
    state.items.push_back(
        {text::TextBefore(piece, kFieldSeparator), text::ToInt32(TextAfterLast(piece, kFieldSeparator))});
  }
  state.selected = text::ToInt32(text::TextBefore(last, kFieldSeparator));
  state.text = TextAfterLast(last, kFieldSeparator);
}

int SaveEditBoxes(const FormModel& form, std::string_view path, std::string_view exclusions) {
  return SaveKind(form, ControlKind::kEdit, kEditSection, path, exclusions, EncodeEdit);
}

int SaveComboBoxes(const FormModel& form, std::string_view path, std::string_view exclusions) {
  return SaveKind(form, ControlKind::kComboBox, kComboSection, path, exclusions, EncodeComboState);
}

int SaveCheckBoxes(const FormModel& form, std::string_view path, std::string_view exclusions) {
  return SaveKind(form, ControlKind::kCheckBox, kCheckSection, path, exclusions, EncodeChecked);
}

int SaveRadioBoxes(const FormModel& form, std::string_view path, std::string_view exclusions) {
  return SaveKind(form, ControlKind::kRadioBox, kRadioSection, path, exclusions, EncodeChecked);
}

int SaveFormControls(const FormModel& form, std::string_view path) {
  int count = 0;
  qr::settings::EditIniFile(StorePath(path), [&](qr::settings::IniDocument& document) {
    count = PutKind(form, ControlKind::kEdit, kEditSection, {}, EncodeEdit, document) +
            PutKind(form, ControlKind::kComboBox, kComboSection, {}, EncodeComboState, document) +
            PutKind(form, ControlKind::kCheckBox, kCheckSection, {}, EncodeChecked, document) +
            PutKind(form, ControlKind::kRadioBox, kRadioSection, {}, EncodeChecked, document);
    return true;
  });
  return count;
}

int LoadEditBoxes(FormModel& form, std::string_view path) {
  return LoadKind(form, ControlKind::kEdit, kEditSection, path,
                  [](std::string_view value, ControlState& state) { state.text = DecodeEditText(value); });
}

int LoadComboBoxes(FormModel& form, std::string_view path) {
  return LoadKind(form, ControlKind::kComboBox, kComboSection, path, DecodeComboState);
}

int LoadCheckBoxes(FormModel& form, std::string_view path) {
  return LoadKind(form, ControlKind::kCheckBox, kCheckSection, path, DecodeChecked);
}

int LoadRadioBoxes(FormModel& form, std::string_view path) {
  return LoadKind(form, ControlKind::kRadioBox, kRadioSection, path, DecodeChecked);
}

}  // namespace qr::app
