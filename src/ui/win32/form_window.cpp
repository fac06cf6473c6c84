#include "ui/win32/form_window.h"

#include <commctrl.h>

#include <utility>

#include "ui/win32/wide_text.h"
#include "ui/win32/window_look.h"

namespace qr::ui::win32 {

namespace {

constexpr UINT kSyncMessage = WM_APP + 20;
constexpr wchar_t kFormProperty[] = L"QuillreelFormWindow";
constexpr int kDropListHeight = 200;  // a combo box's height counts its open list too
constexpr COLORREF kLinkColour = RGB(0, 0, 255);

COLORREF ToColorRef(std::uint32_t rgb) { return RGB((rgb >> 16) & 0xFF, (rgb >> 8) & 0xFF, rgb & 0xFF); }

std::wstring WindowText(HWND window) {
  std::wstring text(static_cast<std::size_t>(GetWindowTextLengthW(window)) + 1, L'\0');
  text.resize(static_cast<std::size_t>(GetWindowTextW(window, text.data(), static_cast<int>(text.size()))));
  return text;
}

void SetTextWhenChanged(HWND window, const std::string& text) {
  const std::wstring wide = Wide(text);
  if (WindowText(window) != wide) SetWindowTextW(window, wide.c_str());
}

std::vector<std::wstring> ComboTexts(HWND combo) {
  std::vector<std::wstring> texts;
  const auto count = static_cast<int>(SendMessageW(combo, CB_GETCOUNT, 0, 0));
  for (int i = 0; i < count; ++i) {
    std::wstring text(static_cast<std::size_t>(SendMessageW(combo, CB_GETLBTEXTLEN, i, 0)) + 1, L'\0');
    text.resize(static_cast<std::size_t>(SendMessageW(combo, CB_GETLBTEXT, i, reinterpret_cast<LPARAM>(text.data()))));
    texts.push_back(std::move(text));
  }
  return texts;
}

std::vector<std::wstring> TabTexts(HWND tabs) {
  std::vector<std::wstring> texts;
  const auto count = static_cast<int>(SendMessageW(tabs, TCM_GETITEMCOUNT, 0, 0));
  for (int i = 0; i < count; ++i) {
    wchar_t text[256] = {};
    TCITEMW item{};
    item.mask = TCIF_TEXT;
    item.pszText = text;
    item.cchTextMax = 256;
    SendMessageW(tabs, TCM_GETITEMW, i, reinterpret_cast<LPARAM>(&item));
    texts.emplace_back(text);
  }
  return texts;
}

std::vector<std::wstring> WideTexts(const std::vector<ComboItem>& items) {
  std::vector<std::wstring> texts;
  for (const ComboItem& item : items) texts.push_back(Wide(item.text));
  return texts;
}

// Paints the inside of the tab control's page (inside its border) in the form's colour.
void FillTabPage(HWND tabs) {
  RECT page{};
  GetClientRect(tabs, &page);
  SendMessageW(tabs, TCM_ADJUSTRECT, FALSE, reinterpret_cast<LPARAM>(&page));
  HDC dc = GetDC(tabs);
  FillRect(dc, &page, GetSysColorBrush(COLOR_BTNFACE));
  ReleaseDC(tabs, dc);
}

void RegisterFormClass(HINSTANCE instance) {
  WNDCLASSEXW windowClass{};
  windowClass.cbSize = sizeof windowClass;
  windowClass.lpfnWndProc = DefWindowProcW;  // replaced per window at WM_NCCREATE
  windowClass.hInstance = instance;
  windowClass.hCursor = LoadCursorA(nullptr, IDC_ARROW);
  windowClass.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
  windowClass.lpszClassName = kFormWindowClass;
  RegisterClassExW(&windowClass);  // fails harmlessly once registered
}

}  // namespace

FormWindow::FormWindow(FormModel& model, FormEvents& events, HWND owner,
                       std::function<void(const std::string&)> openAddress)
    : model_(model),
      events_(events),
      owner_(owner),
      openAddress_(std::move(openAddress)),
      windowThread_(GetCurrentThreadId()) {
  HINSTANCE instance = GetModuleHandleW(nullptr);
  RegisterFormClass(instance);
  constexpr DWORD style = WS_POPUP | WS_CAPTION | WS_SYSMENU | WS_CLIPCHILDREN;
  constexpr DWORD extendedStyle = WS_EX_DLGMODALFRAME | WS_EX_CONTROLPARENT;
  RECT frame{0, 0, model_.Width(), model_.Height()};
  AdjustWindowRectEx(&frame, style, FALSE, extendedStyle);
  window_ = CreateWindowExW(extendedStyle, kFormWindowClass, Wide(model_.Title()).c_str(), style, 0, 0,
                            frame.right - frame.left, frame.bottom - frame.top, owner_, nullptr, instance, nullptr);
  if (window_ == nullptr) return;
  SetWindowLongPtrW(window_, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
  SetWindowLongPtrW(window_, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(WindowProc));
  font_ = CreateMessageFont();
  LOGFONTW underlined{};
  if (font_ != nullptr && GetObjectW(font_, sizeof underlined, &underlined) != 0) {
    underlined.lfUnderline = TRUE;
    linkFont_ = CreateFontIndirectW(&underlined);
  }
  CreateControls();
  subscription_ = model_.Subscribe([this](const FormChange& change) { OnModelChange(change); });
}

FormWindow::~FormWindow() {
  Unsubscribe();
  if (window_ != nullptr) DestroyWindow(window_);
  if (font_ != nullptr) DeleteObject(font_);
  if (linkFont_ != nullptr) DeleteObject(linkFont_);
  for (const auto& entry : brushes_) DeleteObject(entry.second);
}

void FormWindow::Unsubscribe() {
  if (subscription_ != 0) model_.Unsubscribe(subscription_);
  subscription_ = 0;
}

void FormWindow::CreateControls() {
  controls_.resize(static_cast<std::size_t>(model_.ControlCount()));
  for (int index = 0; index < model_.ControlCount(); ++index) controls_[index].handle = CreateControl(index);
  // Z order is the Tab order: the form's order, with group boxes and then
  // the tab control moved below everything they frame.
  for (int index : model_.ControlsOf(ControlKind::kGroupBox)) {
    SetWindowPos(controls_[index].handle, HWND_BOTTOM, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
  }
  const std::vector<int> tabs = model_.ControlsOf(ControlKind::kTabs);
  if (!tabs.empty()) {
    tabs_ = tabs.front();
    SetWindowPos(controls_[tabs_].handle, HWND_BOTTOM, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
  }
}

HWND FormWindow::CreateControl(int index) {
  const ControlSpec& spec = model_.Spec(index);
  DWORD style = WS_CHILD | WS_VISIBLE;
  DWORD extendedStyle = 0;
  const wchar_t* className = L"STATIC";
  int height = spec.place.height;
  switch (spec.kind) {
    case ControlKind::kLabel:
      style |= SS_LEFT | SS_NOPREFIX;
      break;
    case ControlKind::kEdit:
      className = L"EDIT";
      style |= WS_TABSTOP | ES_AUTOHSCROLL;
      if (spec.multiLine) style |= ES_MULTILINE | ES_WANTRETURN | ES_AUTOVSCROLL | WS_VSCROLL;
      extendedStyle = WS_EX_CLIENTEDGE;
      break;
    case ControlKind::kComboBox:
      className = L"COMBOBOX";
      style |= WS_TABSTOP | WS_VSCROLL | CBS_DROPDOWN | CBS_AUTOHSCROLL;
      height += kDropListHeight;
      break;
    case ControlKind::kCheckBox:
      className = L"BUTTON";
      style |= WS_TABSTOP | BS_AUTOCHECKBOX;
      break;
    case ControlKind::kRadioBox:
      // Not an automatic radio button: the model keeps one selected per group.
      className = L"BUTTON";
      style |= WS_TABSTOP | BS_RADIOBUTTON;
      break;
    case ControlKind::kButton:
      className = L"BUTTON";
      style |= WS_TABSTOP | BS_PUSHBUTTON;
      break;
    case ControlKind::kGroupBox:
      className = L"BUTTON";
      style |= BS_GROUPBOX | WS_CLIPSIBLINGS;
      break;
    case ControlKind::kTabs:
      className = WC_TABCONTROLW;
      style |= WS_TABSTOP | WS_CLIPSIBLINGS;
      break;
    case ControlKind::kLink:
      style |= SS_NOTIFY | SS_NOPREFIX;
      break;
    case ControlKind::kPicture:
      style |= SS_ICON;
      break;
  }
  HWND control = CreateWindowExW(
      extendedStyle, className, L"", style, spec.place.x, spec.place.y, spec.place.width, height, window_,
      reinterpret_cast<HMENU>(static_cast<INT_PTR>(kFirstFormControlId + index)), GetModuleHandleW(nullptr), nullptr);
  if (control == nullptr) return nullptr;
  HFONT font = spec.kind == ControlKind::kLink && linkFont_ != nullptr ? linkFont_ : font_;
  if (font != nullptr) SendMessageW(control, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
  if (spec.kind == ControlKind::kPicture) {
    const int size = std::min(spec.place.width, spec.place.height);
    SendMessageW(control, STM_SETICON, reinterpret_cast<WPARAM>(LoadProgramIcon(size)), 0);
  }
  if (spec.kind == ControlKind::kEdit || spec.kind == ControlKind::kGroupBox || spec.kind == ControlKind::kTabs) {
    // Edit boxes for the double-click, which they do not report; group boxes
    // to fill their inside, which nobody else paints (the tab control below
    // leaves out its siblings above it); the tab control so its page has the
    // form's colour, which the labels and check boxes on it paint around
    // their text (a themed page would be white around them).
    controls_[index].handle = control;
    SetPropW(control, kFormProperty, this);
    controls_[index].originalProc =
        reinterpret_cast<WNDPROC>(SetWindowLongPtrW(control, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(ControlProc)));
  }
  return control;
}

void FormWindow::Run() {
  if (window_ == nullptr) return;
  events_.OnFormOpened();
  if (!closed_) {
    if (owner_ != nullptr) EnableWindow(owner_, FALSE);
    ShowWindow(window_, SW_SHOWNORMAL);
    UpdateWindow(window_);
    if (HWND first = GetNextDlgTabItem(window_, nullptr, FALSE); first != nullptr) SetFocus(first);
    MSG message{};
    bool quit = false;
    while (!closed_) {
      const BOOL got = GetMessageW(&message, nullptr, 0, 0);
      if (got <= 0) {
        quit = got == 0;
        break;
      }
      if (!IsDialogMessageW(window_, &message)) {
        TranslateMessage(&message);
        DispatchMessageW(&message);
      }
    }
    UserClose();  // only when the loop ended without the form being closed
    // The owner is enabled before the form goes, so it becomes the active window again.
    if (owner_ != nullptr) EnableWindow(owner_, TRUE);
    if (quit) PostQuitMessage(static_cast<int>(message.wParam));
  }
  Unsubscribe();
  DestroyWindow(window_);
  window_ = nullptr;
}

LRESULT CALLBACK FormWindow::WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  auto* form = reinterpret_cast<FormWindow*>(GetWindowLongPtrW(window, GWLP_USERDATA));
  if (form == nullptr || form->window_ != window) return DefWindowProcW(window, message, wParam, lParam);
  return form->OnMessage(message, wParam, lParam);
}

LRESULT CALLBACK FormWindow::ControlProc(HWND control, UINT message, WPARAM wParam, LPARAM lParam) {
  auto* form = static_cast<FormWindow*>(GetPropW(control, kFormProperty));
  const int index = form != nullptr ? form->IndexOf(control) : -1;
  if (index < 0) return DefWindowProcW(control, message, wParam, lParam);
  const WNDPROC original = form->controls_[index].originalProc;
  if (message == WM_NCDESTROY) {
    RemovePropW(control, kFormProperty);
    SetWindowLongPtrW(control, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(original));
    return CallWindowProcW(original, control, message, wParam, lParam);
  }
  const ControlKind kind = form->model_.Spec(index).kind;
  if (message == WM_ERASEBKGND && kind == ControlKind::kGroupBox) {
    RECT inside{};
    GetClientRect(control, &inside);
    FillRect(reinterpret_cast<HDC>(wParam), &inside, GetSysColorBrush(COLOR_BTNFACE));
    return TRUE;
  }
  const LRESULT result = CallWindowProcW(original, control, message, wParam, lParam);
  if (message == WM_PAINT && kind == ControlKind::kTabs) FillTabPage(control);
  if (message == WM_LBUTTONDBLCLK && kind == ControlKind::kEdit)
    form->events_.OnDoubleClicked(form->model_.Spec(index).name);
  return result;
}

LRESULT FormWindow::OnMessage(UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_COMMAND:
      if (lParam == 0) {
        // From IsDialogMessage: Escape asks for IDCANCEL; Enter's IDOK presses nothing.
        if (LOWORD(wParam) == IDCANCEL) UserClose();
      } else {
        OnCommand(IndexOf(reinterpret_cast<HWND>(lParam)), HIWORD(wParam));
      }
      return 0;
    case WM_NOTIFY: {
      const auto* header = reinterpret_cast<const NMHDR*>(lParam);
      if (tabs_ >= 0 && header->hwndFrom == controls_[tabs_].handle && header->code == TCN_SELCHANGE) {
        WriteBack(tabs_);
        ShowCurrentPage();
      }
      return 0;
    }
    case WM_CTLCOLOREDIT:
    case WM_CTLCOLORSTATIC:
      return OnControlColour(reinterpret_cast<HDC>(wParam), reinterpret_cast<HWND>(lParam), message, wParam, lParam);
    case WM_SETCURSOR: {
      const int index = IndexOf(reinterpret_cast<HWND>(wParam));
      if (index >= 0 && model_.Spec(index).kind == ControlKind::kLink) {
        SetCursor(LoadCursorA(nullptr, IDC_HAND));
        return TRUE;
      }
      break;
    }
    case WM_CLOSE:
      UserClose();
      return 0;
    case kSyncMessage:
      SyncPending();
      return 0;
    default:
      break;
  }
  return DefWindowProcW(window_, message, wParam, lParam);
}

void FormWindow::OnCommand(int index, int code) {
  if (index < 0) return;
  const std::string& name = model_.Spec(index).name;
  switch (model_.Spec(index).kind) {
    case ControlKind::kEdit:
      if (code == EN_CHANGE) WriteBack(index);
      break;
    case ControlKind::kComboBox:
      if (code == CBN_SELCHANGE) WriteBack(index, true);
      if (code == CBN_EDITCHANGE) WriteBack(index);
      break;
    case ControlKind::kCheckBox:
      if (code != BN_CLICKED) break;
      WriteBack(index);
      events_.OnClicked(name);
      break;
    case ControlKind::kRadioBox: {
      if (code != BN_CLICKED) break;
      ControlState state = model_.State(index);
      state.checked = true;  // the model clears the rest of the group
      model_.SetState(index, std::move(state));
      events_.OnClicked(name);
      break;
    }
    case ControlKind::kButton:
      if (code == BN_CLICKED) events_.OnClicked(name);
      break;
    case ControlKind::kLink:
      if (code == STN_CLICKED) openAddress_(model_.State(index).text);
      break;
    default:
      break;
  }
}

LRESULT FormWindow::OnControlColour(HDC dc, HWND control, UINT message, WPARAM wParam, LPARAM lParam) {
  const int index = IndexOf(control);
  const ControlKind kind = index >= 0 ? model_.Spec(index).kind : ControlKind::kLabel;
  if (index >= 0 && kind == ControlKind::kEdit) {
    // A disabled or read-only edit box asks with WM_CTLCOLORSTATIC: it gets its colour too.
    const std::uint32_t background = controls_[index].background;
    SetBkColor(dc, ToColorRef(background));
    if (!IsWindowEnabled(control)) SetTextColor(dc, GetSysColor(COLOR_GRAYTEXT));
    return reinterpret_cast<LRESULT>(Brush(background));
  }
  if (index >= 0 && kind == ControlKind::kLink) {
    SetTextColor(dc, IsWindowEnabled(control) ? kLinkColour : GetSysColor(COLOR_GRAYTEXT));
    SetBkMode(dc, TRANSPARENT);
    return reinterpret_cast<LRESULT>(GetSysColorBrush(COLOR_BTNFACE));
  }
  return DefWindowProcW(window_, message, wParam, lParam);
}

void FormWindow::OnModelChange(const FormChange& change) {
  if (GetCurrentThreadId() == windowThread_) {
    Apply(change);
    return;
  }
  std::lock_guard guard(pendingMutex_);
  switch (change.kind) {
    case FormChange::Kind::kControl:
      pendingControls_.insert(change.control);
      break;
    case FormChange::Kind::kPosition:
      pendingPosition_ = true;
      break;
    case FormChange::Kind::kClose:
      pendingClose_ = true;
      break;
  }
  if (!syncPosted_) syncPosted_ = PostMessageW(window_, kSyncMessage, 0, 0) != FALSE;
}

void FormWindow::SyncPending() {
  std::set<int> controls;
  bool position = false;
  bool close = false;
  {
    std::lock_guard guard(pendingMutex_);
    controls.swap(pendingControls_);
    position = std::exchange(pendingPosition_, false);
    close = std::exchange(pendingClose_, false);
    syncPosted_ = false;
  }
  for (const int index : controls) Apply({FormChange::Kind::kControl, index, model_.State(index)});
  if (position) PlaceWindow(model_.X(), model_.Y());
  if (close) CloseWindow();
}

void FormWindow::Apply(const FormChange& change) {
  switch (change.kind) {
    case FormChange::Kind::kControl:
      ApplyControl(change.control, change.state);
      if (change.control == tabs_) ShowCurrentPage();
      break;
    case FormChange::Kind::kPosition:
      PlaceWindow(change.x, change.y);
      break;
    case FormChange::Kind::kClose:
      CloseWindow();
      break;
  }
}

void FormWindow::ApplyControl(int index, const ControlState& state) {
  HWND control = controls_[index].handle;
  if (control == nullptr) return;
  const ControlSpec& spec = model_.Spec(index);
  const bool wasApplying = std::exchange(applying_, true);
  EnableWindow(control, state.enabled ? TRUE : FALSE);
  switch (spec.kind) {
    case ControlKind::kLabel:
    case ControlKind::kButton:
    case ControlKind::kGroupBox:
      SetTextWhenChanged(control, state.text);
      break;
    case ControlKind::kCheckBox:
    case ControlKind::kRadioBox:
      SetTextWhenChanged(control, state.text);
      SendMessageW(control, BM_SETCHECK, state.checked ? BST_CHECKED : BST_UNCHECKED, 0);
      break;
    case ControlKind::kEdit:
      SetTextWhenChanged(control, state.text);
      if (controls_[index].background != state.background) {
        controls_[index].background = state.background;
        InvalidateRect(control, nullptr, TRUE);
      }
      break;
    case ControlKind::kComboBox: {
      const std::vector<std::wstring> items = WideTexts(state.items);
      if (ComboTexts(control) != items) {
        SendMessageW(control, CB_RESETCONTENT, 0, 0);
        for (const std::wstring& item : items)
          SendMessageW(control, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(item.c_str()));
      }
      if (SendMessageW(control, CB_GETCURSEL, 0, 0) != state.selected)
        SendMessageW(control, CB_SETCURSEL, state.selected, 0);
      SetTextWhenChanged(control, state.text);
      break;
    }
    case ControlKind::kTabs: {
      std::vector<std::wstring> pages = WideTexts(state.items);
      if (TabTexts(control) != pages) {
        SendMessageW(control, TCM_DELETEALLITEMS, 0, 0);
        for (std::size_t page = 0; page < pages.size(); ++page) {
          TCITEMW item{};
          item.mask = TCIF_TEXT;
          item.pszText = pages[page].data();
          SendMessageW(control, TCM_INSERTITEMW, page, reinterpret_cast<LPARAM>(&item));
        }
      }
      if (state.selected >= 0 && SendMessageW(control, TCM_GETCURSEL, 0, 0) != state.selected)
        SendMessageW(control, TCM_SETCURSEL, state.selected, 0);
      break;
    }
    case ControlKind::kLink:
      SetTextWhenChanged(control, spec.caption);  // the address stays in the model
      break;
    case ControlKind::kPicture:
      break;
  }
  applying_ = wasApplying;
}

void FormWindow::ShowCurrentPage() {
  const auto current = tabs_ >= 0 ? static_cast<int>(SendMessageW(controls_[tabs_].handle, TCM_GETCURSEL, 0, 0)) : -1;
  for (int index = 0; index < model_.ControlCount(); ++index) {
    const int page = model_.Spec(index).place.page;
    if (page >= 0 && controls_[index].handle != nullptr)
      ShowWindow(controls_[index].handle, page == current ? SW_SHOWNA : SW_HIDE);
  }
}

void FormWindow::PlaceWindow(int x, int y) {
  if (x != 0 || y != 0) {
    SetWindowPos(window_, nullptr, x, y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    return;
  }
  // (0, 0) is a form nobody placed: centred over its owner, else on the work area.
  RECT area{};
  if (owner_ == nullptr || !IsWindowVisible(owner_) || !GetWindowRect(owner_, &area))
    SystemParametersInfoW(SPI_GETWORKAREA, 0, &area, 0);
  RECT self{};
  GetWindowRect(window_, &self);
  const int left = area.left + ((area.right - area.left) - (self.right - self.left)) / 2;
  const int top = area.top + ((area.bottom - area.top) - (self.bottom - self.top)) / 2;
  SetWindowPos(window_, nullptr, std::max(0, left), std::max(0, top), 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void FormWindow::CloseWindow() {
  closed_ = true;
  PostMessageW(window_, WM_NULL, 0, 0);  // wakes the loop, which then ends
}

void FormWindow::UserClose() {
  if (closed_ || model_.IsClosed()) return;
  events_.OnClosedByUser();
  model_.Close(false);
}

void FormWindow::WriteBack(int index, bool pickedFromList) {
  if (applying_ || index < 0) return;
  HWND control = controls_[index].handle;
  ControlState state = model_.State(index);
  switch (model_.Spec(index).kind) {
    case ControlKind::kEdit:
      state.text = Narrow(WindowText(control));
      break;
    case ControlKind::kComboBox:
      state.selected = static_cast<int>(SendMessageW(control, CB_GETCURSEL, 0, 0));
      // While the selection changes the edit part still shows the old text.
      if (pickedFromList && state.selected >= 0 && state.selected < static_cast<int>(state.items.size())) {
        state.text = state.items[static_cast<std::size_t>(state.selected)].text;
      } else {
        state.text = Narrow(WindowText(control));
      }
      break;
    case ControlKind::kCheckBox:
    case ControlKind::kRadioBox:
      state.checked = SendMessageW(control, BM_GETCHECK, 0, 0) == BST_CHECKED;
      break;
    case ControlKind::kTabs:
      state.selected = static_cast<int>(SendMessageW(control, TCM_GETCURSEL, 0, 0));
      break;
    default:
      return;
  }
  model_.SetState(index, std::move(state));
}

int FormWindow::IndexOf(HWND control) const {
  if (control == nullptr) return -1;
  const int index = GetDlgCtrlID(control) - kFirstFormControlId;
  if (index < 0 || index >= static_cast<int>(controls_.size()) || controls_[index].handle != control) return -1;
  return index;
}

HBRUSH FormWindow::Brush(std::uint32_t rgb) {
  auto found = brushes_.find(rgb);
  if (found == brushes_.end()) found = brushes_.emplace(rgb, CreateSolidBrush(ToColorRef(rgb))).first;
  return found->second;
}

}  // namespace qr::ui::win32
