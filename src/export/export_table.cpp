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
    case OutputFormat::Text: return ExportText(table, settings, progress);
    case OutputFormat::CSV: return ExportCsv(table, settings, progress);
    case OutputFormat::HTML: return ExportHtml(table, settings, progress);
    case OutputFormat::RTF: return ExportRtf(table, settings, progress);
    case OutputFormat::XML: return ExportXml(table, settings, progress);
    case OutputFormat::Excel: return ExportExcel(table, settings, progress);
    case OutputFormat::SQL: return ExportSql(table, settings, progress);
    case OutputFormat::Xlsx: return ExportXlsx(table, settings, progress);
    case OutputFormat::Sqlite: return ExportSqlite(table, settings, progress);
    }
    return {};
}

}  // namespace quillet
