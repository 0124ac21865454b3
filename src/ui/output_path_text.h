#pragma once

#include <string>

namespace quillet {

// What the Save box shows: the folder, a separator, the table's base name and the extension,
// with every doubled separator made single, so that a folder at the root ("/") gives "/name.csv"
// and the box names exactly the file the export writes.
std::string OutputPathText(const std::string& saveFolder, const std::string& tableBaseName, const std::string& extension);

}  // namespace quillet
