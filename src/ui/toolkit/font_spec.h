// A font request as the app logic states it; each backend picks the nearest
// font it has (the face name is code page 936 text).
#pragma once

#include <string>

namespace qr::ui {

struct FontSpec {
  std::string face;      // empty: the toolkit's default face
  int points = 9;        // size in points
  int pixelHeight = 12;  // character height in pixels at 96 dpi, for toolkits that size by pixels
  bool bold = false;
};

}  // namespace qr::ui
