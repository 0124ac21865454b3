#pragma once

#include <chrono>
#include <cstdint>
#include <cstdio>
#include <string>

namespace quillet::cli {

// "NAME: DONE of TOTAL records" (or tables) on one line of a terminal, rewritten in place. Quick work
// shows nothing: the line appears only once a conversion has run for a moment, and is
// wiped when done so that later messages start on a clean line.
class ProgressLine {
public:
    // Shows nothing unless enabled (standard error is a terminal).
    ProgressLine(std::FILE* terminal, std::string label, bool enabled);
    ProgressLine(const ProgressLine&) = delete;
    ProgressLine& operator=(const ProgressLine&) = delete;
    ~ProgressLine();

    void Update(std::int64_t done, std::int64_t total, const char* what);

private:
    using Clock = std::chrono::steady_clock;

    std::FILE* terminal_;
    std::string label_;
    bool enabled_;
    bool shown_ = false;
    Clock::time_point start_;
    Clock::time_point lastShown_;
};

// Whether progress lines go to standard error: only when it is a terminal.
bool StandardErrorIsTerminal();

}  // namespace quillet::cli
