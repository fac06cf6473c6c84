#include "ui/win32/win32_window.h"

#include <commctrl.h>

#include <algorithm>
#include <string>
#include <utility>

#include "ui/win32/list_control.h"
#include "ui/win32/menu_control.h"
#include "ui/win32/toolbar_control.h"
#include "ui/win32/tray_control.h"
#include "ui/win32/wide_text.h"
#include "ui/win32/window_look.h"

namespace qr::ui::win32 {

namespace {

constexpr wchar_t kWindowClass[] = L"QuillreelMainWindow";
constexpr UINT kSyncMessage = WM_APP + 10;
constexpr UINT kSelectionMessage = WM_APP + 12;  // wParam: the page of the list to look at
constexpr UINT_PTR kFirstTimerId = 1;

int CALLBACK NoteFaceFound(const LOGFONTW*, const TEXTMETRICW*, DWORD, LPARAM found) {
  *reinterpret_cast<bool*>(found) = true;
  return 0;
}

bool FaceInstalled(const std::wstring& face) {
  if (face.empty() || face.size() >= LF_FACESIZE) return false;
  LOGFONTW wanted{};
  wanted.lfCharSet = DEFAULT_CHARSET;
  lstrcpynW(wanted.lfFaceName, face.c_str(), LF_FACESIZE);
  bool found = false;
  HDC screen = GetDC(nullptr);
  EnumFontFamiliesExW(screen, &wanted, NoteFaceFound, reinterpret_cast<LPARAM>(&found), 0);
  ReleaseDC(nullptr, screen);
  return found;
}

// The face the model asks for, else the same face under its English name
// (systems that do not register the Chinese one), else the standard Chinese
// face; with none of them the font mapper picks by character set.
HFONT CreateListFont(const FontSpec& font) {
  std::wstring face = Wide(font.face);
  for (const wchar_t* fallback : {L"Microsoft YaHei", L"SimSun"}) {
    if (FaceInstalled(face)) break;
    face = fallback;
  }
  return CreateFontW(-font.pixelHeight, 0, 0, 0, font.bold ? FW_BOLD : FW_NORMAL, FALSE, FALSE, FALSE, DEFAULT_CHARSET,
                     OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, CLEARTYPE_QUALITY, DEFAULT_PITCH | FF_DONTCARE,
                     face.c_str());
}

}  // namespace

Win32Window::Win32Window(MainWindowModel& model, WindowEvents& events, Win32Toolkit& toolkit)
    : model_(model), events_(events), toolkit_(toolkit) {}

Win32Window::~Win32Window() {
  Unsubscribe();
  if (window_ != nullptr && !destroyed_) {
    silentDestroy_ = true;
    DestroyWindow(window_);
  }
  toolkit_.SetMainWindow(nullptr);
  tray_.reset();
  menu_.reset();
  if (uiFont_ != nullptr) DeleteObject(uiFont_);
  for (HFONT font : listFonts_) DeleteObject(font);
}

bool Win32Window::Create() {
  INITCOMMONCONTROLSEX controls{sizeof(INITCOMMONCONTROLSEX), ICC_LISTVIEW_CLASSES | ICC_BAR_CLASSES | ICC_TAB_CLASSES};
  InitCommonControlsEx(&controls);
  HINSTANCE instance = GetModuleHandleW(nullptr);
  icon_ = LoadProgramIcon(GetSystemMetrics(SM_CXICON));
  smallIcon_ = LoadProgramIcon(GetSystemMetrics(SM_CXSMICON));

  WNDCLASSEXW windowClass{};
  windowClass.cbSize = sizeof windowClass;
  windowClass.style = CS_HREDRAW | CS_VREDRAW;
  windowClass.lpfnWndProc = WindowProc;
  windowClass.hInstance = instance;
  windowClass.hIcon = icon_;
  windowClass.hIconSm = smallIcon_;
  windowClass.hCursor = LoadCursorA(nullptr, IDC_ARROW);
  windowClass.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
  windowClass.lpszClassName = kWindowClass;
  RegisterClassExW(&windowClass);

  placedGeometry_ = model_.window.Geometry();
  window_ = CreateWindowExW(0, kWindowClass, Wide(model_.window.Title()).c_str(), WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN,
                            placedGeometry_.x, placedGeometry_.y, placedGeometry_.width, placedGeometry_.height,
                            nullptr, nullptr, instance, this);
  if (window_ == nullptr) return false;
  taskbarCreated_ = RegisterWindowMessageW(L"TaskbarCreated");
  CreateChildren();
  toolkit_.SetMainWindow(this);
  Subscribe();

  if (!events_.OnCreated()) {
    silentDestroy_ = true;
    DestroyWindow(window_);
    return false;
  }
  created_ = true;
  model_.window.SetVisible(true);
  SyncPending();
  UpdateWindow(window_);
  return true;
}

int Win32Window::Run(const std::function<void()>& afterCreate) {
  if (!Create()) return 0;
  if (afterCreate) afterCreate();
  MSG message;
  while (GetMessageW(&message, nullptr, 0, 0) > 0) {
    TranslateMessage(&message);
    DispatchMessageW(&message);
  }
  return toolkit_.ExitCode();
}

void Win32Window::CreateChildren() {
  uiFont_ = CreateMessageFont();
  menu_ = std::make_unique<MenuControl>(model_.menu);
  menu_->Attach(window_);
  toolbar_ = std::make_unique<ToolbarControl>(model_.toolbar, window_, kToolbarId, kFirstToolbarCommand, uiFont_);

  tabs_ = CreateWindowExW(0, WC_TABCONTROLW, L"", WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS | TCS_FOCUSNEVER, 0, 0, 0, 0,
                          window_, reinterpret_cast<HMENU>(static_cast<INT_PTR>(kPageTabsId)),
                          GetModuleHandleW(nullptr), nullptr);
  if (uiFont_ != nullptr) SendMessageW(tabs_, WM_SETFONT, reinterpret_cast<WPARAM>(uiFont_), FALSE);
  for (int page = 0; page < model_.pages.PageCount(); ++page) {
    std::wstring title = Wide(model_.pages.Title(page));
    TCITEMW item{};
    item.mask = TCIF_TEXT;
    item.pszText = title.data();
    SendMessageW(tabs_, TCM_INSERTITEMW, page, reinterpret_cast<LPARAM>(&item));

    ListView* content = model_.pages.Content(page);
    if (content == nullptr) {
      lists_.push_back(nullptr);
      continue;
    }
    HFONT font = CreateListFont(content->Font());
    if (font != nullptr) listFonts_.push_back(font);
    lists_.push_back(std::make_unique<ListControl>(*content, window_, kFirstListId + page, font));
  }
  // The lists sit above the tab control, which draws only the tab headers around them.
  for (const auto& list : lists_) {
    if (list) SetWindowPos(list->Handle(), HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
  }

  timers_ = model_.Timers();
  tray_ = std::make_unique<TrayControl>(model_.tray, window_, kTrayCallbackMessage, smallIcon_);
  pending_.lists.assign(lists_.size(), false);
  pending_.listScrolls.assign(lists_.size(), false);
  pending_.timers.assign(timers_.size(), false);
  SyncPages();
  Layout();
}

void Win32Window::Subscribe() {
  auto keep = [this](auto& observable, auto listener) {
    const int id = observable.Subscribe(std::move(listener));
    subscriptions_.push_back({[&observable, id] { observable.Unsubscribe(id); }});
  };
  keep(model_.window, [this](const WindowChange& change) {
    switch (change.kind) {
      case WindowChange::Kind::kRaise:
        Request(kRaise);
        break;
      case WindowChange::Kind::kDestroy:
        Request(kDestroy);
        break;
      default:
        Request(kWindowState);
        break;
    }
  });
  keep(model_.menu, [this](const MenuChange&) { Request(kMenu); });
  keep(model_.toolbar, [this](const ToolbarChange&) { Request(kToolbar); });
  keep(model_.pages, [this](const PageChange&) { Request(kPages); });
  keep(model_.tray, [this](const TrayChange&) { Request(kTray); });
  for (int index = 0; index < static_cast<int>(lists_.size()); ++index) {
    if (!lists_[index]) continue;
    keep(lists_[index]->Model(), [this, index](const ListChange& change) {
      Request(0, index, change.kind == ListChange::Kind::kEnsureVisible);
    });
  }
  for (int index = 0; index < static_cast<int>(timers_.size()); ++index) {
    keep(*timers_[index], [this, index](const TimerChange&) { Request(0, -1, false, index); });
  }
}

void Win32Window::Unsubscribe() {
  for (auto& subscription : subscriptions_) subscription.unsubscribe();
  subscriptions_.clear();
}

void Win32Window::Request(unsigned flags, int list, bool scroll, int timer) {
  bool post = false;
  {
    std::lock_guard guard(pendingMutex_);
    pending_.flags |= flags;
    if (list >= 0 && list < static_cast<int>(pending_.lists.size())) {
      pending_.lists[list] = true;
      if (scroll) pending_.listScrolls[list] = true;
    }
    if (timer >= 0 && timer < static_cast<int>(pending_.timers.size())) pending_.timers[timer] = true;
    post = !syncPosted_;
    syncPosted_ = true;
  }
  if (post) PostMessageW(window_, kSyncMessage, 0, 0);
}

void Win32Window::SyncPending() {
  PendingWork work;
  {
    std::lock_guard guard(pendingMutex_);
    work = pending_;
    pending_.flags = 0;
    pending_.lists.assign(lists_.size(), false);
    pending_.listScrolls.assign(lists_.size(), false);
    pending_.timers.assign(timers_.size(), false);
    syncPosted_ = false;
  }
  if (destroyed_) return;
  if ((work.flags & kWindowState) != 0) SyncWindowState();
  if ((work.flags & kMenu) != 0) menu_->Sync();
  if ((work.flags & kToolbar) != 0 && toolbar_->Sync()) Layout();
  for (std::size_t index = 0; index < work.lists.size(); ++index) {
    if (work.lists[index] && lists_[index]) lists_[index]->Sync(work.listScrolls[index]);
  }
  if ((work.flags & kPages) != 0) SyncPages();
  for (std::size_t index = 0; index < work.timers.size(); ++index) {
    if (work.timers[index]) SyncTimer(static_cast<int>(index));
  }
  if ((work.flags & kTray) != 0) tray_->Sync();
  if ((work.flags & kRaise) != 0) Raise();
  // Last, so everything asked for before the destroy has been carried out.
  if ((work.flags & kDestroy) != 0) DestroyWindow(window_);
}

void Win32Window::SyncWindowState() {
  SetWindowTextW(window_, Wide(model_.window.Title()).c_str());
  const WindowGeometry geometry = model_.window.Geometry();
  if (geometry != placedGeometry_) {
    // Only a new geometry from the program moves the window; where the person put it stays otherwise.
    placedGeometry_ = geometry;
    SetWindowPos(window_, nullptr, geometry.x, geometry.y, geometry.width, geometry.height,
                 SWP_NOZORDER | SWP_NOACTIVATE);
  }
  if (!created_) return;
  if (!model_.window.IsVisible()) {
    if (IsWindowVisible(window_)) ShowWindow(window_, SW_HIDE);
    return;
  }
  if (model_.window.IsMinimised()) {
    if (!IsIconic(window_)) ShowWindow(window_, SW_SHOWMINIMIZED);
  } else if (IsIconic(window_)) {
    ShowWindow(window_, SW_RESTORE);
  }
  if (!IsWindowVisible(window_)) ShowWindow(window_, SW_SHOW);
}

void Win32Window::SyncPages() {
  const int current = model_.pages.CurrentPage();
  if (SendMessageW(tabs_, TCM_GETCURSEL, 0, 0) != current) SendMessageW(tabs_, TCM_SETCURSEL, current, 0);
  for (int page = 0; page < static_cast<int>(lists_.size()); ++page) {
    if (lists_[page]) ShowWindow(lists_[page]->Handle(), page == current ? SW_SHOWNA : SW_HIDE);
  }
}

void Win32Window::SyncTimer(int index) {
  const int interval = timers_[index]->Interval();
  const UINT_PTR id = kFirstTimerId + static_cast<UINT_PTR>(index);
  if (interval > 0) {
    SetTimer(window_, id, static_cast<UINT>(interval), nullptr);  // the same id again restarts the period
  } else {
    KillTimer(window_, id);
  }
}

void Win32Window::Raise() {
  if (IsIconic(window_)) ShowWindow(window_, SW_RESTORE);
  if (!IsWindowVisible(window_)) ShowWindow(window_, SW_SHOW);
  SetForegroundWindow(window_);
}

void Win32Window::PopupMenu(int menuIndex) {
  if (menu_ && window_ != nullptr && !destroyed_) menu_->Popup(window_, menuIndex);
}

void Win32Window::Layout() {
  if (tabs_ == nullptr) return;
  RECT client{};
  GetClientRect(window_, &client);
  SendMessageW(toolbar_->Handle(), TB_AUTOSIZE, 0, 0);
  const int top = toolbar_->Height();
  const int width = client.right;
  const int height = std::max(0, static_cast<int>(client.bottom) - top);
  SetWindowPos(tabs_, nullptr, 0, top, width, height, SWP_NOZORDER | SWP_NOACTIVATE);

  // The lists fill everything below the tab headers, from the left edge on.
  RECT display{0, 0, width, height};
  SendMessageW(tabs_, TCM_ADJUSTRECT, FALSE, reinterpret_cast<LPARAM>(&display));
  const int listTop = top + std::max(0, static_cast<int>(display.top) - 2);
  const int listHeight = std::max(0, static_cast<int>(client.bottom) - listTop);
  for (const auto& list : lists_) {
    if (list) SetWindowPos(list->Handle(), nullptr, 0, listTop, width, listHeight, SWP_NOZORDER | SWP_NOACTIVATE);
  }
}

LRESULT CALLBACK Win32Window::WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_NCCREATE) {
    auto* self = static_cast<Win32Window*>(reinterpret_cast<CREATESTRUCTW*>(lParam)->lpCreateParams);
    self->window_ = window;
    SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(self));
  }
  auto* self = reinterpret_cast<Win32Window*>(GetWindowLongPtrW(window, GWLP_USERDATA));
  if (self == nullptr) return DefWindowProcW(window, message, wParam, lParam);
  return self->OnMessage(message, wParam, lParam);
}

LRESULT Win32Window::OnMessage(UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case kSyncMessage:
      SyncPending();
      return 0;
    case kSelectionMessage:
      if (wParam < lists_.size() && lists_[wParam] && lists_[wParam]->TakeSelection() && created_) {
        events_.OnListSelectionChanged(lists_[wParam]->Model());
      }
      return 0;
    case kTrayCallbackMessage:
      if (const int kind = TrayEventKindOf(LOWORD(lParam)); kind != 0 && created_) events_.OnTrayEvent(kind);
      return 0;
    case WM_COMMAND:
      OnCommand(wParam, lParam);
      return 0;
    case WM_NOTIFY:
      return OnNotify(*reinterpret_cast<const NMHDR*>(lParam));
    case WM_TIMER:
      if (wParam >= kFirstTimerId && wParam < kFirstTimerId + timers_.size()) timers_[wParam - kFirstTimerId]->Tick();
      return 0;
    case WM_SIZE:
      OnSize(wParam);
      return 0;
    case WM_SETFOCUS:
      // Keys go to the list on the page shown.
      if (const auto page = static_cast<std::size_t>(model_.pages.CurrentPage());
          page < lists_.size() && lists_[page]) {
        SetFocus(lists_[page]->Handle());
      }
      return 0;
    case WM_CLOSE:
      if (created_ && events_.OnCloseQuery()) DestroyWindow(window_);
      return 0;
    case WM_ENDSESSION:
      // Windows is logging off or shutting down and ends the process after
      // this: leave as the window's own destroy does, so the queue is saved.
      if (wParam != FALSE && created_ && !destroyed_) DestroyWindow(window_);
      return 0;
    case WM_DESTROY:
      OnDestroy();
      return 0;
    default:
      if (message == taskbarCreated_ && taskbarCreated_ != 0) {
        if (tray_) tray_->Restore();
        return 0;
      }
      return DefWindowProcW(window_, message, wParam, lParam);
  }
}

void Win32Window::OnCommand(WPARAM wParam, LPARAM lParam) {
  const int id = LOWORD(wParam);
  if (toolbar_ && lParam != 0 && reinterpret_cast<HWND>(lParam) == toolbar_->Handle()) {
    if (const int index = toolbar_->ButtonOf(id); index >= 0 && model_.toolbar.IsEnabled(index)) {
      events_.OnToolbarClick(index);
    }
    return;
  }
  if (lParam == 0 && HIWORD(wParam) == 0 && model_.menu.IsEnabled(id)) events_.OnMenuCommand(id);
}

LRESULT Win32Window::OnNotify(const NMHDR& header) {
  LRESULT result = 0;
  for (std::size_t page = 0; page < lists_.size(); ++page) {
    bool selectionTouched = false;
    if (lists_[page] && lists_[page]->OnNotify(header, result, selectionTouched)) {
      if (selectionTouched) PostMessageW(window_, kSelectionMessage, page, 0);
      return result;
    }
  }
  if (toolbar_ && toolbar_->OnNotify(header, result)) return result;
  if (header.hwndFrom == tabs_ && header.code == TCN_SELCHANGE) {
    const int page = static_cast<int>(SendMessageW(tabs_, TCM_GETCURSEL, 0, 0));
    const bool changed = model_.pages.SetCurrentPage(page);
    SyncPages();
    if (changed) events_.OnPageChanged(page);
    return 0;
  }
  return DefWindowProcW(window_, WM_NOTIFY, 0, reinterpret_cast<LPARAM>(&header));
}

void Win32Window::OnSize(WPARAM kind) {
  Layout();
  if (!created_) return;
  if (kind == SIZE_MINIMIZED) {
    model_.window.SetMinimised(true);
  } else if (kind == SIZE_RESTORED || kind == SIZE_MAXIMIZED) {
    model_.window.SetMinimised(false);
  }
}

void Win32Window::OnDestroy() {
  destroyed_ = true;
  if (menu_) menu_->Detach();
  for (int index = 0; index < static_cast<int>(timers_.size()); ++index) {
    KillTimer(window_, kFirstTimerId + static_cast<UINT_PTR>(index));
  }
  if (silentDestroy_) {
    if (tray_) tray_->Remove();
    return;
  }
  model_.window.SetVisible(false);
  events_.OnDestroyed();
  // Whatever the program asked for, the icon goes with the window.
  if (tray_) tray_->Remove();
  toolkit_.QuitEventLoop(0);
}

}  // namespace qr::ui::win32
