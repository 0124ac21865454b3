#pragma once

#include <QString>

namespace quillet {

// The program's name, in its window titles and on its message boxes.
inline QString ProgramName() { return QStringLiteral("Quillet"); }

// The program's version, "1.0.1", from the project's version in CMakeLists.txt.
inline QString VersionText() { return QStringLiteral(QUILLET_VERSION); }

}  // namespace quillet
