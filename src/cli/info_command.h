#pragma once

#include <string>
#include <vector>

#include "cli/outcome.h"

namespace quillet::cli {

// For each table: the information box's four lines, the memo file read (when there is one),
// then one line per listed field (name, type letter and word, length, decimals); a blank line
// between tables.
Outcome RunInfo(const std::vector<std::string>& tables);

}  // namespace quillet::cli
