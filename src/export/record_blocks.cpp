#include "export/record_blocks.h"

#include <algorithm>
#include <exception>
#include <optional>
#include <system_error>
#include <thread>

#include "export/block_pipeline.h"
#include "table/table_stream.h"

namespace quillet {

namespace {

// Records per block of a table held whole: a 512th of the table, so that the few blocks in hand
// stay a small part of the memory the table takes, however small the table; at least 32 KiB of
// it, so that handing blocks over stays cheap, and at most 64 KiB or 8,192 records (short records
// can grow manyfold in the output), so that a block and its output stay in the processor's cache.
std::int64_t BlockRecords(const OpenTable& table) {
    const std::int64_t recordLength = std::max<std::int64_t>(1, table.Header.RecordLength);
    const std::int64_t bytes = std::clamp<std::int64_t>(table.RecordCount() * recordLength / 512, 32 << 10, 64 << 10);
    return std::clamp<std::int64_t>(bytes / recordLength, 1, 8192);
}

// A formatting thread's buffer. The string's own size and pointer change with every cell
// appended: two of them in one cache line would send that line from core to core all the time
// (the formatting took twice the CPU).
struct alignas(64) ThreadBuffer {
    std::string Bytes;
};

}  // namespace

void WriteRecordBlocks(OutputFile& file, const OpenTable& table, bool twoThreads, const ExportProgress& progress,
                       const MakeFormatBlock& makeFormat) {
    const std::int64_t count = table.RecordCount();
    // A table read a window at a time is formatted a window a block: each thread holds the
    // windows it formats in a stream of its own, so neither waits for the other between windows.
    const bool streamed = table.Windows != nullptr;
    const std::int64_t blockRecords = streamed ? std::max<std::int64_t>(1, table.Windows->WindowRecords()) : BlockRecords(table);
    BlockPipeline pipeline(file, (count + blockRecords - 1) / blockRecords);
    ThreadBuffer buffers[2];

    const auto work = [&](const OpenTable& part, bool reports) {
        const FormatBlock format = makeFormat(part);
        std::string& bytes = buffers[reports ? 0 : 1].Bytes;
        for (std::int64_t block; (block = pipeline.Take()) >= 0;) {
            const std::int64_t first = block * blockRecords;
            const std::int64_t last = std::min(count, first + blockRecords);
            if (streamed) part.Windows->Hold(first, last);
            bytes.clear();
            format(bytes, first, last);
            pipeline.Finish(block, bytes);
            if (reports && progress) progress(std::min(count, pipeline.Written() * blockRecords), count);
        }
    };

    std::optional<TableForThread> helperTable;
    std::exception_ptr helperFailure;
    // Declared after what it uses: leaving this function by an exception joins it first.
    std::jthread helper;
    if (count > blockRecords && twoThreads && std::thread::hardware_concurrency() >= 2) {
        helperTable.emplace(table, WindowOrder::Scattered);
        try {
            helper = std::jthread([&] {
                try {
                    work(helperTable->Table(), false);
                } catch (...) {
                    helperFailure = std::current_exception();
                    pipeline.Abandon();
                }
            });
        } catch (const std::system_error&) {
            // No second thread to be had: this one does all.
        }
    }
    // Alone, this thread holds every window in turn, and the next is read ahead meanwhile.
    const TableForThread own(table, helper.joinable() ? WindowOrder::Scattered : WindowOrder::InTurn);
    try {
        work(own.Table(), true);
    } catch (...) {
        pipeline.Abandon();
        throw;
    }
    if (helper.joinable()) helper.join();
    if (helperFailure) std::rethrow_exception(helperFailure);
    if (progress) progress(count, count);
}

}  // namespace quillet
