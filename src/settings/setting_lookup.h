// Reading one setting straight out of the current text of config.ini.
//
// Nothing is cached: every reader looks its value up when it needs it, so a
// change written by the options window takes effect at the next read. A value
// is found by its search text (the tail of the key and "=") up to the next
// CR LF; a missing file, a missing line or a last line without CR LF reads empty.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace qr::settings {

// Search texts of the settings the program reads.
inline constexpr std::string_view kDownloadFolder = "编辑框_目录=";
inline constexpr std::string_view kShutdownDelay = "编辑框_关机时间=";
inline constexpr std::string_view kDownloadThreads = "组合框_下载线程=";
inline constexpr std::string_view kSegmentAttempts = "组合框_下载错误=";
inline constexpr std::string_view kParseRetries = "组合框_解析重试=";
inline constexpr std::string_view kTrayIconAtStart = "启动托盘图标=";
inline constexpr std::string_view kShutdownWhenDone = "完成后自动关机=";
inline constexpr std::string_view kContinuousDownload = "自动连续下载=";
inline constexpr std::string_view kMergeVideo = "自动合并视频=";
inline constexpr std::string_view kDeleteTemporaryFiles = "删除临时文件=";
inline constexpr std::string_view kCloseExits = "单选框_退出=";
inline constexpr std::string_view kCloseHides = "单选框_最小化=";

inline constexpr std::string_view kYes = "真";
inline constexpr std::string_view kNo = "假";

// The program folder joined with "config.ini".
std::string ConfigPath();

// Lookup in a given settings text (what every reader does after reading the file).
std::string LookupSetting(std::string_view configText, std::string_view searchText);

// The value as found in the current config.ini.
std::string ReadSetting(std::string_view searchText);
// On only when the value is exactly "真".
bool IsSettingOn(std::string_view searchText);
// The last `digits` bytes of the value as an integer (0 when empty or not a number).
std::int32_t ReadSettingTail(std::string_view searchText, std::size_t digits);

inline bool IsYes(std::string_view value) { return value == kYes; }

}  // namespace qr::settings
