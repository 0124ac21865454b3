#include "ui/record_sort.h"

#include <QCollator>
#include <algorithm>
#include <bit>
#include <numeric>
#include <string_view>
#include <unordered_map>

#include "ui/decoded_text.h"

namespace quillet {
namespace {

constexpr std::uint64_t kEmptyKey = ~std::uint64_t{0};
constexpr std::uint32_t kNotText = ~std::uint32_t{0};

// Doubles as unsigned integers in the same order: a negative number has every bit turned (the
// larger its magnitude, the smaller it gets), any other only its sign bit.
std::uint64_t NumberKey(double value) {
    const auto bits = std::bit_cast<std::uint64_t>(value == 0 ? 0.0 : value);
    return (bits >> 63) != 0 ? ~bits : bits | (std::uint64_t{1} << 63);
}

std::string_view WithoutPadding(std::string_view text) {
    const std::size_t end = text.find_last_not_of(std::string_view(" \0", 2));
    return end == std::string_view::npos ? std::string_view() : text.substr(0, end + 1);
}

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
            keys[i] = collator.sortKey(Decoded(page, texts[i]));
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
    std::vector<std::uint64_t> keys(count, kEmptyKey);
    std::vector<std::uint32_t> textIds(count, kNotText);
    std::vector<std::string_view> texts;  // each distinct text once
    std::unordered_map<std::string_view, std::uint32_t> ids;
    for (std::size_t r = 0; r < count; ++r) {
        if (r % 65536 == 0 && !steps(static_cast<int>(300 * r / count))) return std::nullopt;
        const CellValue cell = table.Cell(static_cast<std::int64_t>(r), field);
        if (cell.Kind == CellKind::Number) {
            keys[r] = NumberKey(cell.Number);
        } else if (cell.Kind == CellKind::Truth) {
            keys[r] = cell.Truth ? 1 : 0;
        } else if (cell.Kind == CellKind::Text) {
            const std::string_view text = WithoutPadding(cell.Text);
            if (text.empty()) continue;
            const auto [at, added] = ids.try_emplace(text, static_cast<std::uint32_t>(texts.size()));
            if (added) texts.push_back(text);
            textIds[r] = at->second;
        }
    }

    const char type = table.FieldDescriptors[static_cast<std::size_t>(field)].Type;
    std::optional<std::vector<std::uint32_t>> ranks;
    if (type == 'D' || type == 'T' || type == '@') {
        ranks = ByteRanks(texts);
    } else {
        ranks = LocaleRanks(texts, *table.TableCodePage, locale, steps);
    }
    if (!ranks) return std::nullopt;

    std::vector<std::pair<std::uint64_t, std::int32_t>> order(count);
    for (std::size_t r = 0; r < count; ++r) {
        std::uint64_t key = textIds[r] == kNotText ? keys[r] : (*ranks)[textIds[r]];
        if (descending && key != kEmptyKey) key = kEmptyKey - 1 - key;
        order[r] = {key, static_cast<std::int32_t>(r)};
    }
    if (!steps(800)) return std::nullopt;
    std::sort(order.begin(), order.end());
    std::vector<std::int32_t> records(count);
    std::transform(order.begin(), order.end(), records.begin(), [](const auto& entry) { return entry.second; });
    return records;
}

}  // namespace quillet
