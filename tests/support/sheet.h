#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace quillet::testing {

// An exported file taken back apart by a reader of its format.
struct Sheet {
    std::vector<std::string> Names;                 // the exported columns, as the file names them
    std::vector<std::vector<std::string>> Rows;     // the written records' cell texts, in order
    // Only from formats that keep table positions: the record number of each row and the
    // column number of each name, both from 1.
    std::vector<std::int64_t> RecordNumbers;
    std::vector<int> ColumnNumbers;
};

}  // namespace quillet::testing
