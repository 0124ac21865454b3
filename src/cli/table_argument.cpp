#include "cli/table_argument.h"

#include <cstdio>
#include <filesystem>
#include <new>

#include "export/export_error.h"
#include "table/table_code_page.h"

namespace quillet::cli {

std::string FullPath(const std::string& argument) {
    std::error_code error;
    const std::filesystem::path full = std::filesystem::absolute(argument, error);
    return error ? argument : full.lexically_normal().string();
}

std::unique_ptr<TableStream> OpenTableArgument(const std::string& argument, const CodePage* encoding) {
    std::unique_ptr<TableStream> stream;
    try {
        stream = std::make_unique<TableStream>(argument);
    } catch (const TableError& e) {
        if (e.ErrorKind() != TableError::Kind::UnknownVersion) throw;
        // The reader's words for an unknown version name no file and end in the raw byte,
        // which a terminal may not show: name the file and give the byte in hex.
        const std::string reason = e.what();
        char byte[8] = "";
        if (!reason.empty()) std::snprintf(byte, sizeof byte, "0x%02X", static_cast<unsigned char>(reason.back()));
        throw TableError(TableError::Kind::UnknownVersion, "Cannot read \"" + argument + "\": " +
                                                               reason.substr(0, reason.find(" & ")) +
                                                               " (its version byte is " + byte + ").");
    }
    OpenTable& table = stream->Table();
    if (encoding != nullptr) UseChosenCodePage(table, *encoding);
    table.ListColumns();
    table.SetSource(FullPath(argument));
    return stream;
}

std::string FailureMessage(const std::string& argument, std::exception_ptr failure) {
    try {
        std::rethrow_exception(failure);
    } catch (const TableError& e) {
        return e.what();
    } catch (const ExportError& e) {
        return e.what();
    } catch (const std::bad_alloc&) {
        return "\"" + argument + "\": there is not enough memory for it.";
    } catch (const std::exception& e) {
        return "\"" + argument + "\": " + e.what() + ".";
    } catch (...) {
        return "\"" + argument + "\": an unknown failure.";
    }
}

}  // namespace quillet::cli
