#include "export/background_writer.h"

#include <unistd.h>

#include <cerrno>

namespace quillet {

int WriteAll(int fd, std::string_view bytes) {
    while (!bytes.empty()) {
        const ssize_t wrote = ::write(fd, bytes.data(), bytes.size());
        if (wrote < 0) {
            if (errno == EINTR) continue;
            return errno;
        }
        bytes.remove_prefix(static_cast<std::size_t>(wrote));
    }
    return 0;
}

BackgroundWriter::BackgroundWriter(int fd) : fd_(fd), thread_([this] { Run(); }) {}

BackgroundWriter::~BackgroundWriter() {
    {
        std::unique_lock lock(mutex_);
        changed_.wait(lock, [this] { return !busy_; });
        stopping_ = true;
    }
    changed_.notify_all();
    thread_.join();
}

int BackgroundWriter::Start(std::string_view block) {
    std::unique_lock lock(mutex_);
    changed_.wait(lock, [this] { return !busy_; });
    if (error_ != 0) return error_;
    block_ = block;
    busy_ = true;
    lock.unlock();
    changed_.notify_all();
    return 0;
}

int BackgroundWriter::Wait() {
    std::unique_lock lock(mutex_);
    changed_.wait(lock, [this] { return !busy_; });
    return error_;
}

void BackgroundWriter::Run() {
    std::unique_lock lock(mutex_);
    for (;;) {
        changed_.wait(lock, [this] { return busy_ || stopping_; });
        if (!busy_) return;
        const std::string_view block = block_;
        lock.unlock();
        const int error = WriteAll(fd_, block);
        lock.lock();
        if (error != 0 && error_ == 0) error_ = error;
        busy_ = false;
        changed_.notify_all();
    }
}

}  // namespace quillet
