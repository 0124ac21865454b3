#include "export/exporters.h"

#include <filesystem>
#include <system_error>

namespace quillet {

namespace {

// A table file named like an output (sales.csv holding a table) would be replaced by its own
// conversion and lost.
void RefuseToReplaceSource(const OpenTable& table, const ExportSettings& settings) {
    if (table.SourcePath.empty()) return;
    const std::string target = OutputPath(table, settings, settings.OutputFormat);
    std::error_code unknown;
    if (std::filesystem::equivalent(target, table.SourcePath, unknown)) {
        throw ExportError("Cannot write \"" + target + "\": it is the table being converted.");
    }
}

}  // namespace

ExportResult ExportTable(const OpenTable& table, const ExportSettings& settings, const ExportProgress& progress) {
    RefuseToReplaceSource(table, settings);
    switch (settings.OutputFormat) {
    case OutputFormat::Text: ExportText(table, settings, progress); break;
    case OutputFormat::CSV: ExportCsv(table, settings, progress); break;
    case OutputFormat::HTML: ExportHtml(table, settings, progress); break;
    case OutputFormat::RTF: ExportRtf(table, settings, progress); break;
    case OutputFormat::XML: ExportXml(table, settings, progress); break;
    case OutputFormat::Excel: return ExportExcel(table, settings, progress);
    case OutputFormat::SQL: return ExportSql(table, settings, progress);
    case OutputFormat::Xlsx: return ExportXlsx(table, settings, progress);
    case OutputFormat::Sqlite: return ExportSqlite(table, settings, progress);
    }
    return {};
}

}  // namespace quillet
