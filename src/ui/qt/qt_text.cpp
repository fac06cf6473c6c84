#include "ui/qt/qt_text.h"

#include <vector>

#include "runtime/codepage.h"
#include "runtime/text.h"

namespace qr::ui::qt {

QString ToQString(std::string_view gbk) {
  const std::u16string utf16 = qr::codepage::GbkToUtf16(gbk);
  return QString::fromUtf16(utf16.data(), static_cast<qsizetype>(utf16.size()));
}

std::string FromQString(const QString& text) {
  return qr::codepage::Utf16ToGbk(
      std::u16string_view(reinterpret_cast<const char16_t*>(text.utf16()), static_cast<std::size_t>(text.size())));
}

namespace {

std::string QtPatterns(std::string_view windowsPatterns) {
  std::vector<std::string> patterns;
  for (const std::string& piece : qr::text::Split(windowsPatterns, ";")) {
    std::string pattern = qr::text::Trim(piece);
    if (pattern.empty()) continue;
    if (pattern == "*.*") pattern = "*";
    patterns.push_back(std::move(pattern));
  }
  if (patterns.empty()) patterns.emplace_back("*");
  return qr::text::Join(patterns, " ");
}

std::string Description(std::string_view description, std::string_view windowsPatterns) {
  std::string own = "(" + std::string(windowsPatterns) + ")";
  if (!windowsPatterns.empty() && qr::text::EndsWith(description, own)) {
    description.remove_suffix(own.size());
  }
  return qr::text::Trim(description);
}

}  // namespace

QString ToQtFileFilter(std::string_view filter) {
  const std::vector<std::string> pieces = qr::text::Split(filter, "|");
  std::vector<std::string> entries;
  for (std::size_t i = 0; i < pieces.size(); i += 2) {
    const std::string windowsPatterns = i + 1 < pieces.size() ? qr::text::Trim(pieces[i + 1]) : std::string();
    const std::string description = Description(pieces[i], windowsPatterns);
    const std::string patterns = QtPatterns(windowsPatterns);
    entries.push_back(description.empty() ? "(" + patterns + ")" : description + " (" + patterns + ")");
  }
  return ToQString(qr::text::Join(entries, ";;"));
}

}  // namespace qr::ui::qt
