#pragma once

// Every exporter with a reader that takes its file back apart into column names and record
// rows, so that the rules all formats share are tested once for all of them. Where a format
// follows a rule its own way by design, its entry says how.

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

#include "export/exporters.h"
#include "support/sheet.h"
#include "support/sql_sheet.h"
#include "support/text_sheets.h"
#include "support/typed_sheets.h"
#include "support/xls_sheet.h"
#include "support/xml_sheet.h"

namespace quillet::testing {

inline std::string SameName(std::string_view name) { return std::string(name); }

// An XML element name for an ASCII field name: characters a name cannot hold become "_",
// and "_" goes in front of a name that cannot start with its first character.
inline std::string XmlElementName(std::string_view name) {
    std::string element;
    for (char c : name) {
        const bool nameChar = (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '_' ||
                              c == '-' || c == '.';
        element += nameChar ? c : '_';
    }
    if (element.empty() || (element[0] >= '0' && element[0] <= '9') || element[0] == '-' || element[0] == '.') {
        element.insert(0, 1, '_');
    }
    return element;
}

struct ExportedFormat {
    const char* Name;
    OutputFormat Format;
    ExportResult (*Export)(const OpenTable&, const ExportSettings&, const ExportProgress&);
    // Reads what Export wrote with the default settings (header on, CSV quoting on); a file
    // its consumer rejects fails the test.
    Sheet (*Read)(const std::filesystem::path& file);
    // Records and columns keep their table positions: a record the filter passes over leaves
    // its row empty, an unselected column its column, and Read reports the positions.
    bool KeepsTablePositions = false;
    // Records are written by the calling thread alone, never in blocks on two threads.
    bool OneThread = false;
    // With no column selected the exporter writes nothing and throws this message.
    const char* RefusalWithoutColumns = nullptr;
    // The name the file gives a field of this ASCII name.
    std::string (*NameInFile)(std::string_view fieldName) = SameName;

    std::vector<std::string> NamesInFile(std::vector<std::string> fieldNames) const {
        for (std::string& name : fieldNames) name = NameInFile(name);
        return fieldNames;
    }
};

inline const std::vector<ExportedFormat>& ExportedFormats() {
    static const std::vector<ExportedFormat> formats = {
        {.Name = "Text", .Format = OutputFormat::Text, .Export = ExportText, .Read = ReadDelimited},
        {.Name = "CSV", .Format = OutputFormat::CSV, .Export = ExportCsv, .Read = ReadDelimited},
        {.Name = "HTML", .Format = OutputFormat::HTML, .Export = ExportHtml, .Read = ReadHtml},
        {.Name = "RTF", .Format = OutputFormat::RTF, .Export = ExportRtf, .Read = ReadRtf},
        {.Name = "XML", .Format = OutputFormat::XML, .Export = ExportXml, .Read = ReadXml, .NameInFile = XmlElementName},
        {.Name = "Excel", .Format = OutputFormat::Excel, .Export = ExportExcel, .Read = ReadXls, .KeepsTablePositions = true,
         .OneThread = true},
        {.Name = "SQL", .Format = OutputFormat::SQL, .Export = ExportSql, .Read = ReadSql,
         .RefusalWithoutColumns = "Select at least one column to export."},
        {.Name = "Xlsx", .Format = OutputFormat::Xlsx, .Export = ExportXlsx, .Read = ReadXlsx, .OneThread = true,
         .RefusalWithoutColumns = "Select at least one column to export."},
        {.Name = "Sqlite", .Format = OutputFormat::Sqlite, .Export = ExportSqlite, .Read = ReadSqlite, .OneThread = true,
         .RefusalWithoutColumns = "Select at least one column to export."},
    };
    return formats;
}

// Runs the export and returns its error message, or fails the test when it succeeded.
inline std::string FailureOf(const ExportedFormat& format, const OpenTable& table, const ExportSettings& settings) {
    try {
        format.Export(table, settings, {});
    } catch (const ExportError& e) {
        return e.what();
    }
    ADD_FAILURE() << format.Name << " export to " << settings.SaveFolder << " succeeded";
    return {};
}

}  // namespace quillet::testing
