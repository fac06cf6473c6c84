#include "ui/win32/window_look.h"

#include "ui/win32/win32_resources.h"

namespace qr::ui::win32 {

HFONT CreateMessageFont() {
  NONCLIENTMETRICSW metrics{};
  metrics.cbSize = sizeof metrics;
  if (!SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, sizeof metrics, &metrics, 0)) return nullptr;
  return CreateFontIndirectW(&metrics.lfMessageFont);
}

HICON LoadProgramIcon(int size) {
  auto* icon = static_cast<HICON>(LoadImageW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(QR_IDI_PROGRAM), IMAGE_ICON,
                                             size, size, LR_DEFAULTCOLOR | LR_SHARED));
  return icon != nullptr ? icon : LoadIconA(nullptr, IDI_APPLICATION);
}

}  // namespace qr::ui::win32
