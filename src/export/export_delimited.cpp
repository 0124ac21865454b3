#include <string>
#include <string_view>
#include <vector>

#include "export/delimited_row.h"
#include "export/export_frame.h"
#include "export/exporters.h"
#include "export/output_file.h"

namespace quillet {

namespace {

ExportResult ExportDelimited(const OpenTable& table, const ExportSettings& settings, const ExportProgress& progress,
                             OutputFormat format) {
    OutputFile file(OutputPath(table, settings, format), settings.Committer);
    const std::vector<int> columns = SelectedColumns(table);
    if (settings.Delimited.IncludeHeader) {
        std::string header;
        DelimitedRow(table, settings, columns).AppendHeader(header);
        file.Write(header);
    }
    WriteRecords(file, table, settings, progress, [&](const OpenTable& table) {
        return [row = DelimitedRow(table, settings, columns)](std::string& out, std::int64_t record) mutable {
            row.Append(out, record);
        };
    });
    file.Commit();
    return {};
}

}  // namespace

ExportResult ExportText(const OpenTable& table, const ExportSettings& settings, const ExportProgress& progress) {
    return ExportDelimited(table, settings, progress, OutputFormat::Text);
}

ExportResult ExportCsv(const OpenTable& table, const ExportSettings& settings, const ExportProgress& progress) {
    return ExportDelimited(table, settings, progress, OutputFormat::CSV);
}

}  // namespace quillet
