#include <initializer_list>
#include <string>
#include <string_view>
#include <vector>

#include "export/document_templates.h"
#include "export/export_frame.h"
#include "export/exporters.h"
#include "export/output_file.h"

namespace quillet {

namespace {

// Names and cells are text, never markup: a cell must not be able to open a tag or an entity.
void AppendHtmlEscaped(std::string& out, std::string_view text) {
    std::size_t plain = 0;
    for (std::size_t i = 0; i < text.size(); ++i) {
        std::string_view entity;
        switch (text[i]) {
        case '&': entity = "&amp;"; break;
        case '<': entity = "&lt;"; break;
        case '>': entity = "&gt;"; break;
        case '"': entity = "&quot;"; break;
        default: continue;
        }
        out.append(text.substr(plain, i - plain));
        out.append(entity);
        plain = i + 1;
    }
    out.append(text.substr(plain));
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

}  // namespace

void ExportHtml(const OpenTable& table, const ExportSettings& settings, const ExportProgress& progress) {
    OutputFile file(OutputPath(table, settings, OutputFormat::HTML));
    const std::vector<int> columns = SelectedColumns(table);
    std::string line;
    std::string cell;

    AppendFilled(line, HtmlPageHead,
                 {{"TEXTCOLOR", settings.HtmlTextColor}, {"BGCOLOR", settings.HtmlBackColor}});
    file.WriteLine(line);

    if (settings.HtmlIncludeHeader) {
        line.assign("<TR>");
        for (int f : columns) AppendFilled(line, HtmlHeaderCell, {{"ITEM", table.FieldNames[static_cast<std::size_t>(f)]}});
        line.append("</TR>");
        file.WriteLine(line);
    }

    ForEachWrittenRecord(table, settings, progress, [&](std::int64_t record) {
        line.assign("<TR>");
        for (int f : columns) {
            CleanCellText(cell, table, record, f, settings, CleanRule{.RemoveNul = false, .RemoveCr = true});
            if (cell.empty()) {
                line.append(HtmlEmptyCell);
            } else {
                AppendFilled(line, HtmlDataCell, {{"ITEM", cell}});
            }
        }
        file.WriteLine(line);
    });

    file.WriteLine(HtmlPageEnd);
    file.Commit();
}

}  // namespace quillet
