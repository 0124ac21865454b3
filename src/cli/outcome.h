#pragma once

#include <algorithm>
#include <string>

namespace quillet::cli {

// How a run ends; the value is the exit status, and a run takes the worst of its tables.
enum class Outcome { Done = 0, Failed = 1, Misused = 2 };

inline Outcome Worse(Outcome a, Outcome b) { return std::max(a, b); }

// One line on standard error, after the program's name.
void Complain(const std::string& message);

}  // namespace quillet::cli
