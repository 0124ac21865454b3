#pragma once

#include <string>
#include <vector>

#include "cli/outcome.h"

namespace quillet::cli {

// For each table: the information box's four lines, then one line per listed field
// (name, type, length, decimals); a blank line between tables.
Outcome RunInfo(const std::vector<std::string>& tables);

}  // namespace quillet::cli
