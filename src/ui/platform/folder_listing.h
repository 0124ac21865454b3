#pragma once

#include "ui/platform/platform.h"

namespace quillet {

// Reads the subfolders of folder from the file system: hidden folders (a name starting with
// ".") are left out, the rest sorted by name without regard to case. A folder that cannot be
// read gives the system's description of the reason.
FolderListing ReadSubfolders(const QString& folder);

}  // namespace quillet
