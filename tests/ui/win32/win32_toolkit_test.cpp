#include <cstdlib>
#include <string>
#include <thread>
#include <vector>

#include "win32_test_support.h"

namespace qr::testing {
namespace {

using qr::ui::win32::DialogFilter;

TEST(DialogFilterTest, PipesBecomeNulsAndTheListEndsWithTwo) {
  const std::wstring filter = DialogFilter("配置设置(*.txt)|*.txt|文本文件(*.ini)|*.ini|所有文件(*.*)|*.*");
  const std::wstring expected = Wide("配置设置(*.txt)") + L'\0' + L"*.txt" + L'\0' + Wide("文本文件(*.ini)") + L'\0' +
                                L"*.ini" + L'\0' + Wide("所有文件(*.*)") + L'\0' + L"*.*" + L'\0' + L'\0';
  EXPECT_EQ(filter, expected);
  // A trailing separator makes no empty piece; an empty filter is just the end mark.
  EXPECT_EQ(DialogFilter("Text|*.txt|"), std::wstring(L"Text\0*.txt\0\0", 12));
  EXPECT_EQ(DialogFilter(""), std::wstring(1, L'\0'));
}

TEST(DialogFilterTest, APipeByteInsideADoubleByteCharacterDoesNotSplit) {
  // 0x81 0x7C is one character of code page 936 whose second byte is '|'.
  const std::string description = std::string("\x81\x7C") + "(*.txt)";
  const std::wstring filter = DialogFilter(description + "|*.txt");
  EXPECT_EQ(filter, Wide(description) + L'\0' + L"*.txt" + L'\0' + L'\0');
  EXPECT_EQ(filter.find(L'|'), std::wstring::npos);
}

TEST(Win32ToolkitTest, PostedWorkRunsOnTheWindowThreadInPostingOrderEvenAcrossNestedLoops) {
  qr::ui::win32::Win32Toolkit toolkit;
  const DWORD windowThread = GetCurrentThreadId();
  std::vector<int> order;
  bool offThread = false;
  auto note = [&](int value) {
    return [&, value] {
      order.push_back(value);
      offThread |= GetCurrentThreadId() != windowThread;
    };
  };
  // The first item runs a loop of its own (as a dialog would); what was
  // posted after it still runs, in order, inside that loop.
  toolkit.PostToWindowThread([&] {
    order.push_back(0);
    PumpUntil([&] { return order.size() == 1001; });
  });
  std::thread poster([&] {
    for (int value = 1; value <= 1000; ++value) toolkit.PostToWindowThread(note(value));
  });
  poster.join();
  ASSERT_TRUE(PumpUntil([&] { return order.size() == 1001; }));
  for (int value = 0; value <= 1000; ++value) ASSERT_EQ(order[value], value);
  EXPECT_FALSE(offThread);
}

TEST(Win32ToolkitTest, QuitFromAnotherThreadEndsTheLoopWithTheFirstExitCode) {
  qr::ui::win32::Win32Toolkit toolkit;
  std::thread([&] {
    toolkit.QuitEventLoop(3);
    toolkit.QuitEventLoop(5);
  }).join();
  MSG message{};
  ASSERT_TRUE(RunUntilQuit(message));
  EXPECT_EQ(message.wParam, 3u);
  EXPECT_EQ(toolkit.ExitCode(), 3);
}

TEST(Win32ToolkitTest, ClipboardCarriesChineseText) {
  qr::ui::win32::Win32Toolkit toolkit;
  toolkit.SetClipboardText("http://127.0.0.1/视频/index.m3u8");
  EXPECT_EQ(toolkit.ClipboardText(), "http://127.0.0.1/视频/index.m3u8");
}

}  // namespace
}  // namespace qr::testing
