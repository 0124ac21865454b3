#include "ui/record_sort.h"

#include <QCollator>
#include <algorithm>
#include <bit>
#include <numeric>
#include <string_view>

#include "ui/decoded_text.h"

namespace quillet {
namespace {

constexpr std::uint64_t kEmptyKey = ~std::uint64_t{0};
// Binary memos sort after a field's texts (whose keys are their ranks), by their size.
constexpr std::uint64_t kBinaryKeys = std::uint64_t{1} << 62;

// Doubles as unsigned integers in the same order: a negative number has every bit turned (the
// larger its magnitude, the smaller it gets), any other only its sign bit.
std::uint64_t NumberKey(double value) {
    const auto bits = std::bit_cast<std::uint64_t>(value == 0 ? 0.0 : value);
    return (bits >> 63) != 0 ? ~bits : bits | (std::uint64_t{1} << 63);
}

std::string_view WithoutPadding(std::string_view text) {
    std::size_t end = text.size();
    while (end > 0 && (text[end - 1] == ' ' || text[end - 1] == '\0')) --end;
    return text.substr(0, end);
}

// Each distinct text once, numbered in the order met: an open-addressing table over copies of
// the texts (a table read a window at a time lets go of the cells it gave).
class DistinctTexts {
public:
    std::uint32_t IdOf(std::string_view text) {
        if (2 * (ends_.size() + 1) > slots_.size()) Grow();
        const std::size_t hash = std::hash<std::string_view>{}(text);
        std::size_t at = hash & (slots_.size() - 1);
        for (; slots_[at] != 0; at = (at + 1) & (slots_.size() - 1)) {
            const std::uint32_t id = slots_[at] - 1;
            if (hashes_[id] == hash && TextOf(id) == text) return id;
        }
        bytes_.append(text);
        ends_.push_back(bytes_.size());
        hashes_.push_back(hash);
        slots_[at] = static_cast<std::uint32_t>(ends_.size());
        return slots_[at] - 1;
    }
    // Valid until the next IdOf.
    std::vector<std::string_view> Texts() const {
        std::vector<std::string_view> texts(ends_.size());
        for (std::uint32_t id = 0; id < ends_.size(); ++id) texts[id] = TextOf(id);
        return texts;
    }

private:
    std::string_view TextOf(std::uint32_t id) const {
        const std::size_t begin = id == 0 ? 0 : ends_[id - 1];
        return std::string_view(bytes_).substr(begin, ends_[id] - begin);
    }
    void Grow() {
        slots_.assign(std::max<std::size_t>(8, 2 * slots_.size()), 0);
        for (std::uint32_t id = 0; id < ends_.size(); ++id) {
            std::size_t at = hashes_[id] & (slots_.size() - 1);
            while (slots_[at] != 0) at = (at + 1) & (slots_.size() - 1);
            slots_[at] = id + 1;
        }
    }

    std::string bytes_;             // the texts one after another
    std::vector<std::size_t> ends_;  // where each text ends in bytes_
    std::vector<std::size_t> hashes_;
    std::vector<std::uint32_t> slots_;  // id + 1, 0 for a free slot
};

std::vector<std::uint32_t> RanksOf(const std::vector<std::uint32_t>& order, const auto& less) {
    std::vector<std::uint32_t> ranks(order.size());
    for (std::size_t i = 1; i < order.size(); ++i) {
        ranks[order[i]] = ranks[order[i - 1]] + (less(order[i - 1], order[i]) ? 1 : 0);
    }
    return ranks;
}

// Each distinct text's place in the locale's order. Sort keys are costly (about a microsecond
// each), so each text gets one, the two halves on two cores.
std::optional<std::vector<std::uint32_t>> LocaleRanks(const std::vector<std::string_view>& texts, const CodePage& page,
                                                      const QLocale& locale, const JobSteps& steps) {
    std::vector<std::optional<QCollatorSortKey>> keys(texts.size());  // QCollatorSortKey has no empty state
    std::vector<std::uint32_t> order(texts.size());
    std::iota(order.begin(), order.end(), 0u);
    const auto less = [&keys](std::uint32_t a, std::uint32_t b) { return keys[a]->compare(*keys[b]) < 0; };
    std::atomic<bool> stop = false;
    const bool done = InTwoHalves(texts.size(), [&](std::size_t begin, std::size_t end, bool first) {
        const QCollator collator(locale);
        for (std::size_t i = begin; i < end && !stop; ++i) {
            const std::string_view text = texts[i];
            const bool ascii = std::all_of(text.begin(), text.end(), [](char c) { return static_cast<unsigned char>(c) < 0x80; });
            keys[i] = collator.sortKey(ascii ? QString::fromLatin1(text.data(), static_cast<qsizetype>(text.size())) : Decoded(page, text));
            if (first && i % 4096 == 0 && !steps(300 + static_cast<int>(500 * i / end))) stop = true;
        }
        if (!stop) std::sort(order.begin() + static_cast<std::ptrdiff_t>(begin), order.begin() + static_cast<std::ptrdiff_t>(end), less);
    });
    if (!done || stop) return std::nullopt;
    std::inplace_merge(order.begin(), order.begin() + static_cast<std::ptrdiff_t>(texts.size() / 2), order.end(), less);
    return RanksOf(order, less);
}

// Dates and date-times are stored as digits from the year down, so their bytes order them.
std::vector<std::uint32_t> ByteRanks(const std::vector<std::string_view>& texts) {
    std::vector<std::uint32_t> order(texts.size());
    std::iota(order.begin(), order.end(), 0u);
    const auto less = [&texts](std::uint32_t a, std::uint32_t b) { return texts[a] < texts[b]; };
    std::sort(order.begin(), order.end(), less);
    return RanksOf(order, less);
}

}  // namespace

std::optional<std::vector<std::int32_t>> SortRecords(const OpenTable& table, int field, bool descending,
                                                     const QLocale& locale, const JobSteps& steps) {
    const auto count = static_cast<std::size_t>(table.RecordCount());
    const FieldStorage storage = table.Fields[static_cast<std::size_t>(field)].Storage;
    const bool text = storage != FieldStorage::Number && storage != FieldStorage::Truth;
    // Keys first hold each text's number among the distinct texts, then that text's rank.
    std::vector<std::pair<std::uint64_t, std::int32_t>> order(count);
    DistinctTexts distinct;
    for (std::size_t r = 0; r < count; ++r) {
        if (r % 65536 == 0 && !steps(static_cast<int>(300 * r / count))) return std::nullopt;
        HoldRecord(table, static_cast<std::int64_t>(r));
        const CellValue cell = table.Cell(static_cast<std::int64_t>(r), field);
        std::uint64_t key = kEmptyKey;
        if (cell.Kind == CellKind::Number) {
            key = NumberKey(cell.Number());
        } else if (cell.Kind == CellKind::Truth) {
            key = cell.Truth ? 1 : 0;
        } else if (cell.Kind == CellKind::Text && !WithoutPadding(cell.Text).empty()) {
            key = distinct.IdOf(WithoutPadding(cell.Text));
        } else if (cell.Kind == CellKind::Binary) {
            key = kBinaryKeys + cell.ByteSize;
        }
        order[r] = {key, static_cast<std::int32_t>(r)};
    }

    if (text) {
        const char type = table.FieldDescriptors[static_cast<std::size_t>(field)].Type;
        const std::optional<std::vector<std::uint32_t>> ranks =
            type == 'D' || type == 'T' || type == '@' ? ByteRanks(distinct.Texts())
                                                      : LocaleRanks(distinct.Texts(), *table.TableCodePage, locale, steps);
        if (!ranks) return std::nullopt;
        for (auto& [key, record] : order) {
            if (key < kBinaryKeys) key = (*ranks)[key];
        }
    }
    if (descending) {
        for (auto& [key, record] : order) {
            if (key != kEmptyKey) key = kEmptyKey - 1 - key;
        }
    }
    if (!steps(800)) return std::nullopt;
    std::sort(order.begin(), order.end());
    std::vector<std::int32_t> records(count);
    std::transform(order.begin(), order.end(), records.begin(), [](const auto& entry) { return entry.second; });
    return records;
}

}  // namespace quillet
