#pragma once

// Reads a worksheet back through xlrd. The sheet keeps records and columns at their table
// positions, so the reader gathers the rows and columns that hold a cell and reports where
// they were; a whole number is given as the digits a table shows for it.

#include <gtest/gtest.h>

#include <filesystem>
#include <map>
#include <set>
#include <sstream>
#include <string>
#include <utility>

#include "support/sheet.h"
#include "support/xlrd_sheet.h"

namespace quillet::testing {

// Undoes XlrdSheet's escapes of backslash, LF and CR.
inline std::string XlrdUnescaped(std::string_view text) {
    std::string out;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '\\' && i + 1 < text.size()) {
            ++i;
            out += text[i] == 'n' ? '\n' : text[i] == 'r' ? '\r' : text[i];
        } else {
            out += text[i];
        }
    }
    return out;
}

inline Sheet ReadXls(const std::filesystem::path& file) {
    Sheet sheet;
    std::istringstream lines(XlrdSheet(file));
    std::string line;
    if (!std::getline(lines, line) || !line.starts_with("encoding ")) {
        ADD_FAILURE() << file << ": " << line;
        return sheet;
    }
    std::map<std::pair<int, int>, std::string> cells;
    std::set<int> rows, columns;
    while (std::getline(lines, line)) {
        int row = 0, column = 0;
        std::string kind;
        std::istringstream fields(line);
        fields >> row >> column >> kind;
        const std::streamoff kindEnd = fields.tellg();
        std::string value = kindEnd < 0 ? std::string() : line.substr(std::min(line.size(), static_cast<std::size_t>(kindEnd) + 1));
        if (kind == "text") {
            value = XlrdUnescaped(value);
        } else if (kind == "number") {
            if (value.ends_with(".0")) value.resize(value.size() - 2);
        } else {
            ADD_FAILURE() << file << " holds a cell of an unexpected kind: " << line;
        }
        cells[{row, column}] = value;
        columns.insert(column);
        if (row > 1) rows.insert(row);
    }
    auto cellAt = [&](int row, int column) {
        const auto found = cells.find({row, column});
        return found == cells.end() ? std::string("(no cell)") : found->second;
    };
    for (int column : columns) {
        sheet.Names.push_back(cellAt(1, column));
        sheet.ColumnNumbers.push_back(column);
    }
    for (int row : rows) {
        std::vector<std::string>& texts = sheet.Rows.emplace_back();
        for (int column : columns) texts.push_back(cellAt(row, column));
        sheet.RecordNumbers.push_back(row - 1);
    }
    return sheet;
}

}  // namespace quillet::testing
