#pragma once

#include <cstdint>
#include <functional>
#include <string>

#include "table/open_table.h"
#include "table/table_error.h"

namespace quillet {

// Called now and then while a table is read: bytes done of bytes to do.
using ReadProgress = std::function<void(std::uint64_t done, std::uint64_t total)>;

// Reads the whole table file at path into a new table (columns not yet listed).
// Throws TableError with a message naming the file and the fault.
OpenTable ReadTableFile(const std::string& path, const ReadProgress& progress = {});

// Replaces what the reader owns in table (header, names, cells, flags, code page) with the file
// at path, keeping the Open command's part. An empty path changes nothing; a refused file throws
// and leaves table untouched.
void ReadTable(const std::string& path, OpenTable& table, const ReadProgress& progress = {});

// The version byte's description, or nullptr when the byte is not one we read.
const char* VersionTextOf(std::uint8_t version);

}  // namespace quillet
