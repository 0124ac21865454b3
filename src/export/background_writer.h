#pragma once

#include <condition_variable>
#include <mutex>
#include <string_view>
#include <thread>

namespace quillet {

// Writes one block at a time to a file descriptor on a thread of its own, so that an exporter
// formats its next block while the system copies the last one: on two cores a large export
// then costs about the larger of the two instead of their sum.
class BackgroundWriter {
public:
    explicit BackgroundWriter(int fd);
    BackgroundWriter(const BackgroundWriter&) = delete;
    BackgroundWriter& operator=(const BackgroundWriter&) = delete;
    // Waits for the block in hand, then ends the thread.
    ~BackgroundWriter();

    // Hands over a block, whose bytes must stay untouched until Wait() returns. Waits first for
    // the block before. Returns the error number of a failed earlier write, or 0.
    int Start(std::string_view block);
    // Waits until the block in hand is written. Returns the error number of a failed write, or 0.
    int Wait();

private:
    void Run();

    int fd_;
    std::mutex mutex_;
    std::condition_variable changed_;
    std::string_view block_;
    bool busy_ = false;
    bool stopping_ = false;
    int error_ = 0;
    std::thread thread_;
};

// Writes all of bytes to fd, going on after interruptions. Returns 0 or the error number.
int WriteAll(int fd, std::string_view bytes);

}  // namespace quillet
