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

// TrimSpaces, eight bytes at a time over the padding that text fields mostly end in.
std::string_view TrimPadding(std::string_view text) {
    std::size_t end = text.size();
    while (end >= 8 && Load8(text.data() + end - 8) == kEveryByte * ' ') end -= 8;
    return TrimSpaces(text.substr(0, end));
}

void AppendCleaned(std::string& out, std::string_view text, CleanRule rule) {
    // Trimming the text first gives the same result whenever no NUL or CR is to be removed:
    // what the trim cuts off is spaces only. This usually leaves a short text to check and one
    // append.
    const std::string_view trimmed = TrimPadding(text);
    if (!HoldsRemoved(trimmed, rule)) {
        out.append(trimmed);
        return;
    }

    const std::size_t start = out.size();
    for (char c : text) {
        if ((c == '\0' && rule.RemoveNul) || (c == '\r' && rule.RemoveCr)) continue;
        out += c;
    }
    const std::string_view kept = TrimSpaces(std::string_view(out).substr(start));
    const std::size_t first = static_cast<std::size_t>(kept.data() - out.data());
    out.erase(first + kept.size());
    out.erase(start, first - start);
}

}  // namespace

void CleanCellText(std::string& out, const CellValue& cell, char decimalSeparator, CleanRule rule) {
    out.clear();
    if (cell.Kind == CellKind::Text) {
        AppendCleaned(out, cell.Text, rule);
    } else {
        AppendCellText(out, cell, decimalSeparator);
    }
}

}  // namespace quillet
