#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "export/exporters.h"
#include "export/plain_cells.h"

namespace quillet {

// One record as a row of delimited text. Each selected column's cell is cleaned (CleanCellText),
// then quoted with its quotes doubled, or, unquoted, has its line breaks made blanks so that a
// record stays one row; the delimiter follows every column but the table's last listed one,
// selected or not; the row end closes the row. Plain cells (see PlainCells) are written through
// a pointer into a buffer of the row's own.
class DelimitedRow {
public:
    // table: the one the records are read from (a formatting thread's own stream of the file).
    DelimitedRow(const OpenTable& table, const ExportSettings& settings, const std::vector<int>& columns);

    // The field names, as the row above the records.
    void AppendHeader(std::string& out);
    void Append(std::string& out, std::int64_t record);

private:
    bool IsPlain(std::string_view text) const;
    std::string_view GeneralCell(std::int64_t record, int field);
    std::string_view Written(std::string_view bytes);
    // Writes a plain cell's text at p, between quotes where items are quoted; returns its end.
    char* Put(char* p, std::string_view text) const;
    void AppendItem(std::string& out, std::string_view text) const;

    const OpenTable& table_;
    const ExportSettings& settings_;
    struct Column {
        int Field;
        bool Delimited;  // followed by the delimiter
    };
    std::vector<Column> columns_;
    bool quoted_;
    bool toUtf8_;
    PlainCells plain_;
    std::string_view delimiter_;
    std::string_view rowEnd_;
    // The most a row's plain cells take, delimiters and row end included.
    std::size_t plainRoom_ = 0;
    // The row being written: never shorter than plainRoom_ past its last item not plain.
    std::string row_;
    std::string item_;  // an item written the general way
    std::string scratch_;
    std::string utf8_;
};

}  // namespace quillet
