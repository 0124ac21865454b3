#pragma once

#include <string>
#include <vector>

#include "export/export_settings.h"
#include "table/open_table.h"

namespace quillet {

// How a column's values are written into the insert statements.
enum class SqlValueKind { Text, Number, Truth, Timestamp };

// One column of the script: its name as written, its declared type and its value rule.
struct SqlColumn {
    int Field = 0;
    std::string Name;      // bare or quoted, UTF-8
    std::string TypeText;  // "Char(20)", "Integer", ... without the trailing ","
    SqlValueKind Kind = SqlValueKind::Text;
    bool ZeroIsNull = false;
};

// The selected fields' names as the columns of an SQL table take them, bare or quoted, made
// unique regardless of case (both databases refuse a repeated column): a repeat gets _2, _3...
std::vector<std::string> SqlColumnNames(const OpenTable& table, const std::vector<int>& fields);

// The columns for the selected fields. Names are made unique regardless of case (both
// databases refuse a repeated column). A numeric type is widened to an unbounded "Numeric"
// when a value of a written record would not fit it (a fraction in an integer field, more
// digits than its width), so that no database rounds or refuses a value.
std::vector<SqlColumn> PlanSqlColumns(const OpenTable& table, const ExportSettings& settings,
                                      const std::vector<int>& fields);

}  // namespace quillet
