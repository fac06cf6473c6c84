// The task name and folder rules and the local-name rule on arbitrary names.
#include <fuzzer/FuzzedDataProvider.h>

#include "engine/local_names.h"
#include "engine/name_rules.h"
#include "fuzz_check.h"
#include "runtime/text.h"

namespace engine = qr::engine;
namespace text = qr::text;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string name(reinterpret_cast<const char*>(data), size);
  if (engine::IsUsableTaskName(name)) {
    // A usable name is one whole file name, kept as it is by both systems.
    FUZZ_CHECK(!name.empty() && name != "." && name != "..");
    FUZZ_CHECK(!engine::IsDroppedAtNameEnd(name.back()) && !engine::IsReservedDeviceName(name));
    for (std::size_t pos = 0; pos < name.size(); pos += text::CharLength(name, pos)) {
      if (text::CharLength(name, pos) == 1) {
        FUZZ_CHECK(static_cast<unsigned char>(name[pos]) < 0x80 && !engine::IsForbiddenInFileName(name[pos]));
      }
    }
    // Stored as a download entry's name, a usable name stays as it is (a "#"
    // in an address starts its fragment).
    if (!text::Contains(name, "#")) FUZZ_CHECK(engine::LocalFileNames({"http://h/" + name}) == std::vector<std::string>{name});
  }
  if (engine::IsUsableTaskFolder(name)) {
    FUZZ_CHECK(!name.empty());
    for (const char c : name) FUZZ_CHECK(static_cast<unsigned char>(c) >= 0x20 && c != '*' && c != '?' && c != '"');
  }
  // Every name the local-name rule makes is a usable task name too, or a device name made safe.
  for (const auto& local : engine::LocalFileNames({name, name, "x/" + name})) {
    FUZZ_CHECK(!local.empty() && local != "." && local != "..");
    FUZZ_CHECK(!engine::IsReservedDeviceName(local) && !engine::IsDroppedAtNameEnd(local.back()));
  }
  return 0;
}
