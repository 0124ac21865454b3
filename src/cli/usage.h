#pragma once

#include <string_view>

namespace quillet::cli {

// The whole manual, printed by --help.
std::string_view ManualText();

// The two synopsis lines, shown after a usage error.
std::string_view SynopsisText();

}  // namespace quillet::cli
