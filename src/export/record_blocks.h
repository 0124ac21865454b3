#pragma once

#include <cstdint>
#include <functional>
#include <string>

#include "export/exporters.h"

namespace quillet {

class OutputFile;

// Appends the bytes of the records among [first, last) that the export writes to out.
using FormatBlock = std::function<void(std::string& out, std::int64_t first, std::int64_t last)>;
// A formatter of table's records: it reads them from table, which holds the ones it is given.
using MakeFormatBlock = std::function<FormatBlock(const OpenTable& table)>;

// Writes the table's records to file block by block, in file order. A large table's blocks are
// formatted on two threads (when twoThreads is set and the machine has two cores), each taking
// the next block as it finishes one (see BlockPipeline), so that formatting runs on both cores
// beside the writing. A table held whole is shared by the threads, in blocks of a few dozen
// KiB; a table read a window at a time goes a window a block, each thread holding the windows
// it takes in a stream of its own (see TableForThread), so that neither waits for the other to
// be done with a window. makeFormat is called once on each formatting thread, with the table
// that thread reads, so that each formatter has scratch buffers of its own.
// Progress is reported on the calling thread only. An exception on either thread stops both
// and is thrown here.
void WriteRecordBlocks(OutputFile& file, const OpenTable& table, bool twoThreads, const ExportProgress& progress,
                       const MakeFormatBlock& makeFormat);

}  // namespace quillet
