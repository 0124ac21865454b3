#include "export/block_pipeline.h"

#include "export/output_file.h"

namespace quillet {

BlockPipeline::BlockPipeline(OutputFile& file, std::int64_t blocks)
    : file_(file), blocks_(blocks), slots_(static_cast<std::size_t>(kSlots)) {}

std::int64_t BlockPipeline::Take() {
    std::unique_lock lock(mutex_);
    // Block b goes into slot b % kSlots, free once block b - kSlots is written.
    changed_.wait(lock, [&] { return abandoned_ || taken_ == blocks_ || taken_ - written_ < kSlots; });
    if (abandoned_ || taken_ == blocks_) return -1;
    return taken_++;
}

void BlockPipeline::Finish(std::int64_t block, std::string& bytes) {
    std::unique_lock lock(mutex_);
    Slot& slot = slots_[static_cast<std::size_t>(block % kSlots)];
    slot.Bytes.swap(bytes);
    slot.Ready = true;
    if (writing_) return;
    writing_ = true;
    WriteWhatIsNext(lock);
    writing_ = false;
}

void BlockPipeline::WriteWhatIsNext(std::unique_lock<std::mutex>& lock) {
    for (;;) {
        Slot& next = slots_[static_cast<std::size_t>(written_ % kSlots)];
        if (abandoned_ || !next.Ready) return;
        // The slot is this thread's until written_ moves past it: no block can be taken into it.
        lock.unlock();
        try {
            file_.Write(next.Bytes);
        } catch (...) {
            lock.lock();
            writing_ = false;
            abandoned_ = true;
            changed_.notify_all();
            throw;
        }
        next.Bytes.clear();
        lock.lock();
        next.Ready = false;
        ++written_;
        changed_.notify_all();
    }
}

void BlockPipeline::Abandon() {
    {
        const std::lock_guard lock(mutex_);
        abandoned_ = true;
    }
    changed_.notify_all();
}

std::int64_t BlockPipeline::Written() {
    const std::lock_guard lock(mutex_);
    return written_;
}

}  // namespace quillet
