#pragma once

// Runs the built quillet-cli with arguments, in the C locale, and collects what it said.

#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>

#include <filesystem>
#include <string>
#include <vector>

#include "support/table_builder.h"

extern char** environ;

namespace quillet::testing {

struct CliRun {
    int Status = -1;  // the exit status, or -1 when the program did not exit normally
    std::string Out;
    std::string Err;
};

// workingFolder: where the program starts (the test's own folder when empty).
inline CliRun RunCli(const std::vector<std::string>& arguments, const std::string& workingFolder = {}) {
    TempDir streams;
    const std::string outPath = (streams / "stdout").string();
    const std::string errPath = (streams / "stderr").string();

    std::vector<std::string> all{QUILLET_CLI};
    all.insert(all.end(), arguments.begin(), arguments.end());
    std::vector<char*> argv;
    for (std::string& a : all) argv.push_back(a.data());
    argv.push_back(nullptr);

    std::vector<std::string> environment{"LC_ALL=C"};
    for (char** e = environ; *e != nullptr; ++e) {
        const std::string entry = *e;
        if (entry.rfind("LC_", 0) != 0 && entry.rfind("LANG", 0) != 0) environment.push_back(entry);
    }
    std::vector<char*> envp;
    for (std::string& e : environment) envp.push_back(e.data());
    envp.push_back(nullptr);

    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 1, outPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
    posix_spawn_file_actions_addopen(&actions, 2, errPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
    if (!workingFolder.empty()) posix_spawn_file_actions_addchdir_np(&actions, workingFolder.c_str());
    pid_t pid = 0;
    CliRun run;
    if (posix_spawn(&pid, QUILLET_CLI, &actions, nullptr, argv.data(), envp.data()) == 0) {
        int status = 0;
        waitpid(pid, &status, 0);
        if (WIFEXITED(status)) run.Status = WEXITSTATUS(status);
    }
    posix_spawn_file_actions_destroy(&actions);
    run.Out = ReadFileBytes(outPath);
    run.Err = ReadFileBytes(errPath);
    return run;
}

}  // namespace quillet::testing
