#include "ui/record_search.h"

#include <algorithm>
#include <climits>

#include "table/cell_text.h"
#include "table/table_error.h"
#include "table/table_stream.h"
#include "ui/decoded_text.h"

namespace quillet {
namespace {

bool IsAscii(std::string_view bytes) {
    return std::all_of(bytes.begin(), bytes.end(), [](char c) { return static_cast<unsigned char>(c) < 0x80; });
}

bool IsAscii(const QString& text) {
    return std::all_of(text.begin(), text.end(), [](QChar c) { return c.unicode() < 0x80; });
}

char AsciiLower(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c + ('a' - 'A')) : c; }

// Whether text holds needle at i, needle being lower case when case does not matter.
bool HoldsAt(std::string_view text, std::size_t i, std::string_view needle, bool matchCase) {
    for (std::size_t k = 0; k < needle.size(); ++k) {
        const char c = matchCase ? text[i + k] : AsciiLower(text[i + k]);
        if (c != needle[k]) return false;
    }
    return true;
}

std::string_view WithoutBlanks(std::string_view text) {
    const std::size_t begin = text.find_first_not_of(' ');
    if (begin == std::string_view::npos) return {};
    return text.substr(begin, text.find_last_not_of(' ') + 1 - begin);
}

}  // namespace

CellMatcher::CellMatcher(const OpenTable& table, const TextQuery& query, char decimalSeparator)
    : table_(table), query_(query), decimalSeparator_(decimalSeparator) {
    if (query_.WholeCell) query_.Text = query_.Text.trimmed();
    // A cell of ASCII alone can only hold a text that is ASCII once its case is folded.
    const QString compared = query_.MatchCase ? query_.Text : query_.Text.toCaseFolded();
    asciiCellsCanMatch_ = IsAscii(compared);
    if (asciiCellsCanMatch_) asciiText_ = compared.toStdString();
}

bool CellMatcher::MatchesShown(std::string_view bytes) const {
    if (query_.Text.isEmpty()) return false;
    if (query_.WholeCell) bytes = WithoutBlanks(bytes);
    if (IsAscii(bytes)) {
        if (!asciiCellsCanMatch_) return false;
        if (query_.WholeCell) return bytes.size() == asciiText_.size() && HoldsAt(bytes, 0, asciiText_, query_.MatchCase);
        for (std::size_t i = 0; i + asciiText_.size() <= bytes.size(); ++i) {
            if (HoldsAt(bytes, i, asciiText_, query_.MatchCase)) return true;
        }
        return false;
    }
    const QString shown = Decoded(*table_.TableCodePage, bytes);
    const Qt::CaseSensitivity sensitivity = query_.MatchCase ? Qt::CaseSensitive : Qt::CaseInsensitive;
    return query_.WholeCell ? shown.compare(query_.Text, sensitivity) == 0 : shown.contains(query_.Text, sensitivity);
}

bool CellMatcher::Matches(std::int64_t record, int field) {
    try {
        HoldRecord(table_, record);
    } catch (const TableError&) {
        return false;  // a file cut short since it was opened: its lost records hold nothing
    }
    const CellValue cell = table_.Cell(record, field);
    if (cell.Kind == CellKind::Text) return MatchesShown(cell.Text);
    // As the list shows them: binary memos by their size (which AppendCellText leaves out).
    scratch_ = cell.Kind == CellKind::Binary ? BinaryCellText(cell.ByteSize) : std::string();
    AppendCellText(scratch_, cell, decimalSeparator_);
    return MatchesShown(scratch_);
}

int CellMatcher::CountIn(std::int64_t record) {
    if (query_.Field >= 0) return Matches(record, query_.Field) ? 1 : 0;
    int count = 0;
    for (int field = 0; field < table_.ColumnCount; ++field) count += Matches(record, field) ? 1 : 0;
    return count;
}

std::vector<int> CellMatcher::MatchingFields(std::int64_t record) {
    std::vector<int> fields;
    const bool one = query_.Field >= 0;
    for (int field = one ? query_.Field : 0; field < (one ? query_.Field + 1 : table_.ColumnCount); ++field) {
        if (Matches(record, field)) fields.push_back(field);
    }
    return fields;
}

std::optional<std::vector<std::uint16_t>> CountMatches(const OpenTable& table, const TextQuery& query,
                                                       char decimalSeparator, const JobSteps& steps) {
    std::vector<std::uint16_t> counts(static_cast<std::size_t>(table.RecordCount()));
    std::atomic<bool> stop = false;
    const TableForThread second(table);
    const bool done = InTwoHalves(counts.size(), [&](std::size_t begin, std::size_t end, bool first) {
        CellMatcher matcher(first ? table : second.Table(), query, decimalSeparator);
        for (std::size_t r = begin; r < end && !stop; ++r) {
            if (first && r % 16384 == 0 && !steps(static_cast<int>(1000 * r / end))) stop = true;
            counts[r] = static_cast<std::uint16_t>(matcher.CountIn(static_cast<std::int64_t>(r)));
        }
    });
    if (!done || stop) return std::nullopt;
    return counts;
}

MatchWalk::MatchWalk(std::vector<std::uint16_t> counts, CellMatcher matcher, int rows, std::function<std::int64_t(int)> recordAt)
    : counts_(std::move(counts)), matcher_(std::move(matcher)), recordAt_(std::move(recordAt)) {
    Rearranged(rows);
}

void MatchWalk::Rearranged(int rows) {
    rows_ = rows;
    total_ = 0;
    for (int row = 0; row < rows_; ++row) total_ += CountAt(row);
}

CellPlace MatchWalk::Next(CellPlace from, bool backward) {
    if (total_ == 0) return {};
    if (from.Row < 0 || from.Row >= rows_) from = {backward ? rows_ - 1 : 0, backward ? INT_MAX : -1};
    // Up to rows_ steps: the last comes back to from's own row, for a match on its other side.
    for (int step = 0; step <= rows_; ++step) {
        const int row = backward ? ((from.Row - step) % rows_ + rows_) % rows_ : (from.Row + step) % rows_;
        if (CountAt(row) == 0) continue;
        const std::vector<int> fields = matcher_.MatchingFields(recordAt_(row));
        if (fields.empty()) continue;
        if (step > 0) return {row, backward ? fields.back() : fields.front()};
        if (backward) {
            const auto before = std::lower_bound(fields.begin(), fields.end(), from.Field);
            if (before != fields.begin()) return {row, *(before - 1)};
        } else {
            const auto after = std::upper_bound(fields.begin(), fields.end(), from.Field);
            if (after != fields.end()) return {row, *after};
        }
    }
    return {};
}

std::int64_t MatchWalk::NumberOf(CellPlace place) {
    std::int64_t number = 1;
    for (int row = 0; row < place.Row; ++row) number += CountAt(row);
    const std::vector<int> fields = matcher_.MatchingFields(recordAt_(place.Row));
    return number + (std::lower_bound(fields.begin(), fields.end(), place.Field) - fields.begin());
}

}  // namespace quillet
