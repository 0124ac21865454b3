#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "export/export_error.h"
#include "export/export_settings.h"
#include "table/open_table.h"

namespace quillet {

// Called now and then during an export: records visited of records in the table.
using ExportProgress = std::function<void(std::int64_t done, std::int64_t total)>;

// What a finished export has to tell its user beside the file: each note a sentence naming the
// file, such as how many cells a format's limit cut. The CLI prints them, the desktop program
// shows them.
struct ExportResult {
    std::vector<std::string> Notes;
};

// Each writes one file, SaveFolder/TableBaseName plus the format's extension, in one pass.
// Nothing is left behind on failure: the file is written under a temporary name and renamed
// over the target only when complete. Failures throw ExportError naming the path and the reason.
ExportResult ExportText(const OpenTable& table, const ExportSettings& settings, const ExportProgress& progress = {});
ExportResult ExportCsv(const OpenTable& table, const ExportSettings& settings, const ExportProgress& progress = {});
ExportResult ExportHtml(const OpenTable& table, const ExportSettings& settings, const ExportProgress& progress = {});
ExportResult ExportRtf(const OpenTable& table, const ExportSettings& settings, const ExportProgress& progress = {});
ExportResult ExportXml(const OpenTable& table, const ExportSettings& settings, const ExportProgress& progress = {});
ExportResult ExportExcel(const OpenTable& table, const ExportSettings& settings, const ExportProgress& progress = {});
ExportResult ExportSql(const OpenTable& table, const ExportSettings& settings, const ExportProgress& progress = {});
// An Excel workbook and an SQLite database, with cells typed by their fields' types.
ExportResult ExportXlsx(const OpenTable& table, const ExportSettings& settings, const ExportProgress& progress = {});
ExportResult ExportSqlite(const OpenTable& table, const ExportSettings& settings, const ExportProgress& progress = {});

// The exporter of settings.OutputFormat: the one call the desktop program and the CLI make.
ExportResult ExportTable(const OpenTable& table, const ExportSettings& settings, const ExportProgress& progress = {});

// The file an export of this format writes.
std::string OutputPath(const OpenTable& table, const ExportSettings& settings, OutputFormat format);

}  // namespace quillet
