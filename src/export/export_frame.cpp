#include "export/export_frame.h"

#include <cstdint>
#include <cstring>

#include "table/cell_text.h"

namespace quillet {

std::vector<int> SelectedColumns(const OpenTable& table) {
    std::vector<int> columns;
    for (int f = 0; f < table.ColumnCount; ++f) {
        if (static_cast<std::size_t>(f) < table.ColumnSelected.size() && table.ColumnSelected[static_cast<std::size_t>(f)]) {
            columns.push_back(f);
        }
    }
    return columns;
}

namespace {

constexpr std::uint64_t kEveryByte = 0x0101010101010101u;

std::uint64_t Load8(const char* p) {
    std::uint64_t word;
    std::memcpy(&word, p, sizeof word);
    return word;
}

// High bit set in the bytes of word that are zero (and possibly in bytes above the first such
// one): nonzero exactly when some byte is zero.
std::uint64_t ZeroBytes(std::uint64_t word) { return (word - kEveryByte) & ~word & (kEveryByte * 0x80); }

// Whether text holds a byte the rule removes, eight bytes at a time: cells are checked far more
// often than they hold one.
bool HoldsRemoved(std::string_view text, CleanRule rule) {
    if (!rule.RemoveNul && !rule.RemoveCr) return false;
    const char* p = text.data();
    std::size_t left = text.size();
    for (; left >= 8; p += 8, left -= 8) {
        const std::uint64_t word = Load8(p);
        if ((rule.RemoveNul && ZeroBytes(word) != 0) || (rule.RemoveCr && ZeroBytes(word ^ (kEveryByte * '\r')) != 0)) {
            return true;
        }
    }
    for (; left > 0; ++p, --left) {
        if ((*p == '\0' && rule.RemoveNul) || (*p == '\r' && rule.RemoveCr)) return true;
    }
    return false;
}

std::string_view Cleaned(std::string_view text, CleanRule rule, std::string& scratch) {
    // Trimming the text first gives the same result whenever no NUL or CR is to be removed:
    // what the trim cuts off is spaces only. Cells seldom hold either.
    const std::string_view trimmed = TrimSpaces(text);
    if (!HoldsRemoved(trimmed, rule)) return trimmed;

    scratch.clear();
    for (char c : text) {
        if ((c == '\0' && rule.RemoveNul) || (c == '\r' && rule.RemoveCr)) continue;
        scratch += c;
    }
    return TrimSpaces(scratch);
}

}  // namespace

std::string_view TrimSpaces(std::string_view text) {
    // Eight bytes at a time over the padding that text fields mostly end in.
    std::size_t end = text.size();
    while (end >= 8 && Load8(text.data() + end - 8) == kEveryByte * ' ') end -= 8;
    const std::string_view unpadded = text.substr(0, end);
    const std::size_t first = unpadded.find_first_not_of(' ');
    if (first == std::string_view::npos) return unpadded.substr(end);
    return unpadded.substr(first, unpadded.find_last_not_of(' ') - first + 1);
}

std::string_view CleanCellText(const CellValue& cell, char decimalSeparator, CleanRule rule, std::string& scratch) {
    if (cell.Kind == CellKind::Text) return Cleaned(cell.Text, rule, scratch);
    scratch.clear();
    AppendCellText(scratch, cell, decimalSeparator);
    return scratch;
}

}  // namespace quillet
