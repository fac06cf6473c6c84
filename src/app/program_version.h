// The program's name and version; the version comes from the build (the
// project version in CMakeLists.txt).
#pragma once

#ifndef QUILLREEL_VERSION
#error "QUILLREEL_VERSION is set by the build"
#endif

namespace qr::app {

inline constexpr char kProgramName[] = "Quillreel";
inline constexpr char kProgramVersion[] = QUILLREEL_VERSION;
inline constexpr char kProgramVersionText[] = "版本 " QUILLREEL_VERSION;

}  // namespace qr::app
