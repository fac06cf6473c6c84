// Shared by the Win32 backend tests: a window over the program's real layout
// with recording events, and helpers that read what the controls show.
#pragma once

#include <windows.h>
#include <commctrl.h>

#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "app/main_window_layout.h"
#include "concurrency/pumping_wait.h"
#include "recording_window_events.h"
#include "ui/toolkit/main_window_model.h"
#include "ui/win32/wide_text.h"
#include "ui/win32/win32_toolkit.h"
#include "ui/win32/win32_window.h"

namespace qr::testing {

// Handles this thread's messages until `done` holds or `limitMs` passed.
inline bool PumpUntil(const std::function<bool()>& done, int limitMs = 5000) {
  const auto end = qr::concurrency::MillisecondClock() + limitMs;
  while (!done()) {
    if (qr::concurrency::MillisecondClock() >= end) return false;
    qr::concurrency::PumpingWait(5);
  }
  return true;
}

inline void Pump(int ms = 50) { qr::concurrency::PumpingWait(ms); }

// Runs this thread's messages until WM_QUIT arrives (true, `quit` holds it)
// or `limitMs` passed.
inline bool RunUntilQuit(MSG& quit, int limitMs = 5000) {
  const auto end = qr::concurrency::MillisecondClock() + limitMs;
  while (qr::concurrency::MillisecondClock() < end) {
    if (!PeekMessageW(&quit, nullptr, 0, 0, PM_REMOVE)) {
      Sleep(5);
      continue;
    }
    if (quit.message == WM_QUIT) return true;
    DispatchMessageW(&quit);
  }
  return false;
}

inline std::wstring WindowText(HWND window) {
  wchar_t text[512] = {};
  GetWindowTextW(window, text, 512);
  return text;
}

inline std::wstring ListCellText(HWND list, int row, int column) {
  wchar_t text[512] = {};
  LVITEMW item{};
  item.iSubItem = column;
  item.pszText = text;
  item.cchTextMax = 512;
  SendMessageW(list, LVM_GETITEMTEXTW, row, reinterpret_cast<LPARAM>(&item));
  return text;
}

inline std::wstring MenuText(HMENU menu, int position) {
  wchar_t text[256] = {};
  GetMenuStringW(menu, static_cast<UINT>(position), text, 256, MF_BYPOSITION);
  return text;
}

// Calls `inspect` on this thread every 100 ms, also from inside whatever
// modal loop (dialog, menu) the thread is in by then, until it returns true
// (it found what it waited for and closed it).
inline void InspectWhenShown(std::function<bool()> inspect) {
  static std::function<bool()> pending;
  pending = std::move(inspect);
  SetTimer(nullptr, 0, 100, [](HWND, UINT, UINT_PTR id, DWORD) {
    if (!pending || pending()) {
      KillTimer(nullptr, id);
      pending = nullptr;
    }
  });
}

// The first top-level window of this thread with the class `className`.
inline HWND ThreadWindowOfClass(const wchar_t* className) {
  struct Search {
    const wchar_t* className;
    HWND found;
  } search{className, nullptr};
  EnumThreadWindows(
      GetCurrentThreadId(),
      [](HWND window, LPARAM data) -> BOOL {
        auto* search = reinterpret_cast<Search*>(data);
        wchar_t name[64] = {};
        GetClassNameW(window, name, 64);
        if (lstrcmpW(name, search->className) != 0) return TRUE;
        search->found = window;
        return FALSE;
      },
      reinterpret_cast<LPARAM>(&search));
  return search.found;
}

using qr::ui::win32::Wide;

// The program's own main window layout in a real Win32 window.
class Win32WindowTest : public ::testing::Test {
 protected:
  void SetUp() override { parts_ = std::make_unique<qr::app::MainWindowParts>(qr::app::BuildMainWindow(model_)); }
  void TearDown() override { window_.reset(); }

  bool Open() {
    window_ = std::make_unique<qr::ui::win32::Win32Window>(model_, events_, toolkit_);
    const bool created = window_->Create();
    Pump();
    return created;
  }
  HWND Main() const { return window_->Handle(); }
  HWND Child(int id) const { return GetDlgItem(Main(), id); }
  HWND QueueList() const { return Child(qr::ui::win32::kFirstListId); }
  HWND LogList() const { return Child(qr::ui::win32::kFirstListId + 1); }
  HWND Toolbar() const { return Child(qr::ui::win32::kToolbarId); }
  HWND Tabs() const { return Child(qr::ui::win32::kPageTabsId); }

  qr::ui::MainWindowModel model_;
  std::unique_ptr<qr::app::MainWindowParts> parts_;
  RecordingWindowEvents events_;
  qr::ui::win32::Win32Toolkit toolkit_;
  std::unique_ptr<qr::ui::win32::Win32Window> window_;
};

}  // namespace qr::testing
