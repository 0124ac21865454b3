#include <string>
#include <string_view>
#include <vector>

#include "export/document_templates.h"
#include "export/export_frame.h"
#include "export/exporters.h"
#include "export/output_file.h"

namespace quillet {

namespace {

// A backslash or brace in a cell would start a control word or a group; escaped, it is text.
void WriteRtfEscaped(OutputFile& file, std::string_view text) {
    std::size_t plain = 0;
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char c = text[i];
        if (c != '\\' && c != '{' && c != '}') continue;
        file.Write(text.substr(plain, i - plain));
        file.Write('\\');
        file.Write(c);
        plain = i + 1;
    }
    file.Write(text.substr(plain));
}

// "\cellx1" to "\cellxM", one line each: the running number of each cell, the word processor
// fitting the widths.
std::string CellBoundaries(std::size_t cells) {
    std::string lines;
    for (std::size_t k = 1; k <= cells; ++k) {
        lines.append("\\cellx");
        lines.append(std::to_string(k));
        lines.append("\r\n");
    }
    return lines;
}

// One table row: the row definition, the cells in a group, then the definition again in the
// group that ends the row. forEachText calls its argument with each cell's text in turn.
template <typename ForEachText>
void WriteRowBlock(OutputFile& file, std::string_view boundaries, ForEachText&& forEachText) {
    file.WriteLine(RtfRowDefinition);
    file.Write(boundaries);
    file.WriteLine("{");
    forEachText([&](std::string_view text) {
        if (text.empty()) {
            file.Write(' ');
        } else {
            WriteRtfEscaped(file, text);
        }
        file.WriteLine("\\cell ");
    });
    file.WriteLine("}");
    file.WriteLine("{");
    file.WriteLine(RtfRowDefinition);
    file.Write(boundaries);
    file.WriteLine("\\row }");
}

}  // namespace

void ExportRtf(const OpenTable& table, const ExportSettings& settings, const ExportProgress& progress) {
    OutputFile file(OutputPath(table, settings, OutputFormat::RTF));
    const std::vector<int> columns = SelectedColumns(table);
    const std::string boundaries = CellBoundaries(columns.size());
    std::string cell;

    file.WriteLine(RtfHead);
    if (settings.RtfIncludeHeader) {
        WriteRowBlock(file, boundaries, [&](auto&& writeCell) {
            for (int f : columns) writeCell(table.FieldNames[static_cast<std::size_t>(f)]);
        });
    }
    ForEachWrittenRecord(table, settings, progress, [&](std::int64_t record) {
        WriteRowBlock(file, boundaries, [&](auto&& writeCell) {
            for (int f : columns) {
                CleanCellText(cell, table, record, f, settings, CleanRule{.RemoveNul = false, .RemoveCr = true});
                writeCell(cell);
            }
        });
    });
    file.WriteLine("}");
    file.Commit();
}

}  // namespace quillet
