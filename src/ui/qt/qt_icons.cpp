#include "ui/qt/qt_icons.h"

#include <QApplication>
#include <QPainter>
#include <QPainterPath>
#include <QPixmap>
#include <QStyle>
#include <array>

namespace qr::ui::qt {

namespace {

// A white downward arrow on a blue disc: the icon when the image cannot be read.
QIcon DrawnProgramIcon() {
  QIcon icon;
  for (const int size : {16, 24, 32, 48, 64}) {
    QPixmap pixmap(size, size);
    pixmap.fill(Qt::transparent);
    QPainter painter(&pixmap);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(Qt::NoPen);
    painter.setBrush(QColor(0x1e, 0x6f, 0xd9));
    painter.drawEllipse(QRectF(0.5, 0.5, size - 1.0, size - 1.0));
    const double s = size;
    QPainterPath arrow;
    arrow.moveTo(0.40 * s, 0.18 * s);
    arrow.lineTo(0.60 * s, 0.18 * s);
    arrow.lineTo(0.60 * s, 0.50 * s);
    arrow.lineTo(0.76 * s, 0.50 * s);
    arrow.lineTo(0.50 * s, 0.80 * s);
    arrow.lineTo(0.24 * s, 0.50 * s);
    arrow.lineTo(0.40 * s, 0.50 * s);
    arrow.closeSubpath();
    painter.setBrush(Qt::white);
    painter.drawPath(arrow);
    painter.end();
    icon.addPixmap(pixmap);
  }
  return icon;
}

}  // namespace

// The Windows program's own icon image, embedded as a resource.
QIcon ProgramIcon() {
  QIcon icon(QStringLiteral(":/quillreel/quillreel.ico"));
  if (icon.availableSizes().isEmpty()) return DrawnProgramIcon();
  return icon;
}

QIcon ToolbarIcon(int index) {
  static constexpr std::array<QStyle::StandardPixmap, 7> kImages = {QStyle::SP_FileDialogNewFolder,
                                                                    QStyle::SP_MediaPlay,
                                                                    QStyle::SP_MediaPause,
                                                                    QStyle::SP_MediaStop,
                                                                    QStyle::SP_TrashIcon,
                                                                    QStyle::SP_DialogResetButton,
                                                                    QStyle::SP_FileDialogDetailedView};
  if (index < 0 || index >= static_cast<int>(kImages.size())) return {};
  return QApplication::style()->standardIcon(kImages[static_cast<std::size_t>(index)]);
}

}  // namespace qr::ui::qt
