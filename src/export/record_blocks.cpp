#include "export/record_blocks.h"

#include <algorithm>
#include <exception>
#include <system_error>
#include <thread>

#include "export/block_pipeline.h"

namespace quillet {

namespace {

// Records per block: a 512th of the table, so that the few blocks in hand stay a small part of
// the memory the table takes, however small the table; at least 32 KiB of it, so that handing
// blocks over stays cheap, and at most 1 MiB or 8,192 records (short records can grow manyfold
// in the output).
std::int64_t BlockRecords(const OpenTable& table) {
    const std::int64_t recordLength = std::max<std::int64_t>(1, table.Header.RecordLength);
    const std::int64_t bytes = std::clamp<std::int64_t>(table.RecordCount() * recordLength / 512, 32 << 10, 1 << 20);
    return std::clamp<std::int64_t>(bytes / recordLength, 1, 8192);
}

// A formatting thread's buffer. The string's own size and pointer change with every cell
// appended: two of them in one cache line would send that line from core to core all the time
// (the formatting took twice the CPU).
struct alignas(64) ThreadBuffer {
    std::string Bytes;
};

// Records [first, last) of the table, which are held in memory, as in WriteRecordBlocks; each
// thread formats into a buffer of its own.
void WriteHeldRecords(BlockPipeline& pipeline, ThreadBuffer (&buffers)[2], const OpenTable& table, std::int64_t first,
                      std::int64_t last, bool twoThreads, const ExportProgress& progress,
                      const std::function<FormatBlock()>& makeFormat) {
    const std::int64_t count = table.RecordCount();
    const std::int64_t blockRecords = BlockRecords(table);
    const std::int64_t blocks = (last - first + blockRecords - 1) / blockRecords;
    pipeline.Start(blocks);

    auto work = [&](const FormatBlock& format, bool reports) {
        std::string& bytes = buffers[reports ? 0 : 1].Bytes;
        for (std::int64_t block; (block = pipeline.Take()) >= 0;) {
            const std::int64_t start = first + block * blockRecords;
            bytes.clear();
            format(bytes, start, std::min(last, start + blockRecords));
            pipeline.Finish(block, bytes);
            if (reports && progress) progress(std::min(last, first + pipeline.Written() * blockRecords), count);
        }
    };

    const FormatBlock own = makeFormat();
    const FormatBlock helperFormat = blocks > 1 && twoThreads && std::thread::hardware_concurrency() >= 2 ? makeFormat() : FormatBlock();
    std::exception_ptr helperFailure;
    // Declared after what it uses: leaving this function by an exception joins it first.
    std::jthread helper;
    if (helperFormat) {
        try {
            helper = std::jthread([&] {
                try {
                    work(helperFormat, false);
                } catch (...) {
                    helperFailure = std::current_exception();
                    pipeline.Abandon();
                }
            });
        } catch (const std::system_error&) {
            // No second thread to be had: this one does all.
        }
    }
    try {
        work(own, true);
    } catch (...) {
        pipeline.Abandon();
        throw;
    }
    if (helper.joinable()) helper.join();
    if (helperFailure) std::rethrow_exception(helperFailure);
}

}  // namespace

void WriteRecordBlocks(OutputFile& file, const OpenTable& table, bool twoThreads, const ExportProgress& progress,
                       const std::function<FormatBlock()>& makeFormat) {
    // One pipeline and one buffer a thread for every window: the memory the formatted bytes take
    // is taken once, not again (and filled page by page) for each window.
    BlockPipeline pipeline(file);
    ThreadBuffer buffers[2];
    ForEachWindow(table, [&](std::int64_t first, std::int64_t last) {
        WriteHeldRecords(pipeline, buffers, table, first, last, twoThreads, progress, makeFormat);
    });
    if (progress) progress(table.RecordCount(), table.RecordCount());
}

}  // namespace quillet
