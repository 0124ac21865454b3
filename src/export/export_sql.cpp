#include <cmath>
#include <string>
#include <vector>

#include "export/byte_scan.h"
#include "export/export_frame.h"
#include "export/exporters.h"
#include "export/output_file.h"
#include "export/plain_cells.h"
#include "export/sql_column.h"
#include "export/sql_text.h"
#include "export/utf8_scan.h"

namespace quillet {

namespace {

// The type texts start at character 51 of their line.
constexpr std::size_t kTypeColumn = 50;

// Buffers reused from cell to cell.
struct Scratch {
    std::string Cleaned;
    std::string Utf8;
};

// The cell's text without NULs (neither database takes one inside a literal) and CRs, trimmed
// of blanks, as UTF-8.
std::string_view CleanUtf8(const OpenTable& table, const CellValue& cell, Scratch& scratch) {
    const std::string_view cleaned =
        CleanCellText(cell, '.', CleanRule{.RemoveNul = true, .RemoveCr = true}, scratch.Cleaned);
    return table.TableCodePage->AsUtf8(cleaned, scratch.Utf8);
}

void AppendValue(std::string& line, const OpenTable& table, const SqlColumn& column, std::int64_t record,
                 Scratch& scratch) {
    const CellValue cell = WrittenCell(table, record, column.Field);
    switch (column.Kind) {
    case SqlValueKind::Text: AppendSqlString(line, CleanUtf8(table, cell, scratch)); return;
    case SqlValueKind::Number: {
        // Neither database has a literal for infinity or NaN that fits every numeric type.
        const double number = cell.Kind == CellKind::Number ? cell.Number() : 0;
        if (cell.Kind != CellKind::Number || !std::isfinite(number) || (column.ZeroIsNull && number == 0)) {
            line += "null";
            return;
        }
        char text[kSqlNumberCapacity];
        line.append(text, FormatSqlNumber(text, number));
        return;
    }
    case SqlValueKind::Truth:
        line += cell.Kind != CellKind::Truth ? "null" : cell.Truth ? "TRUE" : "FALSE";
        return;
    case SqlValueKind::Timestamp: {
        const std::string_view text = CleanUtf8(table, cell, scratch);
        if (text.empty()) {
            line += "null";
        } else {
            AppendSqlString(line, text);
        }
        return;
    }
    }
}

}  // namespace

ExportResult ExportSql(const OpenTable& table, const ExportSettings& settings, const ExportProgress& progress) {
    const std::vector<int> fields = SelectedColumns(table);
    // A table without columns has no valid create statement in either database.
    if (fields.empty()) throw ExportError("Select at least one column to export.");
    const std::vector<SqlColumn> columns = PlanSqlColumns(table, settings, fields);

    std::string tableName;
    AppendSqlName(tableName, CodePage::ForNumber(65001)->ToUtf8(table.TableBaseName));

    OutputFile file(OutputPath(table, settings, OutputFormat::SQL), settings.Committer);
    std::string line = " DROP TABLE IF EXISTS " + tableName + ";";
    file.WriteLine(line);
    line = " CREATE TABLE " + tableName + " (";
    file.WriteLine(line);
    for (std::size_t i = 0; i < columns.size(); ++i) {
        const SqlColumn& column = columns[i];
        line = column.Name;
        line.append(std::max<std::size_t>(1, kTypeColumn - std::min(kTypeColumn, CodePointCount(column.Name))), ' ');
        line += column.TypeText;
        line += i + 1 < columns.size() ? "," : ");";
        file.WriteLine(line);
    }

    const std::string insertHead = "insert into " + tableName + " values(";
    // A text column's plain cell: ASCII without a byte the cleaning removes or a quote to double.
    // A number's plain cell is FormatSqlNumber's text too: a decimal of at most 15 digits is
    // written as its shortest form, which reads back as the same double.
    const auto isPlain = [](std::string_view text) { return HoldsNone<'\0', '\r', '\''>(text, false, true); };
    WriteRecords(file, table, settings, progress, [&](const OpenTable& table) {
        return [&, plain = PlainCells(table, fields, '.', true), scratch = Scratch()](std::string& out,
                                                                                    std::int64_t record) mutable {
            plain.Begin(record);
            out.append(insertHead);
            for (std::size_t i = 0; i < columns.size(); ++i) {
                if (i > 0) out += ',';
                const SqlColumn& column = columns[i];
                const bool mayBePlain = column.Kind == SqlValueKind::Text || column.Kind == SqlValueKind::Number;
                const std::string_view text = mayBePlain ? plain.Text(i, isPlain) : std::string_view();
                if (text.data() == nullptr) {
                    AppendValue(out, table, column, record, scratch);
                } else if (column.Kind == SqlValueKind::Number) {
                    out.append(column.ZeroIsNull && text == "0" ? "null" : text);
                } else {
                    out += '\'';
                    out.append(text);
                    out += '\'';
                }
            }
            out.append(");\r\n");
        };
    });
    file.Commit();
    return {};
}

}  // namespace quillet
