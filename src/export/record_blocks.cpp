#include "export/record_blocks.h"

#include <algorithm>
#include <condition_variable>
#include <exception>
#include <mutex>
#include <stop_token>
#include <system_error>
#include <thread>

#include "export/block_pipeline.h"

namespace quillet {

namespace {

// Records per block: a 512th of the table, so that the few blocks in hand stay a small part of
// the memory the table takes, however small the table; at least 32 KiB of it, so that handing
// blocks over stays cheap, and at most 64 KiB or 8,192 records (short records can grow manyfold
// in the output): a block and its output stay in the processor's cache, and the thread that
// formats a window's last block keeps the other waiting a short while only (1 MiB blocks made a
// CSV of a million records 7 to 12 % slower).
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
                       const std::function<FormatBlock()>& makeFormat) {
    // One pipeline and one buffer a thread for every window: the memory the formatted bytes take
    // is taken once, not again (and filled page by page) for each window.
    BlockPipeline pipeline(file);
    ThreadBuffer buffers[2];
    const std::int64_t count = table.RecordCount();
    const std::int64_t blockRecords = BlockRecords(table);
    std::int64_t first = 0, last = 0;  // the window held

    const auto work = [&](const FormatBlock& format, bool reports) {
        std::string& bytes = buffers[reports ? 0 : 1].Bytes;
        for (std::int64_t block; (block = pipeline.Take()) >= 0;) {
            const std::int64_t start = first + block * blockRecords;
            bytes.clear();
            format(bytes, start, std::min(last, start + blockRecords));
            pipeline.Finish(block, bytes);
            if (reports && progress) progress(std::min(last, first + pipeline.Written() * blockRecords), count);
        }
    };

    // The helper takes a turn at every window, one thread for the whole table: a thread made for
    // each window starts late, and the thread that does all the window's blocks meanwhile leaves a
    // core idle. Turns are counted: given to the helper, and finished by it.
    std::mutex mutex;
    std::condition_variable_any changed;
    std::int64_t given = 0, finished = 0;
    std::exception_ptr helperFailure;
    const FormatBlock own = makeFormat();
    // Declared after what it uses: leaving this function by an exception stops and joins it first.
    std::jthread helper;
    if (count > blockRecords && twoThreads && std::thread::hardware_concurrency() >= 2) {
        try {
            helper = std::jthread([&](const std::stop_token& stop) {
                // Made on this thread, so that its scratch buffers lie in this thread's memory: made
                // right after the calling thread's, they shared cache lines with it (an XML export
                // took 40 % more processor time).
                FormatBlock format;
                for (std::int64_t turn = 1;; ++turn) {
                    {
                        std::unique_lock lock(mutex);
                        if (!changed.wait(lock, stop, [&] { return given >= turn; })) return;
                    }
                    try {
                        if (!format) format = makeFormat();
                        work(format, false);
                    } catch (...) {
                        helperFailure = std::current_exception();
                        pipeline.Abandon();
                    }
                    {
                        const std::lock_guard lock(mutex);
                        finished = turn;
                    }
                    changed.notify_all();
                }
            });
        } catch (const std::system_error&) {
            // No second thread to be had: this one does all.
        }
    }

    ForEachWindow(table, [&](std::int64_t windowFirst, std::int64_t windowLast) {
        first = windowFirst;
        last = windowLast;
        pipeline.Start((last - first + blockRecords - 1) / blockRecords);
        if (helper.joinable()) {
            {
                const std::lock_guard lock(mutex);
                ++given;
            }
            changed.notify_all();
        }
        try {
            work(own, true);
        } catch (...) {
            pipeline.Abandon();
            throw;
        }
        // The next window takes this one's place: the helper must be done with it.
        std::unique_lock lock(mutex);
        changed.wait(lock, [&] { return finished == given; });
        if (helperFailure) std::rethrow_exception(helperFailure);
    });
    if (progress) progress(count, count);
}

}  // namespace quillet
