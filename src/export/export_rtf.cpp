#include <algorithm>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "export/byte_scan.h"
#include "export/document_templates.h"
#include "export/export_frame.h"
#include "export/exporters.h"
#include "export/output_file.h"
#include "export/plain_cells.h"

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

// The font charset word processors pair with each code page. The Windows single-byte pages
// (874, 1250 to 1258) are read byte for byte through \ansicpg and this charset; every other
// page's characters are written as \uN, so that no reader has to know the page.
struct RtfCharset {
    int Page;
    int Charset;
    bool BytesAsStored;
};
constexpr RtfCharset kRtfCharsets[] = {
    {874, 222, true},  {1250, 238, true}, {1251, 204, true}, {1252, 0, true},   {1253, 161, true},
    {1254, 162, true}, {1255, 177, true}, {1256, 178, true}, {1257, 186, true}, {1258, 163, true},
    {932, 128, false}, {936, 134, false}, {949, 129, false}, {950, 136, false}, {737, 161, false},
    {869, 161, false}, {10006, 161, false}, {28597, 161, false}, {855, 204, false}, {866, 204, false},
    {10007, 204, false}, {20866, 204, false}, {28595, 204, false}, {852, 238, false}, {10029, 238, false},
    {28592, 238, false}, {857, 162, false}, {862, 177, false},
};

RtfCharset RtfCharsetOf(const CodePage& page) {
    for (const RtfCharset& c : kRtfCharsets) {
        if (c.Page == page.Number()) return c;
    }
    return {page.IsUtf8() ? 1252 : page.Number(), 0, false};
}

// The document head with the table's code page and the charset of the font the cells use.
std::string HeadFor(const RtfCharset& charset) {
    std::string head(RtfHead);
    const auto replace = [&head](std::string_view from, const std::string& to) {
        head.replace(head.find(from), from.size(), to);
    };
    replace("\\ansicpg1252", "\\ansicpg" + std::to_string(charset.Page));
    replace("{\\f0\\froman\\fcharset0", "{\\f0\\froman\\fcharset" + std::to_string(charset.Charset));
    return head;
}

// Appends a text: as stored, or with every character beyond ASCII as \uN? (N a signed 16-bit
// number, characters beyond U+FFFF as two of them).
void AppendRtfText(std::string& out, std::string_view text, const CodePage& page, bool bytesAsStored) {
    if (bytesAsStored || std::all_of(text.begin(), text.end(), [](char c) { return static_cast<unsigned char>(c) < 0x80; })) {
        AppendRtfEscaped(out, text);
        return;
    }
    const auto appendUnit = [&out](char32_t unit) {
        out += "\\u";
        out += std::to_string(static_cast<std::int16_t>(static_cast<std::uint16_t>(unit)));
        out += '?';
    };
    page.ForEachCharacter(text, [&](char32_t c, std::string_view bytes) {
        if (c < 0x80) {
            AppendRtfEscaped(out, bytes);
        } else if (c < 0x10000) {
            appendUnit(c);
        } else {
            appendUnit(0xD800 + ((c - 0x10000) >> 10));
            appendUnit(0xDC00 + ((c - 0x10000) & 0x3FF));
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

// One cell: its text as appendText writes it, or a blank for an empty one; then the cell's end.
template <typename AppendText>
void AppendRtfCell(std::string& out, std::string_view text, AppendText&& appendText) {
    if (text.empty()) {
        out += ' ';
    } else {
        appendText(text);
    }
    out.append("\\cell \r\n");
}

}  // namespace

ExportResult ExportRtf(const OpenTable& table, const ExportSettings& settings, const ExportProgress& progress) {
    OutputFile file(OutputPath(table, settings, OutputFormat::RTF), settings.Committer);
    const std::vector<int> columns = SelectedColumns(table);
    const RowFrame frame(columns.size());
    const CodePage& page = *table.TableCodePage;
    const RtfCharset charset = RtfCharsetOf(page);

    file.WriteLine(HeadFor(charset));
    if (settings.Rtf.IncludeHeader) {
        std::string header = frame.Opening;
        for (int f : columns) {
            AppendRtfCell(header, table.FieldNames[static_cast<std::size_t>(f)],
                          [&](std::string_view text) { AppendRtfText(header, text, page, charset.BytesAsStored); });
        }
        header.append(frame.Closing);
        file.Write(header);
    }
    // Plain: no byte the cleaning removes or the escaping changes, and ASCII where characters
    // beyond it are spelt out.
    const auto isPlain = [beyondAscii = !charset.BytesAsStored](std::string_view text) {
        return HoldsNone<'\0', '\r', '\\', '{', '}', '\n'>(text, false, beyondAscii);
    };
    const char separator = settings.DecimalSeparator;
    WriteRecords(file, table, settings, progress, [&](const OpenTable& table) {
        return [&, plain = PlainCells(table, columns, separator, isPlain({&separator, 1})), scratch = std::string()](
                   std::string& out, std::int64_t record) mutable {
            plain.Begin(record);
            out.append(frame.Opening);
            for (std::size_t i = 0; i < columns.size(); ++i) {
                if (const std::string_view text = plain.Text(i, isPlain); text.data() != nullptr) {
                    AppendRtfCell(out, text, [&out](std::string_view plainText) { out.append(plainText); });
                } else {
                    AppendRtfCell(out, CleanCellText(table, record, columns[i], settings, CleanRule{.RemoveNul = true, .RemoveCr = true}, scratch),
                                  [&](std::string_view text) { AppendRtfText(out, text, page, charset.BytesAsStored); });
                }
            }
            out.append(frame.Closing);
        };
    });
    file.WriteLine("}");
    file.Commit();
    return {};
}

}  // namespace quillet
