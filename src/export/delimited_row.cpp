#include "export/delimited_row.h"

#include <algorithm>

#include "export/byte_scan.h"
#include "export/export_frame.h"
#include "export/quoted_text.h"
#include "table/code_page.h"

namespace quillet {

namespace {

constexpr CleanRule kDelimitedCleaning{.RemoveNul = true, .RemoveCr = true};

bool IsAscii(char byte) { return static_cast<unsigned char>(byte) < 0x80; }

// For the delimiter and the row end, a byte or two: a library copy costs more to call than to run.
char* PutShort(char* p, std::string_view text) {
    for (char c : text) *p++ = c;
    return p;
}

}  // namespace

DelimitedRow::DelimitedRow(const OpenTable& table, const ExportSettings& settings, const std::vector<int>& columns)
    : table_(table),
      settings_(settings),
      special_(settings.Delimited.QuoteItems ? '"' : '\n'),
      delimiter_(settings.Delimited.Delimiter),
      rowEnd_(LineEndText(settings.Delimited.RowEnd)) {
    const bool wholeBytes = table.TableCodePage->IsSingleByte();
    // A number's text holds only digits, a sign and the separator.
    const char separator = settings.DecimalSeparator;
    const bool plainNumbers = separator != special_ && (!settings.Delimited.ToUtf8 || IsAscii(separator));
    const int last = ListedColumns(table) - 1;
    for (int f : columns) {
        const FieldCells& cells = table.Fields[static_cast<std::size_t>(f)];
        Way way = Way::General;
        if (cells.Storage == FieldStorage::Bytes && wholeBytes) way = Way::StoredText;
        if (cells.Storage == FieldStorage::Number && cells.DecimalText && plainNumbers) way = Way::StoredDecimal;
        if (cells.Storage == FieldStorage::Truth) way = Way::Truth;
        const FieldDescriptor& d = table.FieldDescriptors[static_cast<std::size_t>(f)];
        columns_.push_back({f, way, d.Offset, d.StoredLength, f != last});
        const std::size_t quotes = 2;
        plainRoom_ += quotes + std::max<std::size_t>(d.StoredLength, kNumberTextCapacity) + delimiter_.size();
    }
    plainRoom_ += rowEnd_.size();
}

void DelimitedRow::AppendHeader(std::string& out) {
    for (const Column& column : columns_) {
        AppendItem(out, Written(table_.FieldNames[static_cast<std::size_t>(column.Field)]));
        if (column.Delimited) out.append(delimiter_);
    }
    out.append(rowEnd_);
}

void DelimitedRow::Append(std::string& out, std::int64_t record) {
    const std::string_view bytes = table_.RecordText(record);
    const auto held = static_cast<std::size_t>(record - table_.FirstHeld);
    // Plain cells are written through a pointer into room made for all of them at once: a
    // string's own appends are calls into the library, each checking the room and ending the
    // text anew, and rows are made of many short pieces.
    std::size_t end = out.size();
    out.resize(end + plainRoom_);
    char* p = out.data() + end;
    for (const Column& column : columns_) {
        if (const std::string_view text = PlainCell(column, bytes, held); text.data() != nullptr) {
            p = Put(p, text);
        } else {
            out.resize(static_cast<std::size_t>(p - out.data()));
            AppendItem(out, GeneralCell(record, column.Field));
            end = out.size();
            out.resize(end + plainRoom_);
            p = out.data() + end;
        }
        if (column.Delimited) p = PutShort(p, delimiter_);
    }
    p = PutShort(p, rowEnd_);
    out.resize(static_cast<std::size_t>(p - out.data()));
}

// Inlined by force: a call for each cell cost a tenth of the row's instructions.
[[gnu::always_inline]] inline std::string_view DelimitedRow::PlainCell(const Column& column, std::string_view record, std::size_t held) {
    const FieldCells& cells = table_.Fields[static_cast<std::size_t>(column.Field)];
    if (!cells.Nulls.empty() && cells.Nulls[held] != 0) return {};
    switch (column.Kind) {
    case Way::StoredText: {
        const std::string_view text = TrimSpaces(record.substr(column.Offset, column.Length));
        // A view into the record, so never null, even when empty.
        return IsPlain(text) ? text : std::string_view();
    }
    case Way::StoredDecimal: {
        return StoredDecimalText(record.substr(column.Offset, column.Length), settings_.DecimalSeparator, number_);
    }
    case Way::Truth:
        return cells.Truths[held] != 0 ? "True" : "False";
    case Way::General:
        break;
    }
    return {};
}

inline bool DelimitedRow::IsPlain(std::string_view text) const {
    const char special = special_;
    const bool asciiOnly = settings_.Delimited.ToUtf8;
    const auto mayHold = [special, asciiOnly](std::uint64_t word) {
        const std::uint64_t high = asciiOnly ? word & (kEveryByte * 0x80) : 0;
        return (ZeroBytes(word) | BytesEqual(word, '\r') | BytesEqual(word, special) | high) != 0;
    };
    const auto is = [special, asciiOnly](char c) {
        return c == '\0' || c == '\r' || c == special || (asciiOnly && !IsAscii(c));
    };
    return FindFirst(text, mayHold, is) == text.size();
}

std::string_view DelimitedRow::GeneralCell(std::int64_t record, int field) {
    return Written(CleanCellText(table_, record, field, settings_, kDelimitedCleaning, scratch_));
}

std::string_view DelimitedRow::Written(std::string_view bytes) {
    return settings_.Delimited.ToUtf8 ? table_.TableCodePage->AsUtf8(bytes, utf8_) : bytes;
}

inline char* DelimitedRow::Put(char* p, std::string_view text) const {
    if (special_ == '"') *p++ = '"';
    p = std::copy(text.begin(), text.end(), p);
    if (special_ == '"') *p++ = '"';
    return p;
}

void DelimitedRow::AppendItem(std::string& out, std::string_view text) const {
    if (special_ == '"') {
        AppendQuoted(out, text, '"');
    } else {
        AppendEscaped<'\n'>(out, text, [](char) { return std::string_view(" "); });
    }
}

}  // namespace quillet
