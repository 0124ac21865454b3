#pragma once

#include "support/checks.h"

namespace quillet::testing {

struct CliRun {
    int Status = -1;
    std::string Out, Err;
};

// Runs quillet-cli in the C locale, in workingFolder when one is given, after the shell command
// first (a ulimit, another locale) when there is one.
inline CliRun RunCli(const std::vector<std::string>& arguments, const std::string& workingFolder = ".", const std::string& first = "true") {
    TempDir streams;
    std::string command = "cd " + ShellQuoted(workingFolder) + " && export LC_ALL=C LANG= LANGUAGE= && " + first + " && " QUILLET_CLI;
    for (const std::string& a : arguments) command += " " + ShellQuoted(a);
    const std::string status = Output(command + " >" + (streams / "out").string() + " 2>" + (streams / "err").string() + "; echo $?");
    return {std::stoi(status), ReadFileBytes(streams / "out"), ReadFileBytes(streams / "err")};
}

}  // namespace quillet::testing
