#include <string>
#include <string_view>
#include <vector>

#include "export/byte_scan.h"
#include "export/document_templates.h"
#include "export/export_frame.h"
#include "export/exporters.h"
#include "export/output_file.h"

namespace quillet {

namespace {

// A backslash or brace in a cell would start a control word or a group; escaped, it is text.
// A bare line break is no break to an RTF reader; \line is.
void AppendRtfEscaped(std::string& out, std::string_view text) {
    AppendEscaped<'\\', '{', '}', '\n'>(out, text, [](char c) -> std::string_view {
        switch (c) {
        case '\\': return "\\\\";
        case '{': return "\\{";
        case '\n': return "\\line ";
        default: return "\\}";
        }
    });
}

// The fixed texts around a table row's cells: the row definition with the cell boundaries
// "\cellx1" to "\cellxM", one line each (the running number of each cell, the word processor
// fitting the widths), and the group of cells; after them the definition again in the group
// that ends the row. Joined once, they are two appends per row.
struct RowFrame {
    std::string Opening;
    std::string Closing;

    explicit RowFrame(std::size_t cells) {
        std::string definition(RtfRowDefinition);
        definition.append("\r\n");
        for (std::size_t k = 1; k <= cells; ++k) {
            definition.append("\\cellx");
            definition.append(std::to_string(k));
            definition.append("\r\n");
        }
        Opening = definition + "{\r\n";
        Closing = "}\r\n{\r\n" + definition + "\\row }\r\n";
    }
};

// One table row; forEachText calls its argument with each cell's text in turn.
template <typename ForEachText>
void AppendRow(std::string& out, const RowFrame& frame, ForEachText&& forEachText) {
    out.append(frame.Opening);
    forEachText([&](std::string_view text) {
        if (text.empty()) {
            out += ' ';
        } else {
            AppendRtfEscaped(out, text);
        }
        out.append("\\cell \r\n");
    });
    out.append(frame.Closing);
}

}  // namespace

ExportResult ExportRtf(const OpenTable& table, const ExportSettings& settings, const ExportProgress& progress) {
    OutputFile file(OutputPath(table, settings, OutputFormat::RTF));
    const std::vector<int> columns = SelectedColumns(table);
    const RowFrame frame(columns.size());

    file.WriteLine(RtfHead);
    if (settings.Rtf.IncludeHeader) {
        std::string header;
        AppendRow(header, frame, [&](auto&& appendCell) {
            for (int f : columns) appendCell(table.FieldNames[static_cast<std::size_t>(f)]);
        });
        file.Write(header);
    }
    WriteRecords(file, table, settings, progress, [&] {
        return [&, scratch = std::string()](std::string& out, std::int64_t record) mutable {
            AppendRow(out, frame, [&](auto&& appendCell) {
                for (int f : columns) {
                    appendCell(CleanCellText(table, record, f, settings,
                                             CleanRule{.RemoveNul = true, .RemoveCr = true}, scratch));
                }
            });
        };
    });
    file.WriteLine("}");
    file.Commit();
    return {};
}

}  // namespace quillet
