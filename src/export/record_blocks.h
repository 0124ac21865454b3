#pragma once

#include <cstdint>
#include <functional>
#include <string>

#include "export/exporters.h"

namespace quillet {

class OutputFile;

// Appends the bytes of the records among [first, last) that the export writes to out.
using FormatBlock = std::function<void(std::string& out, std::int64_t first, std::int64_t last)>;

// Writes the table's records to file block by block, in file order. A large table's blocks are
// formatted on two threads (when twoThreads is set and the machine has two cores), each taking
// the next block as it finishes one (see BlockPipeline), so that formatting runs on both cores
// beside the writing. makeFormat is called once on each formatting thread, so that each
// formatter has scratch buffers of its own.
// Progress is reported on the calling thread only. An exception on either thread stops both
// and is thrown here.
void WriteRecordBlocks(OutputFile& file, const OpenTable& table, bool twoThreads, const ExportProgress& progress,
                       const std::function<FormatBlock()>& makeFormat);

}  // namespace quillet
