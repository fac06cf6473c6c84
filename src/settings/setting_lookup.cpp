#include "settings/setting_lookup.h"

#include "runtime/files.h"
#include "runtime/text.h"

namespace qr::settings {

std::string ConfigPath() { return files::JoinPath(files::ProgramFolder(), "config.ini"); }

std::string LookupSetting(std::string_view configText, std::string_view searchText) {
  return text::TextBetween(text::UpToNul(configText), searchText, "\r\n");
}

std::string ReadSetting(std::string_view searchText) {
  return LookupSetting(files::ReadFileBytes(ConfigPath()), searchText);
}

bool IsSettingOn(std::string_view searchText) { return IsYes(ReadSetting(searchText)); }

std::int32_t ReadSettingTail(std::string_view searchText, std::size_t digits) {
  return text::ToInt32(text::LastBytes(ReadSetting(searchText), digits));
}

}  // namespace qr::settings
