#pragma once

// Consumer programs and golden files.

#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <string>

#include "support/files.h"

namespace quillet::testing {

inline std::string ShellQuoted(const std::string& text) {
    std::string quoted = "'";
    for (char c : text) quoted += c == '\'' ? std::string("'\\''") : std::string(1, c);
    return quoted + "'";
}

// Everything a shell command printed, standard error included; a failing command fails the test.
inline std::string Output(const std::string& command) {
    std::string out;
    FILE* pipe = ::popen((command + " 2>&1").c_str(), "r");
    char buffer[4096];
    for (std::size_t n; pipe != nullptr && (n = std::fread(buffer, 1, sizeof buffer, pipe)) > 0;) out.append(buffer, n);
    EXPECT_EQ(pipe == nullptr ? -1 : ::pclose(pipe), 0) << command << "\n" << out;
    return out;
}

// Compares bytes with a file under tests/data; a difference leaves them beside it as NAME.actual.
inline void ExpectGolden(const std::string& actual, const std::string& name) {
    const std::filesystem::path golden = std::filesystem::path(QUILLET_TEST_DATA) / name;
    const std::filesystem::path beside = golden.string() + ".actual";
    if (actual == ReadFileBytes(golden)) {
        std::filesystem::remove(beside);
    } else {
        WriteFileBytes(beside, actual);
        ADD_FAILURE() << golden << " differs; the output is in " << beside;
    }
}

}  // namespace quillet::testing
