#include "export/record_blocks.h"

#include <algorithm>
#include <atomic>
#include <condition_variable>
#include <exception>
#include <mutex>
#include <system_error>
#include <thread>

#include "export/output_file.h"

namespace quillet {

namespace {

std::atomic<bool> twoThreads{std::thread::hardware_concurrency() >= 2};

// Records per block: enough that handing blocks between threads costs nothing noticeable, few
// enough for wide records that the two blocks in hand stay a few megabytes.
std::int64_t BlockRecords(const OpenTable& table) {
    constexpr std::int64_t kMostRecords = 8192;
    constexpr std::int64_t kTableBytes = 2 << 20;
    return std::clamp<std::int64_t>(kTableBytes / std::max<std::int64_t>(1, table.Header.RecordLength), 1, kMostRecords);
}

// Blocks go to the file strictly in order: a thread with a formatted block waits for its turn.
class WritingOrder {
public:
    // Waits until block is the next to be written. False when the export failed meanwhile.
    bool WaitForTurn(std::int64_t block) {
        std::unique_lock lock(mutex_);
        changed_.wait(lock, [&] { return next_ == block || abandoned_; });
        return !abandoned_;
    }
    void Written() {
        {
            const std::lock_guard lock(mutex_);
            ++next_;
        }
        changed_.notify_all();
    }
    // Nothing more is to be written; wakes the thread waiting for its turn.
    void Abandon() {
        {
            const std::lock_guard lock(mutex_);
            abandoned_ = true;
        }
        changed_.notify_all();
    }

private:
    std::mutex mutex_;
    std::condition_variable changed_;
    std::int64_t next_ = 0;
    bool abandoned_ = false;
};

}  // namespace

void SetTwoThreadFormatting(bool on) { twoThreads = on; }

void WriteRecordBlocks(OutputFile& file, const OpenTable& table, const ExportProgress& progress,
                       const std::function<FormatBlock()>& makeFormat) {
    const std::int64_t count = table.RecordCount();
    const std::int64_t blockRecords = BlockRecords(table);
    const std::int64_t blocks = (count + blockRecords - 1) / blockRecords;
    WritingOrder order;

    // Formats and writes blocks first, first + stride, ...
    auto work = [&](const FormatBlock& format, std::int64_t first, std::int64_t stride, bool reports) {
        std::string bytes;
        for (std::int64_t block = first; block < blocks; block += stride) {
            const std::int64_t begin = block * blockRecords;
            const std::int64_t end = std::min(count, begin + blockRecords);
            bytes.clear();
            format(bytes, begin, end);
            if (!order.WaitForTurn(block)) return;
            file.Write(bytes);
            order.Written();
            if (reports && progress) progress(end, count);
        }
    };

    const FormatBlock own = makeFormat();
    if (blocks < 2 || !twoThreads) {
        work(own, 0, 1, true);
    } else {
        const FormatBlock helperFormat = makeFormat();
        std::exception_ptr helperFailure;
        std::jthread helper;
        try {
            helper = std::jthread([&] {
                try {
                    work(helperFormat, 1, 2, false);
                } catch (...) {
                    helperFailure = std::current_exception();
                    order.Abandon();
                }
            });
        } catch (const std::system_error&) {
            // No second thread to be had: this one does all.
            work(own, 0, 1, true);
        }
        if (helper.joinable()) {
            try {
                work(own, 0, 2, true);
            } catch (...) {
                order.Abandon();
                throw;
            }
            helper.join();
        }
        if (helperFailure) std::rethrow_exception(helperFailure);
    }
    if (progress) progress(count, count);
}

}  // namespace quillet
