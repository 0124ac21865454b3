#pragma once

// Tables as the Open command leaves them (read, columns listed, base name set), and export
// settings aimed at a test folder.

#include <filesystem>
#include <string>

#include "support/table_builder.h"
#include "table/export_settings.h"
#include "table/read_table.h"

namespace quillet::testing {

inline OpenTable OpenTableAt(const std::filesystem::path& path) {
    OpenTable table = ReadTableFile(path.string());
    table.ListColumns();
    table.SetSource(path.string());
    return table;
}

inline OpenTable OpenBuilt(const TableBuilder& builder, const TempDir& dir, const std::string& fileName = "t.dbf") {
    builder.WriteTo(dir / fileName);
    return OpenTableAt(dir / fileName);
}

inline ExportSettings SettingsInto(const std::filesystem::path& folder) {
    ExportSettings settings;
    settings.SaveFolder = folder.string();
    return settings;
}

}  // namespace quillet::testing
