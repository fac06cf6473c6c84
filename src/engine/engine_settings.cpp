#include "engine/engine_settings.h"

#include "runtime/text.h"
#include "settings/setting_lookup.h"

namespace qr::engine {
namespace {

namespace settings = qr::settings;

std::string ValueOr(std::string_view key, std::string_view fallback) {
  std::string value = settings::ReadSetting(key);
  return value.empty() ? std::string(fallback) : value;
}

std::int32_t TailOr(std::string_view key, std::size_t digits, std::int32_t fallback) {
  const std::string value = settings::ReadSetting(key);
  return value.empty() ? fallback : qr::text::ToInt32(qr::text::LastBytes(value, digits));
}

}  // namespace

std::int32_t DownloadThreads() { return TailOr(settings::kDownloadThreads, 2, 20); }
std::int32_t SegmentAttempts() { return TailOr(settings::kSegmentAttempts, 1, 5); }
std::int32_t ParseRetries() { return TailOr(settings::kParseRetries, 1, 5); }
std::string ShutdownDelay() { return ValueOr(settings::kShutdownDelay, "60"); }
bool ShutdownWhenDone() { return settings::IsYes(ValueOr(settings::kShutdownWhenDone, settings::kNo)); }
bool MergeVideo() { return settings::IsYes(ValueOr(settings::kMergeVideo, settings::kYes)); }
bool DeleteTemporaryFiles() { return settings::IsYes(ValueOr(settings::kDeleteTemporaryFiles, settings::kYes)); }
std::string ContinuousDownloadSetting() { return ValueOr(settings::kContinuousDownload, settings::kYes); }

}  // namespace qr::engine
