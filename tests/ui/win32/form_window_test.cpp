#include <functional>
#include <string>
#include <thread>
#include <utility>
#include <vector>

#include "form_preview/sample_form.h"
#include "recording_form_events.h"
#include "ui/win32/form_window.h"
#include "win32_test_support.h"

namespace qr::testing {
namespace {

using qr::apps::SampleOptionsForm;
using qr::ui::FormModel;
using qr::ui::win32::kFirstFormControlId;
using qr::ui::win32::kFormWindowClass;

// A plain top-level window in the main window's place: the forms' owner.
class OwnerWindow : public qr::ui::win32::PopupMenuHost {
 public:
  OwnerWindow()
      : window_(CreateWindowExW(0, L"STATIC", L"owner", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 0, 0, 200, 100, nullptr,
                                nullptr, GetModuleHandleW(nullptr), nullptr)) {}
  ~OwnerWindow() override { DestroyWindow(window_); }
  HWND Handle() const override { return window_; }
  void PopupMenu(int) override {}

 private:
  HWND window_;
};

class FormWindowTest : public ::testing::Test {
 protected:
  FormWindowTest() { toolkit_.SetMainWindow(&owner_); }
  ~FormWindowTest() override { toolkit_.SetMainWindow(nullptr); }

  // Runs the form; `play` runs inside its loop once it is shown. A form left
  // open is closed after a while so a failing test cannot hang.
  void Run(FormModel& form, RecordingFormEvents& events, std::function<void(HWND)> play) {
    static FormModel* leftOpen = nullptr;
    leftOpen = &form;
    const UINT_PTR safety = SetTimer(nullptr, 0, 10000, [](HWND, UINT, UINT_PTR, DWORD) { leftOpen->Close(false); });
    events.onOpened = [this, play](const std::string&) {
      toolkit_.PostToWindowThread([play] {
        HWND shown = ThreadWindowOfClass(kFormWindowClass);
        ASSERT_NE(shown, nullptr);
        play(shown);
      });
    };
    toolkit_.RunModalForm(form, events);
    KillTimer(nullptr, safety);
  }
  HWND Control(HWND form, const char* name) { return GetDlgItem(form, kFirstFormControlId + form_.Find(name)); }

  OwnerWindow owner_;
  qr::ui::win32::Win32Toolkit toolkit_;
  FormModel form_ = SampleOptionsForm();
  RecordingFormEvents events_;
};

TEST_F(FormWindowTest, WhatThePersonDoesReachesTheModelBeforeItsEvent) {
  events_.onClicked = CheckModelAtClicksOfSampleForm(form_);

  // A message box from inside the form is owned by it and works.
  HWND messageOwner = nullptr;
  events_.onDoubleClicked = [&](const std::string&) {
    EXPECT_EQ(form_.Text("folder"), "D:\\video");
    InspectWhenShown([&] {
      HWND box = ThreadWindowOfClass(L"#32770");
      if (box == nullptr) return false;
      messageOwner = GetWindow(box, GW_OWNER);
      PostMessageW(box, WM_COMMAND, IDOK, 0);
      return true;
    });
    toolkit_.ShowMessage({"已选择", "提示", qr::ui::message_box::kOk});
  };
  HWND shown = nullptr;
  bool ownerDisabled = false;
  Run(form_, events_, [&](HWND form) {
    shown = form;
    ownerDisabled = !IsWindowEnabled(owner_.Handle());
    SetWindowTextW(Control(form, "folder"), L"D:\\video");
    // Typed over the whole text (a multi-line edit box does not report WM_SETTEXT).
    SendMessageW(Control(form, "note"), EM_SETSEL, 0, -1);
    SendMessageW(Control(form, "note"), EM_REPLACESEL, TRUE,
                 reinterpret_cast<LPARAM>(Wide("第一行\r\n第二行").c_str()));
    HWND threads = Control(form, "threads");
    SendMessageW(threads, CB_SETCURSEL, 3, 0);  // as the drop-down list does, then it tells the form
    SendMessageW(form, WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(threads), CBN_SELCHANGE), reinterpret_cast<LPARAM>(threads));
    SendMessageW(Control(form, "autoStart"), BM_CLICK, 0, 0);
    SendMessageW(Control(form, "afterShutdown"), BM_CLICK, 0, 0);
    SendMessageW(Control(form, "folder"), WM_LBUTTONDBLCLK, MK_LBUTTON, MAKELPARAM(4, 4));
    SendMessageW(Control(form, "folder"), WM_LBUTTONUP, 0, MAKELPARAM(4, 4));
    HWND tabs = Control(form, "pages");
    RECT second{};
    SendMessageW(tabs, TCM_GETITEMRECT, 1, reinterpret_cast<LPARAM>(&second));
    const LPARAM at = MAKELPARAM((second.left + second.right) / 2, (second.top + second.bottom) / 2);
    SendMessageW(tabs, WM_LBUTTONDOWN, MK_LBUTTON, at);
    SendMessageW(tabs, WM_LBUTTONUP, 0, at);
    SendMessageW(Control(form, "ok"), BM_CLICK, 0, 0);
  });
  ExpectSampleFormAfterThePerson(form_, events_.calls);
  EXPECT_TRUE(ownerDisabled);
  EXPECT_TRUE(IsWindowEnabled(owner_.Handle()));
  EXPECT_EQ(messageOwner, shown);
}

TEST_F(FormWindowTest, LogicChangesReachTheControlsFromAnyThread) {
  Run(form_, events_, [&](HWND form) {
    HWND folder = Control(form, "folder");
    form_.SetText("folder", "E:\\下载");
    form_.SetEnabled("folder", false);
    form_.SetBackground("folder", qr::apps::kDisabledGrey);
    EXPECT_EQ(WindowText(folder), Wide("E:\\下载"));
    EXPECT_FALSE(IsWindowEnabled(folder));
    // A disabled edit box asks for its colours as a static control would: it still gets the grey.
    RedrawWindow(folder, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW);
    RECT inside{};
    GetClientRect(folder, &inside);
    HDC dc = GetDC(folder);
    EXPECT_EQ(GetPixel(dc, inside.right - 3, inside.bottom / 2), RGB(227, 227, 227));
    ReleaseDC(folder, dc);
    form_.SetChecked("afterShutdown", true);
    EXPECT_EQ(SendMessageW(Control(form, "afterNothing"), BM_GETCHECK, 0, 0), BST_UNCHECKED);

    std::thread([&] {
      form_.SetText("note", "甲\r\n乙");
      form_.SetSelected("pages", 2);
    }).join();
    HWND note = Control(form, "note");
    EXPECT_TRUE(PumpUntil([&] { return WindowText(note) == Wide("甲\r\n乙"); }));
    EXPECT_TRUE(PumpUntil([&] { return IsWindowVisible(Control(form, "icon")) != FALSE; }));
    EXPECT_FALSE(IsWindowVisible(note));  // its page is no longer the current one
    std::thread([&] { form_.Close(true); }).join();
  });
  EXPECT_EQ(events_.calls, std::vector<std::string>{"opened"});
  EXPECT_TRUE(form_.Accepted());
}

TEST_F(FormWindowTest, EscapeAndTheCloseButtonCloseAsThePerson) {
  const std::vector<std::pair<const char*, UINT>> closings = {{"escape", WM_KEYDOWN}, {"close button", WM_SYSCOMMAND}};
  for (const auto& [how, message] : closings) {
    FormModel form = SampleOptionsForm();
    RecordingFormEvents events;
    Run(form, events,
        [message](HWND shown) { PostMessageW(shown, message, message == WM_KEYDOWN ? VK_ESCAPE : SC_CLOSE, 0); });
    EXPECT_EQ(events.calls, (std::vector<std::string>{"opened", "closed by user"})) << how;
    EXPECT_FALSE(form.Accepted()) << how;
    EXPECT_TRUE(IsWindowEnabled(owner_.Handle())) << how;
  }
}

}  // namespace
}  // namespace qr::testing
