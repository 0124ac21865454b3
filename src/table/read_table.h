#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include <functional>
#include <memory>

#include "table/byte_source.h"
#include "table/open_table.h"
#include "table/table_error.h"

namespace quillet {

// A table's memo file: the opened file and its name, or, when there is none, nullptr, the name
// it was looked for under and why it cannot be had.
struct MemoSource {
    std::unique_ptr<ByteSource> Source;
    std::string Name;
    bool FoxPro = false;  // an .fpt file, else a .dbt
    std::string Problem;
};
// Finds the memo file of a table that has memo fields; foxPro: the table is FoxPro's (.fpt first).
using MemoFinder = std::function<MemoSource(bool foxPro)>;

// The memo file beside the table at path, whatever the letter case of its name.
MemoSource FindMemoFile(const std::string& path, bool foxPro);

// Reads the whole table file at path into a new table (columns not yet listed), with its memos.
// Throws TableError with a message naming the file and the fault; what cannot be read of the
// memos is left empty and said in the table's Warnings.
OpenTable ReadTableFile(const std::string& path, const ReadProgress& progress = {});

// The same reading over bytes already in memory; name stands for the file in messages.
// A .cpg file is a file-system matter, so the code page comes from the header alone. memo holds
// the memo file's bytes (nullptr: there is none), read as the table's version expects.
OpenTable ReadTableBytes(std::string_view bytes, const std::string& name, const ReadProgress& progress = {},
                         const std::string_view* memo = nullptr);

// What both share: the table in source, whose messages name name.
OpenTable ReadTableFrom(ByteSource& source, const std::string& name, const MemoFinder& findMemo,
                        const ReadProgress& progress = {});

// What reading the memos of some records met: the memo pointers, those that could not be read,
// and, when the memo file could not be had, why (every pointer then counts as lost).
struct MemoTally {
    std::uint64_t Pointers = 0;
    std::uint64_t Unreadable = 0;
    std::string Name;
    std::string Problem;

    void Add(const MemoTally& other);
    // What to tell the user, ready to show; none when every memo was read.
    std::vector<std::string> Warnings() const;
};

// The table's header, fields and code page, and how many records the file holds, without
// reading a record: the table holds none yet. Throws TableError as ReadTableFrom does.
OpenTable ReadTableHead(ByteSource& source, const std::string& name);

// Reads records [first, last) of the table whose head came from source into memory, in place of
// the ones held, with their memos.
MemoTally ReadRecordWindow(ByteSource& source, OpenTable& table, std::int64_t first, std::int64_t last,
                           const MemoFinder& findMemo, const ReadProgress& progress = {});

// Replaces what the reader owns in table (header, names, cells, flags, code page) with the file
// at path, keeping the Open command's part. An empty path changes nothing; a refused file throws
// and leaves table untouched.
void ReadTable(const std::string& path, OpenTable& table, const ReadProgress& progress = {});

// The version byte's description, or nullptr when the byte is not one we read.
const char* VersionTextOf(std::uint8_t version);

}  // namespace quillet
