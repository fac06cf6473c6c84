#include "ui/qt/qt_font.h"

#include <QFontDatabase>

#include "ui/qt/qt_text.h"

namespace qr::ui::qt {

QStringList FallbackFaces() {
  return {QStringLiteral("WenQuanYi Micro Hei"), QStringLiteral("Noto Sans CJK SC"),
          QStringLiteral("Source Han Sans SC")};
}

QString ChooseFamily(const QString& face, const QStringList& installed) {
  if (!face.isEmpty() && installed.contains(face, Qt::CaseInsensitive)) return face;
  for (const QString& fallback : FallbackFaces()) {
    if (installed.contains(fallback, Qt::CaseInsensitive)) return fallback;
  }
  return {};
}

QFont ToQFont(const FontSpec& spec) {
  QFont font;
  const QString family = ChooseFamily(ToQString(spec.face), QFontDatabase::families());
  if (!family.isEmpty()) font.setFamily(family);
  if (spec.points > 0) font.setPointSize(spec.points);
  font.setBold(spec.bold);
  return font;
}

}  // namespace qr::ui::qt
