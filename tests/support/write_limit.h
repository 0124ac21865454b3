#pragma once

// Makes the system refuse to grow any file of this process beyond a few bytes, the way a full
// disk refuses: write() writes what fits, then fails. Restores the old limit when it goes away.

#include <sys/resource.h>

#include <csignal>

namespace quillet::testing {

class WriteLimit {
public:
    explicit WriteLimit(rlim_t bytes) {
        // Without this the process would be killed by SIGXFSZ instead of seeing the error.
        oldHandler_ = std::signal(SIGXFSZ, SIG_IGN);
        ::getrlimit(RLIMIT_FSIZE, &old_);
        rlimit limited = old_;
        limited.rlim_cur = bytes;
        ::setrlimit(RLIMIT_FSIZE, &limited);
    }
    ~WriteLimit() {
        ::setrlimit(RLIMIT_FSIZE, &old_);
        std::signal(SIGXFSZ, oldHandler_);
    }
    WriteLimit(const WriteLimit&) = delete;
    WriteLimit& operator=(const WriteLimit&) = delete;

private:
    rlimit old_{};
    void (*oldHandler_)(int) = SIG_DFL;
};

}  // namespace quillet::testing
