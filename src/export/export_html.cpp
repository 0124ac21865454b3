#include <initializer_list>
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

std::string_view EntityOf(char c) {
    switch (c) {
    case '&': return "&amp;";
    case '<': return "&lt;";
    case '>': return "&gt;";
    case '\n': return "<br>";
    default: return "&quot;";
    }
}

// Names and cells are text, never markup: a cell must not be able to open a tag or an entity.
// A browser shows a line break of the text as a blank, so it becomes one it shows.
void AppendHtmlEscaped(std::string& out, std::string_view text) {
    AppendEscaped<'&', '<', '>', '"', '\n'>(out, text, EntityOf);
}

struct Substitution {
    std::string_view Placeholder;
    std::string_view Value;
};

// Appends the template with each placeholder replaced by its escaped value. Only the template
// is searched, so a value holding a placeholder's word stays as it is.
void AppendFilled(std::string& out, std::string_view pattern, std::initializer_list<Substitution> substitutions) {
    while (!pattern.empty()) {
        std::size_t at = std::string_view::npos;
        const Substitution* found = nullptr;
        for (const Substitution& s : substitutions) {
            const std::size_t where = pattern.find(s.Placeholder);
            if (where < at) {
                at = where;
                found = &s;
            }
        }
        if (found == nullptr) break;
        out.append(pattern.substr(0, at));
        AppendHtmlEscaped(out, found->Value);
        pattern.remove_prefix(at + found->Placeholder.size());
    }
    out.append(pattern);
}

// A cell template split once at its one ITEM, so that a row's cells are filled without
// searching the template again.
struct CellTemplate {
    std::string_view Before;
    std::string_view After;

    explicit CellTemplate(std::string_view pattern) {
        const std::size_t at = pattern.find("ITEM");
        Before = pattern.substr(0, at);
        After = pattern.substr(at + 4);
    }
    void Append(std::string& out, std::string_view item) const {
        out.append(Before);
        AppendHtmlEscaped(out, item);
        out.append(After);
    }
    // An item known to need no escaping.
    void AppendPlain(std::string& out, std::string_view item) const {
        out.append(Before);
        out.append(item);
        out.append(After);
    }
};

}  // namespace

ExportResult ExportHtml(const OpenTable& table, const ExportSettings& settings, const ExportProgress& progress) {
    OutputFile file(OutputPath(table, settings, OutputFormat::HTML), settings.Committer);
    const std::vector<int> columns = SelectedColumns(table);
    std::string line;

    AppendFilled(line, HtmlPageHead,
                 {{"TEXTCOLOR", settings.Html.TextColor}, {"BGCOLOR", settings.Html.BackColor}});
    file.WriteLine(line);

    if (settings.Html.IncludeHeader) {
        const CellTemplate headerCell(HtmlHeaderCell);
        line.assign("<TR>");
        for (int f : columns) headerCell.Append(line, table.TableCodePage->ToUtf8(table.FieldNames[static_cast<std::size_t>(f)]));
        line.append("</TR>");
        file.WriteLine(line);
    }

    const CellTemplate dataCell(HtmlDataCell);
    // Plain: ASCII without a byte the cleaning removes or the escaping changes.
    const auto isPlain = [](std::string_view text) { return HoldsNone<'\0', '\r', '&', '<', '>', '"', '\n'>(text, false, true); };
    const char separator = settings.DecimalSeparator;
    WriteRecords(file, table, settings, progress, [&](const OpenTable& table) {
        return [&, plain = PlainCells(table, columns, separator, isPlain({&separator, 1})), scratch = std::string(),
                utf8 = std::string()](std::string& out, std::int64_t record) mutable {
            plain.Begin(record);
            out.append("<TR>");
            for (std::size_t i = 0; i < columns.size(); ++i) {
                const std::string_view text = plain.Text(i, isPlain);
                const std::string_view cell = text.data() != nullptr ? text : table.TableCodePage->AsUtf8(
                    CleanCellText(table, record, columns[i], settings, CleanRule{.RemoveNul = true, .RemoveCr = true}, scratch), utf8);
                if (cell.empty()) {
                    out.append(HtmlEmptyCell);
                } else if (text.data() != nullptr) {
                    dataCell.AppendPlain(out, cell);
                } else {
                    dataCell.Append(out, cell);
                }
            }
            out.append("\r\n");
        };
    });

    file.WriteLine(HtmlPageEnd);
    file.Commit();
    return {};
}

}  // namespace quillet
