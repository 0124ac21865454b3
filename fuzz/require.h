#pragma once

#include <cstdio>
#include <cstdlib>
#include <string>

namespace quillet::fuzzing {

// A broken promise stops the fuzzer at once, saying which, so that the finding it saves comes
// with the reason.
inline void Require(bool condition, const char* what, const std::string& detail = {}) {
    if (condition) return;
    std::fprintf(stderr, "broken: %s%s%s\n", what, detail.empty() ? "" : " ", detail.c_str());
    std::abort();
}

}  // namespace quillet::fuzzing
