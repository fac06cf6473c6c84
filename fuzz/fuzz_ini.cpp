// The INI store and the setting lookup on arbitrary files, names and values.
#include <fuzzer/FuzzedDataProvider.h>

#include "fuzz_check.h"
#include "runtime/text.h"
#include "settings/ini_store.h"
#include "settings/setting_lookup.h"

namespace settings = qr::settings;
namespace text = qr::text;

namespace {

// Blanks around names and values, as the store drops them.
std::string TrimBlanks(std::string_view text) {
  const auto begin = text.find_first_not_of(" \t\r\v\f");
  if (begin == std::string_view::npos) return {};
  return std::string(text.substr(begin, text.find_last_not_of(" \t\r\v\f") - begin + 1));
}

// What a reader gets back for a value that was written (see ini_store.h).
std::string ReadBack(std::string_view value) {
  std::string read = TrimBlanks(text::UpToNul(value));
  if (read.size() >= 2 && (read.front() == '"' || read.front() == '\'') && read.back() == read.front()) {
    read = read.substr(1, read.size() - 2);
  }
  return text::FirstBytes(read, settings::kIniValueLimit);
}

bool SameName(std::string_view a, std::string_view b) {
  return text::EqualsIgnoringCase(TrimBlanks(text::UpToNul(a)), TrimBlanks(text::UpToNul(b)));
}

void CheckLookup(const std::string& config, const std::string& searchText) {
  const std::string value = settings::LookupSetting(config, searchText);
  FUZZ_CHECK(!text::Contains(value, "\r\n"));
  if (value.empty() || text::EndsInsideCharacter(searchText) || text::Contains(searchText, text::kQuoteToken)) return;
  FUZZ_CHECK(text::Contains(config, searchText + value + "\r\n"));
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  FuzzedDataProvider input(data, size);
  const std::string section = input.ConsumeRandomLengthString(16);
  const std::string key = input.ConsumeRandomLengthString(16);
  const std::string value = input.ConsumeRandomLengthString(32);
  const std::string otherSection = input.ConsumeRandomLengthString(16);
  const std::string otherKey = input.ConsumeRandomLengthString(16);
  const std::string bytes = input.ConsumeRemainingBytesAsString();

  settings::IniDocument document = settings::IniDocument::Parse(bytes);
  FUZZ_CHECK(document.Serialize() == bytes);
  const auto otherBefore = document.Value(otherSection, otherKey);
  if (otherBefore) FUZZ_CHECK(otherBefore->size() <= settings::kIniValueLimit);

  if (document.SetValue(section, key, value)) {
    // The value reads back as written, also from the saved bytes, and no other key changed.
    const std::string saved = document.Serialize();
    FUZZ_CHECK(document.Value(section, key) == ReadBack(value));
    FUZZ_CHECK(settings::IniDocument::Parse(saved).Value(section, key) == ReadBack(value));
    FUZZ_CHECK(settings::IniDocument::Parse(saved).Serialize() == saved);
    if (!SameName(section, otherSection) || !SameName(key, otherKey)) {
      FUZZ_CHECK(document.Value(otherSection, otherKey) == otherBefore);
    }
    // Writing the same again changes nothing.
    settings::IniDocument again = settings::IniDocument::Parse(saved);
    FUZZ_CHECK(again.SetValue(section, key, value) && again.Serialize() == saved);
  }

  CheckLookup(bytes, key);
  CheckLookup(bytes, std::string(settings::kDownloadFolder));
  return 0;
}
