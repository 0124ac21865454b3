#pragma once

#include "cli/command_line.h"
#include "cli/outcome.h"

namespace quillet::cli {

// Converts every table of the invocation with its settings; a table that fails is reported
// and the others still run.
Outcome RunConvert(const Invocation& invocation);

}  // namespace quillet::cli
