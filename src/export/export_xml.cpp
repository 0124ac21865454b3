#include <string>
#include <string_view>
#include <vector>

#include "export/export_frame.h"
#include "export/exporters.h"
#include "export/output_file.h"
#include "export/xml_text.h"
#include "table/cell_text.h"

namespace quillet {

namespace {

constexpr std::string_view kDeclaration = R"(<?xml version="1.0" encoding="UTF-8" standalone="no"?>)";

// The cell as UTF-8, without the characters XML cannot carry, trimmed of blanks.
std::string_view CellContent(const OpenTable& table, std::int64_t record, int field, char decimalSeparator,
                             std::string& scratch) {
    scratch.clear();
    const CellValue cell = table.Cell(record, field);
    if (cell.Kind == CellKind::Text) {
        table.TableCodePage->AppendUtf8(scratch, cell.Text);
        DropXmlForbidden(scratch);
    } else {
        AppendCellText(scratch, cell, decimalSeparator);
    }
    return TrimSpaces(scratch);
}

}  // namespace

void ExportXml(const OpenTable& table, const ExportSettings& settings, const ExportProgress& progress) {
    const std::vector<int> columns = SelectedColumns(table);
    std::vector<std::string> elementNames;
    elementNames.reserve(columns.size());
    for (int f : columns) {
        std::string name;
        AppendXmlName(name, table.TableCodePage->ToUtf8(table.FieldNames[static_cast<std::size_t>(f)]));
        elementNames.push_back(std::move(name));
    }

    OutputFile file(OutputPath(table, settings, OutputFormat::XML));
    file.WriteLine(kDeclaration);

    // The path is the system's bytes; read as UTF-8, with stray bytes taken as Windows-1252.
    std::string path = CodePage::ForNumber(65001)->ToUtf8(table.SourcePath);
    DropXmlForbidden(path);
    std::string line = "<Root Database=\"";
    AppendXmlAttribute(line, path);
    line += "\">";
    file.WriteLine(line);

    file.WriteLine("<Structure>");
    for (std::size_t i = 0; i < columns.size(); ++i) {
        const FieldDescriptor& d = table.FieldDescriptors[static_cast<std::size_t>(columns[i])];
        line = "<Field><Field_Name>";
        line += elementNames[i];
        line += "</Field_Name><Field_Type>";
        line += XmlTypeWord(d.Type);
        line += "</Field_Type><Field_Length>";
        line += std::to_string(d.Length);
        line += "</Field_Length></Field>";
        file.WriteLine(line);
    }
    file.WriteLine("</Structure>");
    file.WriteLine("<Records>");

    std::string scratch;
    ForEachWrittenRecord(table, settings, progress, [&](std::int64_t record) {
        file.WriteLine("<Record>");
        line.clear();
        for (std::size_t i = 0; i < columns.size(); ++i) {
            line += '<';
            line += elementNames[i];
            line += '>';
            AppendXmlContent(line, CellContent(table, record, columns[i], settings.DecimalSeparator, scratch));
            line += "</";
            line += elementNames[i];
            line += '>';
        }
        file.WriteLine(line);
        file.WriteLine("</Record>");
    });

    file.WriteLine("</Records>");
    file.WriteLine("</Root>");
    file.Commit();
}

}  // namespace quillet
