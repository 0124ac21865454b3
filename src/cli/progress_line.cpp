#include "cli/progress_line.h"

#include <unistd.h>

namespace quillet::cli {

namespace {

constexpr auto kQuietStart = std::chrono::milliseconds(300);
constexpr auto kRefresh = std::chrono::milliseconds(100);

}  // namespace

ProgressLine::ProgressLine(std::FILE* terminal, std::string label, bool enabled)
    : terminal_(terminal), label_(std::move(label)), enabled_(enabled), start_(Clock::now()) {}

ProgressLine::~ProgressLine() {
    if (!shown_) return;
    std::fputs("\r\033[K", terminal_);
    std::fflush(terminal_);
}

void ProgressLine::Update(std::int64_t done, std::int64_t total, const char* what) {
    if (!enabled_) return;
    const Clock::time_point now = Clock::now();
    if (now - start_ < kQuietStart || (shown_ && now - lastShown_ < kRefresh)) return;
    std::fprintf(terminal_, "\r\033[K%s: %lld of %lld %s", label_.c_str(), static_cast<long long>(done),
                 static_cast<long long>(total), what);
    std::fflush(terminal_);
    shown_ = true;
    lastShown_ = now;
}

bool StandardErrorIsTerminal() { return ::isatty(STDERR_FILENO) == 1; }

}  // namespace quillet::cli
