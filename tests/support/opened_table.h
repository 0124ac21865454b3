#pragma once

// Tables as the Open command leaves them (read, columns listed, base name set), whole or a window
// at a time, and what an export writes.

#include <filesystem>
#include <memory>
#include <string>

#include "export/exporters.h"
#include "support/files.h"
#include "support/table_builder.h"
#include "table/read_table.h"
#include "table/table_stream.h"

namespace quillet::testing {

inline OpenTable OpenTableAt(const std::filesystem::path& path) {
    OpenTable table = ReadTableFile(path.string());
    table.ListColumns();
    table.SetSource(path.string());
    return table;
}

// The same table read a window of records records at a time.
inline std::unique_ptr<TableStream> StreamAt(const std::filesystem::path& path, std::uint64_t records) {
    FileSource head(path.string());
    auto stream = std::make_unique<TableStream>(path.string(), records * ReadTableHead(head, path.string()).Header.RecordLength);
    stream->Table().ListColumns();
    stream->Table().SetSource(path.string());
    return stream;
}

inline OpenTable OpenBuilt(const TableBuilder& builder, const TempDir& dir, const std::string& fileName = "t.dbf") {
    builder.WriteTo(dir / fileName);
    return OpenTableAt(dir / fileName);
}

// Runs the export settings choose and returns the bytes of the file it wrote.
inline std::string Exported(const OpenTable& table, const ExportSettings& settings) {
    ExportTable(table, settings);
    return ReadFileBytes(OutputPath(table, settings, settings.OutputFormat));
}

}  // namespace quillet::testing
