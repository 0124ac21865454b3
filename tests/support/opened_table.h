#pragma once

// A built table as the Open command leaves it (read, columns listed, base name set), and
// export settings aimed at a test folder.

#include <filesystem>
#include <string>

#include "support/table_builder.h"
#include "table/export_settings.h"
#include "table/read_table.h"

namespace quillet::testing {

inline OpenTable OpenBuilt(const TableBuilder& builder, const TempDir& dir, const std::string& fileName = "t.dbf") {
    const std::filesystem::path path = dir / fileName;
    builder.WriteTo(path);
    OpenTable table = ReadTableFile(path.string());
    table.ListColumns();
    table.SetSource(path.string());
    return table;
}

inline ExportSettings SettingsInto(const std::filesystem::path& folder) {
    ExportSettings settings;
    settings.SaveFolder = folder.string();
    return settings;
}

}  // namespace quillet::testing
