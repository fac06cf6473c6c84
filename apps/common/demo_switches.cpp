#include "common/demo_switches.h"

#include <cstdlib>
#include <string>

#include "app/menu_ids.h"
#include "runtime/files.h"
#include "runtime/text.h"

namespace qr::apps {

namespace {

std::string Environment(const char* name) {
  const char* value = std::getenv(name);
  return value != nullptr ? value : "";
}

}  // namespace

void ApplyDemoSwitches(qr::app::MainWindow& window, qr::ui::ToolkitServices& services) {
  if (const std::string logFile = Environment("QUILLREEL_DEMO_LOG"); !logFile.empty()) {
    const std::string text = qr::text::RemoveAll(qr::files::ReadFileBytes(logFile), "\r");
    for (const std::string& line : qr::text::Split(text, "\n")) {
      if (!line.empty()) window.Log().Append(line);
    }
  }
  if (Environment("QUILLREEL_DEMO_PAGE") == "1") window.OnMenuCommand(qr::app::kMenuViewSwitch);
  if (const std::string button = Environment("QUILLREEL_DEMO_BUTTON"); !button.empty()) {
    // Posted: a window it opens runs its own loop, which must not start before the main one.
    const int index = qr::text::ToInt32(button);
    services.PostToWindowThread([&window, index] { window.OnToolbarClick(index); });
  }
}

}  // namespace qr::apps
