#pragma once

// Runs a consumer program (sqlite3, xmllint) through the shell and gives back its exit code
// and everything it printed, standard error included.

#include <sys/wait.h>

#include <cstdio>
#include <string>

namespace quillet::testing {

struct ProgramRun {
    int ExitCode = -1;
    std::string Output;
};

inline ProgramRun RunProgram(const std::string& command) {
    ProgramRun run;
    FILE* pipe = ::popen((command + " 2>&1").c_str(), "r");
    if (pipe == nullptr) return run;
    char buffer[4096];
    for (std::size_t n; (n = std::fread(buffer, 1, sizeof buffer, pipe)) > 0;) run.Output.append(buffer, n);
    const int status = ::pclose(pipe);
    run.ExitCode = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    return run;
}

// The text in single quotes for the shell.
inline std::string ShellQuoted(const std::string& text) {
    std::string quoted = "'";
    for (char c : text) quoted += c == '\'' ? std::string("'\\''") : std::string(1, c);
    return quoted + "'";
}

}  // namespace quillet::testing
