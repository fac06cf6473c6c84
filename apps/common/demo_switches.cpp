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

void ApplyDemoSwitches(qr::app::MainWindow& window) {
  if (const std::string logFile = Environment("QUILLREEL_DEMO_LOG"); !logFile.empty()) {
    const std::string text = qr::text::RemoveAll(qr::files::ReadFileBytes(logFile), "\r");
    for (const std::string& line : qr::text::Split(text, "\n")) {
      if (!line.empty()) window.Log().Append(line);
    }
  }
  if (Environment("QUILLREEL_DEMO_PAGE") == "1") window.OnMenuCommand(qr::app::kMenuViewSwitch);
}

}  // namespace qr::apps
