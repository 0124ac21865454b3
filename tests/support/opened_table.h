#pragma once

// Tables as the Open command leaves them (read, columns listed, base name set), whole or a window
// at a time, and what an export writes.

#include <filesystem>
#include <memory>
#include <sstream>
#include <string>

#include "export/exporters.h"
#include "support/files.h"
#include "support/table_builder.h"
#include "table/cell_text.h"
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

inline std::string Printable(std::string_view text) {
    std::string out;
    for (unsigned char c : text) {
        char hex[8];
        std::snprintf(hex, sizeof hex, "\\x%02X", c);
        out += c < 0x20 || c >= 0x7F || c == '\\' ? hex : std::string(1, static_cast<char>(c));
    }
    return out;
}

// A table as text: its facts, its fields, and each record's mark and cells (the first shown ones
// and the last, their first 60 bytes).
inline std::string Dump(const OpenTable& t, std::int64_t shown = INT64_MAX) {
    std::ostringstream out;
    out << "version " << t.VersionText << "; updated " << t.LastUpdate.Year << "-" << int(t.LastUpdate.Month) << "-"
        << int(t.LastUpdate.Day) << "; code page " << t.TableCodePage->Number() << "; " << t.RecordCount() << " of "
        << t.RecordsPromised << " records\nfields:";
    for (int f = 0; f < t.FieldCount; ++f) {
        const FieldDescriptor& d = t.FieldDescriptors[static_cast<std::size_t>(f)];
        out << " " << Printable(t.FieldNames[static_cast<std::size_t>(f)]) << " " << Printable(std::string(1, d.Type)) << int(d.Length)
            << "." << int(d.Decimals) << (f < t.ColumnCount ? "" : "(unlisted)");
    }
    for (std::int64_t r = 0; r < t.RecordCount(); r = r + 1 < shown ? r + 1 : std::max(r + 1, t.RecordCount() - 1)) {
        out << "\n" << r + 1 << (t.IsDeleted(r) ? "*" : " ");
        for (int f = 0; f < t.FieldCount; ++f) out << (f ? "|" : "") << Printable(CellText(t.Cell(r, f), '.').substr(0, shown < INT64_MAX ? 60 : std::string::npos));
    }
    return out.str() + "\n";
}
}  // namespace quillet::testing
