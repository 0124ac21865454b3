#include "cli/outcome.h"

#include <cstdio>

namespace quillet::cli {

void Complain(const std::string& message) { std::fprintf(stderr, "quillet-cli: %s\n", message.c_str()); }

}  // namespace quillet::cli
