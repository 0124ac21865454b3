#pragma once

namespace quillet {

// The program's version, from the project's version in CMakeLists.txt.
inline constexpr int kVersionMajor = QUILLET_VERSION_MAJOR;
inline constexpr int kVersionMinor = QUILLET_VERSION_MINOR;
inline constexpr int kVersionRevision = QUILLET_VERSION_PATCH;

}  // namespace quillet
