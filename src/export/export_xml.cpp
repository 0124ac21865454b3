#include <string>
#include <string_view>
#include <vector>

#include "export/byte_scan.h"
#include "export/export_frame.h"
#include "export/exporters.h"
#include "export/output_file.h"
#include "export/plain_cells.h"
#include "export/xml_text.h"
#include "table/cell_text.h"

namespace quillet {

namespace {

constexpr std::string_view kDeclaration = R"(<?xml version="1.0" encoding="UTF-8" standalone="no"?>)";

// The cell as UTF-8, without the characters XML cannot carry, trimmed of blanks. The table's bytes are trimmed before they are
// decoded as well, which changes nothing (a space byte is a space in every code page) but
// spares decoding the padding; most cells are then plain ASCII and go as they are.
std::string_view CellContent(const OpenTable& table, std::int64_t record, int field, char decimalSeparator,
                             std::string& scratch) {
    const CellValue cell = WrittenCell(table, record, field);
    if (cell.Kind != CellKind::Text) return CleanCellText(cell, decimalSeparator, kTrimOnly, scratch);
    const std::string_view bytes = TrimSpaces(cell.Text);
    // ASCII without control characters: the same in UTF-8 and in every code page, and nothing in
    // it that XML cannot carry.
    if (HoldsNone<>(bytes, true, true)) return bytes;
    scratch.clear();
    table.TableCodePage->AppendUtf8(scratch, bytes);
    DropXmlForbidden(scratch);
    return TrimSpaces(scratch);
}

}  // namespace

ExportResult ExportXml(const OpenTable& table, const ExportSettings& settings, const ExportProgress& progress) {
    const std::vector<int> columns = SelectedColumns(table);
    std::vector<std::string> elementNames;
    elementNames.reserve(columns.size());
    for (int f : columns) {
        std::string name;
        AppendXmlName(name, table.TableCodePage->ToUtf8(table.FieldNames[static_cast<std::size_t>(f)]));
        elementNames.push_back(std::move(name));
    }

    OutputFile file(OutputPath(table, settings, OutputFormat::XML), settings.Committer);
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

    // What comes between a record's cells, joined once: the record's opening and the first
    // element's tag, one element's closing tag and the next one's opening tag, and so on.
    std::vector<std::string> seams(columns.size() + 1);
    seams.front() = "<Record>\r\n";
    for (std::size_t i = 0; i < columns.size(); ++i) {
        seams[i] += "<" + elementNames[i] + ">";
        seams[i + 1] += "</" + elementNames[i] + ">";
    }
    seams.back() += "\r\n</Record>\r\n";
    // Plain: ASCII that needs no escaping, the same in every code page and in UTF-8. A number's
    // text is digits, a sign and the separator.
    const auto isPlain = [](std::string_view text) { return HoldsNone<'&', '<', '>'>(text, true, true); };
    const char separator = settings.DecimalSeparator;
    const bool plainNumbers = isPlain({&separator, 1});
    WriteRecords(file, table, settings, progress, [&](const OpenTable& table) {
        return [&, plain = PlainCells(table, columns, separator, plainNumbers), scratch = std::string()](
                   std::string& out, std::int64_t record) mutable {
            plain.Begin(record);
            out.append(seams.front());
            for (std::size_t i = 0; i < columns.size(); ++i) {
                if (const std::string_view text = plain.Text(i, isPlain); text.data() != nullptr) {
                    out.append(text);
                } else {
                    AppendXmlContent(out, CellContent(table, record, columns[i], separator, scratch));
                }
                out.append(seams[i + 1]);
            }
        };
    });

    file.WriteLine("</Records>");
    file.WriteLine("</Root>");
    file.Commit();
    return {};
}

}  // namespace quillet
