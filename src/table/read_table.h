#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "table/byte_source.h"
#include "table/open_table.h"
#include "table/table_error.h"

namespace quillet {

// Reads the whole table file at path into a new table (columns not yet listed).
// Throws TableError with a message naming the file and the fault.
OpenTable ReadTableFile(const std::string& path, const ReadProgress& progress = {});

// The same reading over bytes already in memory; name stands for the file in messages.
// A .cpg file is a file-system matter, so the code page comes from the header alone.
OpenTable ReadTableBytes(std::string_view bytes, const std::string& name, const ReadProgress& progress = {});

// What both share: the table in source, whose messages name name.
OpenTable ReadTableFrom(ByteSource& source, const std::string& name, const ReadProgress& progress = {});

// Replaces what the reader owns in table (header, names, cells, flags, code page) with the file
// at path, keeping the Open command's part. An empty path changes nothing; a refused file throws
// and leaves table untouched.
void ReadTable(const std::string& path, OpenTable& table, const ReadProgress& progress = {});

// The version byte's description, or nullptr when the byte is not one we read.
const char* VersionTextOf(std::uint8_t version);

}  // namespace quillet
