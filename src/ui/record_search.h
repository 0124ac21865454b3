#pragma once

#include <QString>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "table/open_table.h"
#include "ui/two_halves.h"

namespace quillet {

struct TextQuery {
    QString Text;
    bool MatchCase = false;
    bool WholeCell = false;  // the cell without its padding blanks equals the text
    int Field = -1;          // the one field searched, or -1 for every listed field
};

// Whether cells show a query's text, read as the list shows them (the code page's text, numbers
// with the decimal separator, "True"/"False"). An empty text matches nothing. Keeps scratch
// space: one matcher per thread.
class CellMatcher {
public:
    CellMatcher(const OpenTable& table, const TextQuery& query, char decimalSeparator);

    bool Matches(std::int64_t record, int field);
    int CountIn(std::int64_t record);
    // The searched fields of record whose cells match, in field order.
    std::vector<int> MatchingFields(std::int64_t record);

private:
    bool MatchesShown(std::string_view bytes) const;

    const OpenTable& table_;
    TextQuery query_;
    char decimalSeparator_;
    // Most cells are ASCII, which every code page keeps as it is: those are compared as bytes
    // with asciiText_ (lower case unless the case must match), without decoding.
    std::string asciiText_;
    bool asciiCellsCanMatch_ = false;
    std::string scratch_;
};

// How many searched cells of each record match (file order); nothing when steps asked to stop
// or the helper thread ran out of memory.
std::optional<std::vector<std::uint16_t>> CountMatches(const OpenTable& table, const TextQuery& query,
                                                       char decimalSeparator, const JobSteps& steps);

// A cell by its place in the view: the row shown and the field.
struct CellPlace {
    int Row = -1;
    int Field = -1;
    bool operator==(const CellPlace&) const = default;
};

// The matches of one query (their counts per record), walked in the order a view shows records.
class MatchWalk {
public:
    MatchWalk(std::vector<std::uint16_t> counts, CellMatcher matcher, int rows, std::function<std::int64_t(int)> recordAt);
    // After the view sorted or filtered its rows anew.
    void Rearranged(int rows);

    // The first match after from (before it, backward), wrapping around the view's ends;
    // Row -1 when nothing matches. A Row of -1 in from starts before the first row (after the last).
    CellPlace Next(CellPlace from, bool backward);
    // Place's number among the matches in view order, from 1.
    std::int64_t NumberOf(CellPlace place);
    std::int64_t Total() const { return total_; }

private:
    std::uint16_t CountAt(int row) const { return counts_[static_cast<std::size_t>(recordAt_(row))]; }

    std::vector<std::uint16_t> counts_;
    CellMatcher matcher_;
    int rows_ = 0;
    std::function<std::int64_t(int)> recordAt_;
    std::int64_t total_ = 0;
};

}  // namespace quillet
