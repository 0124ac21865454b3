#include <cstdio>
#include <string>
#include <vector>

#include "cli/command_line.h"
#include "cli/convert_command.h"
#include "cli/info_command.h"
#include "cli/usage.h"

using namespace quillet::cli;

int main(int argc, char** argv) {
    Invocation invocation;
    try {
        invocation = ParseCommandLine(std::vector<std::string>(argv + 1, argv + argc));
    } catch (const UsageError& e) {
        Complain(e.what());
        std::fprintf(stderr, "%.*s", static_cast<int>(SynopsisText().size()), SynopsisText().data());
        std::fputs("Try \"quillet-cli --help\" for more.\n", stderr);
        return static_cast<int>(Outcome::Misused);
    }

    switch (invocation.Command) {
    case Command::Help:
        std::fwrite(ManualText().data(), 1, ManualText().size(), stdout);
        return 0;
    case Command::Version:
        std::printf("quillet-cli %s\n", QUILLET_VERSION);
        return 0;
    case Command::Info:
        return static_cast<int>(RunInfo(invocation.Tables, invocation.Encoding));
    case Command::Convert:
        return static_cast<int>(RunConvert(invocation));
    }
    return 0;
}
