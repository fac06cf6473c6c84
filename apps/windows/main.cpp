// The Windows desktop program: the process-wide objects, the main window's
// logic and its Win32 window, then the message loop on this thread.
#include <windows.h>
#include <objbase.h>

#include <chrono>

#include "app/main_window.h"
#include "app/process_objects.h"
#include "app/queue_controller.h"
#include "common/auto_answer_switch.h"
#include "common/demo_switches.h"
#include "ui/win32/win32_toolkit.h"
#include "ui/win32/win32_window.h"

int WINAPI WinMain(HINSTANCE /*instance*/, HINSTANCE /*previous*/, LPSTR /*commandLine*/, int /*show*/) {
  // The folder browser and the shell need COM on the window thread.
  const HRESULT com = CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED | COINIT_DISABLE_OLE1DDE);
  int exitCode = 0;
  {
    qr::app::ProcessObjects objects;
    qr::ui::win32::Win32Toolkit toolkit(qr::apps::ProgramAnswersMessagesItself());
    qr::app::MainWindow logic(objects, toolkit);
    qr::app::QueueController controller(objects, logic, toolkit, qr::process::SystemProcessLauncher());
    logic.SetTaskControlHooks(&controller);
    qr::ui::win32::Win32Window window(logic.Model(), logic, toolkit);
    exitCode = window.Run([&logic, &toolkit] { qr::apps::ApplyDemoSwitches(logic, toolkit); });
    // The queue is saved; an engine thread still inside a request or a merge
    // must not outlive the objects it uses, so the process ends around it.
    if (!controller.EndEngineForExit(std::chrono::milliseconds(3000))) ExitProcess(static_cast<UINT>(exitCode));
  }
  if (SUCCEEDED(com)) CoUninitialize();
  return exitCode;
}
