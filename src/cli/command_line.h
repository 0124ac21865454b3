#pragma once

#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

#include "export/export_settings.h"
#include "table/code_page.h"

namespace quillet::cli {

// The caller got the command line wrong; the message says what and how to fix it.
class UsageError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

enum class Command { Help, Version, Info, Convert };

struct Invocation {
    cli::Command Command = Command::Help;
    std::vector<std::string> Tables;
    // Info and convert: the code page the tables are read in, instead of the one they declare.
    const CodePage* Encoding = nullptr;

    // Convert only. Settings start at the desktop program's defaults; SaveFolder stays empty
    // and each table's own folder is used unless OutFolder is given.
    ExportSettings Settings;
    std::optional<std::string> OutFolder;
    std::optional<std::vector<std::string>> Columns;
    // Tables converted at the same time; 0 for as many as the machine has cores.
    unsigned Jobs = 0;
};

// Reads the arguments after the program's name. Throws UsageError.
Invocation ParseCommandLine(const std::vector<std::string>& arguments);

}  // namespace quillet::cli
