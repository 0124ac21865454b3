#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "export/exporters.h"
#include "table/cell_text.h"

namespace quillet {

// One record as a row of delimited text. Each selected column's cell is cleaned (CleanCellText),
// then quoted with its quotes doubled, or, unquoted, has its line breaks made blanks so that a
// record stays one row; the delimiter follows every column but the table's last listed one,
// selected or not; the row end closes the row.
//
// The cells most tables are made of are read straight from the record's bytes: text and dates
// of a single-byte code page, numbers stored as decimal text, logicals. A cell of theirs that
// holds a byte the cleaning, the quoting or the conversion to UTF-8 would change goes the
// general way, as does every cell of another kind; both ways write the same bytes. Reading a
// CellValue, cleaning it and quoting it apart took two thirds of a CSV export's time.
class DelimitedRow {
public:
    // table: the one the records are read from (a formatting thread's own stream of the file).
    DelimitedRow(const OpenTable& table, const ExportSettings& settings, const std::vector<int>& columns);

    // The field names, as the row above the records.
    void AppendHeader(std::string& out);
    void Append(std::string& out, std::int64_t record);

private:
    enum class Way : std::uint8_t { StoredText, StoredDecimal, Truth, General };
    struct Column {
        int Field;
        Way Kind;
        std::uint32_t Offset;  // of its bytes in the record
        std::uint32_t Length;
        bool Delimited;  // followed by the delimiter
    };

    // The cell's text when it is read from the record and needs neither cleaning, quoting of a
    // quote inside, nor conversion; else an empty view with a null data pointer.
    std::string_view PlainCell(const Column& column, std::string_view record, std::size_t held);
    bool IsPlain(std::string_view text) const;
    std::string_view GeneralCell(std::int64_t record, int field);
    std::string_view Written(std::string_view bytes);
    // Writes a plain cell's text at p, between quotes where items are quoted; returns its end.
    char* Put(char* p, std::string_view text) const;
    void AppendItem(std::string& out, std::string_view text) const;

    const OpenTable& table_;
    const ExportSettings& settings_;
    std::vector<Column> columns_;
    // The byte the items' quoting or escaping changes: the quote, or the line break of an
    // unquoted item.
    char special_;
    std::string_view delimiter_;
    std::string_view rowEnd_;
    // The most a row's plain cells take, delimiters and row end included.
    std::size_t plainRoom_ = 0;
    char number_[kNumberTextCapacity];
    std::string scratch_;
    std::string utf8_;
};

}  // namespace quillet
