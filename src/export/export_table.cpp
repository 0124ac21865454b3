#include "export/exporters.h"

namespace quillet {

void ExportTable(const OpenTable& table, const ExportSettings& settings, const ExportProgress& progress) {
    switch (settings.OutputFormat) {
    case OutputFormat::Text: return ExportText(table, settings, progress);
    case OutputFormat::CSV: return ExportCsv(table, settings, progress);
    case OutputFormat::HTML: return ExportHtml(table, settings, progress);
    case OutputFormat::RTF: return ExportRtf(table, settings, progress);
    case OutputFormat::XML: return ExportXml(table, settings, progress);
    case OutputFormat::Excel: return ExportExcel(table, settings, progress);
    case OutputFormat::SQL: return ExportSql(table, settings, progress);
    }
}

}  // namespace quillet
