// Windows: the marker is a named event that the first copy creates and keeps
// for its whole life. A later copy finds the first one's process by the
// executable name, waits up to 100 ms for its visible window, and raises it.
#include <windows.h>
#include <tlhelp32.h>

#include <utility>

#include "app/process_search_win32.h"
#include "app/single_instance.h"
#include "concurrency/pumping_wait.h"

namespace qr::app {

namespace {

constexpr DWORD kWindowSearchLimitMs = 100;

bool SameName(const wchar_t* a, const std::wstring& b, bool caseSensitive) {
  return CompareStringOrdinal(a, -1, b.c_str(), static_cast<int>(b.size()), caseSensitive ? FALSE : TRUE) == CSTR_EQUAL;
}

class NamedEventInstance : public SingleInstance {
 public:
  explicit NamedEventInstance(std::string name) : name_(std::move(name)) {}

  // The event is never closed: the system removes it when the process ends.
  bool Claim(std::function<void()> /*onRaiseRequest*/) override {
    if (HANDLE existing = OpenEventA(EVENT_ALL_ACCESS, FALSE, name_.c_str()); existing != nullptr) {
      CloseHandle(existing);
      return false;
    }
    // An event that we may not open (a copy running elevated made it) is
    // taken all the same.
    if (GetLastError() == ERROR_ACCESS_DENIED) return false;
    HANDLE marker = CreateEventA(nullptr, FALSE, FALSE, name_.c_str());
    if (marker == nullptr) return GetLastError() != ERROR_ACCESS_DENIED;  // otherwise run on without a marker
    // Two copies started at the same moment both find no event; the one whose
    // create only opened the other's event is the second copy.
    if (GetLastError() == ERROR_ALREADY_EXISTS) {
      CloseHandle(marker);
      return false;
    }
    return true;
  }

  bool AskFirstCopyToRaise() override {
    const DWORD process = FindProcessByName(OwnExecutableName(), false);
    if (process == 0) return false;
    HWND window = FindProcessWindow(process, kWindowSearchLimitMs);
    if (window == nullptr) return false;
    BringToFront(window);
    return true;
  }

 private:
  std::string name_;
};

}  // namespace

std::wstring OwnExecutableName() {
  wchar_t path[MAX_PATH * 4];
  const DWORD length = GetModuleFileNameW(nullptr, path, static_cast<DWORD>(std::size(path)));
  std::wstring name(path, length);
  const auto slash = name.find_last_of(L"\\/");
  return slash == std::wstring::npos ? name : name.substr(slash + 1);
}

DWORD FindProcessByName(const std::wstring& exeName, bool caseSensitive, DWORD skip) {
  HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0);
  if (snapshot == INVALID_HANDLE_VALUE) return 0;
  DWORD found = 0;
  PROCESSENTRY32W entry{};
  entry.dwSize = sizeof entry;
  for (BOOL more = Process32FirstW(snapshot, &entry); more; more = Process32NextW(snapshot, &entry)) {
    if (entry.th32ProcessID != skip && SameName(entry.szExeFile, exeName, caseSensitive)) {
      found = entry.th32ProcessID;
      break;
    }
  }
  CloseHandle(snapshot);
  return found;
}

HWND FindProcessWindow(DWORD processId, DWORD limitMs) {
  const ULONGLONG start = GetTickCount64();
  HWND window = nullptr;
  while (GetTickCount64() - start < limitMs) {
    window = FindWindowExW(nullptr, window, nullptr, nullptr);
    if (window == nullptr) {
      // End of one walk: let pending messages through, then walk again from the first window.
      qr::concurrency::ProcessPendingMessages();
      continue;
    }
    if (!IsWindow(window) || !IsWindowVisible(window)) continue;
    DWORD owner = 0;
    GetWindowThreadProcessId(window, &owner);
    if (owner == processId) return window;
    qr::concurrency::ProcessPendingMessages();
  }
  return nullptr;
}

void BringToFront(HWND window) {
  if (!IsWindowVisible(window)) {
    SetWindowPos(window, HWND_NOTOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_SHOWWINDOW);
  }
  if (IsIconic(window)) OpenIcon(window);
  SetWindowPos(window, HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
}

std::unique_ptr<SingleInstance> MakeSingleInstance(const std::string& instanceName,
                                                   const std::string& /*runtimeFolder*/) {
  return std::make_unique<NamedEventInstance>(instanceName);
}

}  // namespace qr::app
