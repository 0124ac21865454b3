#pragma once

// Tables as the Open command leaves them (read, columns listed, base name set), export
// settings aimed at a test folder, and what an exporter writes there.

#include <filesystem>
#include <string>

#include "export/exporters.h"
#include "support/files.h"
#include "support/table_builder.h"
#include "export/export_settings.h"
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

// Runs exporter with settings aimed at dir and returns the bytes of the file it wrote there,
// found by the name it must have: the table's base name and extension.
inline std::string ExportedBytes(ExportResult (*exporter)(const OpenTable&, const ExportSettings&, const ExportProgress&),
                                 const std::string& extension, const OpenTable& table, ExportSettings settings,
                                 const TempDir& dir) {
    settings.SaveFolder = dir.Path().string();
    exporter(table, settings, {});
    return ReadFileBytes(dir / (table.TableBaseName + extension));
}

}  // namespace quillet::testing
