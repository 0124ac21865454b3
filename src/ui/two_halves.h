#pragma once

#include <atomic>
#include <cstddef>
#include <functional>
#include <thread>

namespace quillet {

// Told how far a long job has come (permille); answers false when the job should stop.
using JobSteps = std::function<bool(int permille)>;

// Runs work(begin, end, first) over [0, count) split at count / 2, the second half on a thread
// of its own, so a job on a million records uses both cores. Only the first half (on the
// calling thread) is told first = true: JobSteps are called from there alone. False when the
// second half failed (it ran out of memory); the first half's exceptions reach the caller.
template <typename Work>
bool InTwoHalves(std::size_t count, Work work) {
    std::atomic<bool> failed = false;
    {
        std::jthread second([&] {
            try {
                work(count / 2, count, false);
            } catch (...) {
                failed = true;
            }
        });
        work(std::size_t{0}, count / 2, true);
    }
    return !failed;
}

}  // namespace quillet
