// Picks the Qt font for a FontSpec: the face asked for when this system has
// it, otherwise the first Chinese face of a short list that it has.
#pragma once

#include <QFont>
#include <QStringList>

#include "ui/toolkit/font_spec.h"

namespace qr::ui::qt {

// The faces tried, in order, when the requested one is missing.
QStringList FallbackFaces();

// The family to use for `face` (code page 936) among `installed`; empty
// when neither it nor a fallback is installed (Qt's default face then).
QString ChooseFamily(const QString& face, const QStringList& installed);

QFont ToQFont(const FontSpec& spec);

}  // namespace qr::ui::qt
