#pragma once

#include <string>
#include <vector>

#include "cli/outcome.h"
#include "table/code_page.h"

namespace quillet::cli {

// For each table: the information box's four lines, its code page and where that came from,
// the memo file read (when there is one), then one line per listed field (name, type letter
// and word, length, decimals); a blank line between tables.
// With an encoding, the tables are read in that code page.
Outcome RunInfo(const std::vector<std::string>& tables, const CodePage* encoding);

}  // namespace quillet::cli
