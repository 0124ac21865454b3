#pragma once

#include <condition_variable>
#include <cstdint>
#include <mutex>
#include <string>
#include <vector>

namespace quillet {

class OutputFile;

// Hands out blocks 0, 1, 2, ... to the threads that format them, and writes the formatted blocks
// to the file in that order. A block finished before an earlier one waits in one of a few slots;
// a thread waits only when all slots are taken, so a thread the system slows down holds back its
// own block and no more. Whichever thread finishes the block next in line writes it, along with
// any finished blocks behind it.
class BlockPipeline {
public:
    // Blocks 0 to blocks - 1, written to file.
    BlockPipeline(OutputFile& file, std::int64_t blocks);

    // The next block to format, or -1 when none is left or the export has failed.
    std::int64_t Take();
    // Hands over a formatted block, taking an empty buffer back in bytes, and writes what is
    // next in line unless another thread is at it. A failed write is thrown here.
    void Finish(std::int64_t block, std::string& bytes);
    // Stops the export: nothing more is handed out or written.
    void Abandon();
    // The blocks written so far, all of them from the first on.
    std::int64_t Written();

private:
    static constexpr std::int64_t kSlots = 4;

    struct Slot {
        std::string Bytes;
        bool Ready = false;
    };

    void WriteWhatIsNext(std::unique_lock<std::mutex>& lock);

    OutputFile& file_;
    std::int64_t blocks_ = 0;
    std::mutex mutex_;
    std::condition_variable changed_;
    std::vector<Slot> slots_;
    std::int64_t taken_ = 0;
    std::int64_t written_ = 0;
    bool writing_ = false;
    bool abandoned_ = false;
};

}  // namespace quillet
