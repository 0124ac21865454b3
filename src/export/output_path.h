#pragma once

#include <string>

#include "table/export_settings.h"
#include "table/open_table.h"

namespace quillet {

// SaveFolder, "/", TableBaseName and the extension of the chosen format.
std::string OutputPath(const OpenTable& table, const ExportSettings& settings, const char* extension);

}  // namespace quillet
