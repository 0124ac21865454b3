#include "export/delimited_row.h"

#include <algorithm>

#include "export/byte_scan.h"
#include "export/export_frame.h"
#include "export/quoted_text.h"
#include "table/code_page.h"

namespace quillet {

namespace {

constexpr CleanRule kDelimitedCleaning{.RemoveNul = true, .RemoveCr = true};

// For the delimiter and the row end, a byte or two: a library copy costs more to call than to run.
char* PutShort(char* p, std::string_view text) {
    for (char c : text) *p++ = c;
    return p;
}

}  // namespace

DelimitedRow::DelimitedRow(const OpenTable& table, const ExportSettings& settings, const std::vector<int>& columns)
    : table_(table),
      settings_(settings),
      quoted_(settings.Delimited.QuoteItems),
      toUtf8_(settings.Delimited.ToUtf8),
      // A number's text is digits, a sign and the separator.
      plain_(table, columns, settings.DecimalSeparator, IsPlain({&settings.DecimalSeparator, 1})),
      delimiter_(settings.Delimited.Delimiter),
      rowEnd_(LineEndText(settings.Delimited.RowEnd)) {
    const int last = ListedColumns(table) - 1;
    for (std::size_t i = 0; i < columns.size(); ++i) {
        columns_.push_back({columns[i], columns[i] != last});
        const std::size_t quotes = 2;
        plainRoom_ += quotes + plain_.Longest(i) + delimiter_.size();
    }
    plainRoom_ += rowEnd_.size();
    row_.resize(plainRoom_);
}

void DelimitedRow::AppendHeader(std::string& out) {
    for (std::size_t i = 0; i < columns_.size(); ++i) {
        AppendItem(out, Written(table_.FieldNames[static_cast<std::size_t>(columns_[i].Field)]));
        if (columns_[i].Delimited) out.append(delimiter_);
    }
    out.append(rowEnd_);
}

inline bool DelimitedRow::IsPlain(std::string_view text) const {
    return quoted_ ? HoldsNone<'\0', '\r', '"'>(text, false, toUtf8_) : HoldsNone<'\0', '\r', '\n'>(text, false, toUtf8_);
}

inline char* DelimitedRow::Put(char* p, std::string_view text) const {
    if (quoted_) *p++ = '"';
    p = std::copy(text.begin(), text.end(), p);
    if (quoted_) *p++ = '"';
    return p;
}

void DelimitedRow::Append(std::string& out, std::int64_t record) {
    plain_.Begin(record);
    // The row is written through a pointer into a buffer with room for every plain cell, then
    // appended whole: a string's own appends are calls into the library, each checking the room
    // and ending the text anew, and rows are made of many short pieces.
    char* p = row_.data();
    const auto isPlain = [this](std::string_view text) { return IsPlain(text); };
    for (std::size_t i = 0; i < columns_.size(); ++i) {
        if (const std::string_view text = plain_.Text(i, isPlain); text.data() != nullptr) {
            p = Put(p, text);
        } else {
            item_.clear();
            AppendItem(item_, GeneralCell(record, columns_[i].Field));
            const auto at = static_cast<std::size_t>(p - row_.data());
            // Room for the item and for every plain cell that may follow it.
            if (row_.size() - at < item_.size() + plainRoom_) row_.resize(at + item_.size() + plainRoom_);
            p = std::copy(item_.begin(), item_.end(), row_.data() + at);
        }
        if (columns_[i].Delimited) p = PutShort(p, delimiter_);
    }
    p = PutShort(p, rowEnd_);
    out.append(row_.data(), static_cast<std::size_t>(p - row_.data()));
}

std::string_view DelimitedRow::GeneralCell(std::int64_t record, int field) {
    return Written(CleanCellText(table_, record, field, settings_, kDelimitedCleaning, scratch_));
}

std::string_view DelimitedRow::Written(std::string_view bytes) {
    return toUtf8_ ? table_.TableCodePage->AsUtf8(bytes, utf8_) : bytes;
}

void DelimitedRow::AppendItem(std::string& out, std::string_view text) const {
    if (quoted_) {
        AppendQuoted(out, text, '"');
    } else {
        AppendEscaped<'\n'>(out, text, [](char) { return std::string_view(" "); });
    }
}

}  // namespace quillet
