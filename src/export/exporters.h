#pragma once

#include <cstdint>
#include <functional>

#include "export/export_error.h"
#include "export/export_settings.h"
#include "table/open_table.h"

namespace quillet {

// Called now and then during an export: records visited of records in the table.
using ExportProgress = std::function<void(std::int64_t done, std::int64_t total)>;

// What an export tells its caller besides the file it wrote.
struct ExportResult {
    // Characters the file's code page has no place for, written "?" (Excel worksheets only).
    std::int64_t UnwrittenCharacters = 0;
};

// Each writes one file, SaveFolder/TableBaseName plus the format's extension, in one pass.
// Nothing is left behind on failure: the file is written under a temporary name and renamed
// over the target only when complete. Failures throw ExportError naming the path and the reason.
void ExportText(const OpenTable& table, const ExportSettings& settings, const ExportProgress& progress = {});
void ExportCsv(const OpenTable& table, const ExportSettings& settings, const ExportProgress& progress = {});
void ExportHtml(const OpenTable& table, const ExportSettings& settings, const ExportProgress& progress = {});
void ExportRtf(const OpenTable& table, const ExportSettings& settings, const ExportProgress& progress = {});
void ExportXml(const OpenTable& table, const ExportSettings& settings, const ExportProgress& progress = {});
ExportResult ExportExcel(const OpenTable& table, const ExportSettings& settings, const ExportProgress& progress = {});
void ExportSql(const OpenTable& table, const ExportSettings& settings, const ExportProgress& progress = {});

// The exporter of settings.OutputFormat: the one call the desktop program and the CLI make.
ExportResult ExportTable(const OpenTable& table, const ExportSettings& settings, const ExportProgress& progress = {});

// The file an export of this format writes.
std::string OutputPath(const OpenTable& table, const ExportSettings& settings, OutputFormat format);

}  // namespace quillet
