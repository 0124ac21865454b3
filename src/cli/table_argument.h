#pragma once

#include <exception>
#include <memory>
#include <string>

#include "cli/outcome.h"
#include "cli/transcript.h"
#include "table/table_stream.h"

namespace quillet::cli {

// Opens the table a command-line argument names, a window of records at a time, its columns
// listed and its full path kept, as the desktop program has them after opening the same file.
// What could not be read of its records (memos) is in the stream's Warnings once they have been
// held. Throws TableError with a message that names the file, whatever the reader refused. With
// an encoding, the table is read in that code page instead of the one it declares.
std::unique_ptr<TableStream> OpenTableArgument(const std::string& argument, const CodePage* encoding = nullptr);

// The argument as a full path, the table's source once it is open.
std::string FullPath(const std::string& argument);

// What a failure while handling argument was, naming the file and the reason.
std::string FailureMessage(const std::string& argument, std::exception_ptr failure);

// Runs work (returning an Outcome) for one table argument. Whatever it throws goes to the
// transcript, naming the file and the reason, and the table counts as failed.
template <typename Work>
Outcome ForTable(const std::string& argument, Transcript& transcript, Work&& work) {
    try {
        return work();
    } catch (...) {
        transcript.Complain(FailureMessage(argument, std::current_exception()));
        return Outcome::Failed;
    }
}

}  // namespace quillet::cli
