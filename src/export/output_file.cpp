#include "export/output_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "export/export_error.h"

namespace quillet {

OutputFile::OutputFile(std::string targetPath) : target_(std::move(targetPath)), buffer_(new char[kCapacity]) {
    struct stat info {};
    if (::stat(target_.c_str(), &info) == 0 && S_ISDIR(info.st_mode)) Fail("it is a folder");
    temporary_ = target_ + ".XXXXXX";
    fd_ = ::mkstemp(temporary_.data());
    if (fd_ < 0) {
        temporary_.clear();
        Fail(std::strerror(errno));
    }
    // mkstemp makes the file private; give it the permissions a plain new file would get.
    const mode_t mask = ::umask(0);
    ::umask(mask);
    ::fchmod(fd_, 0666 & ~mask);
}

OutputFile::~OutputFile() { Discard(); }

void OutputFile::Fail(const std::string& reason) const {
    throw ExportError("Cannot write \"" + target_ + "\": " + reason + ".");
}

void OutputFile::WriteAcross(std::string_view bytes) {
    Flush();
    // A block of formatted records goes to the file as it is, without a copy into the buffer.
    if (bytes.size() >= kCapacity) {
        WriteOut(bytes);
        return;
    }
    bytes.copy(buffer_.get(), bytes.size());
    used_ = bytes.size();
}

void OutputFile::Flush() {
    WriteOut(std::string_view(buffer_.get(), used_));
    used_ = 0;
}

void OutputFile::WriteOut(std::string_view bytes) {
    while (!bytes.empty()) {
        const ssize_t wrote = ::write(fd_, bytes.data(), bytes.size());
        if (wrote < 0) {
            if (errno == EINTR) continue;
            Fail(std::strerror(errno));
        }
        bytes.remove_prefix(static_cast<std::size_t>(wrote));
        size_ += wrote;
    }
#ifdef SYNC_FILE_RANGE_WRITE
    // The disk starts on every few megabytes at once, without waiting, while the next ones are
    // formatted: the sync at Commit then finds little left to write.
    constexpr off_t kSyncStep = 8 << 20;
    if (size_ - started_ >= kSyncStep) {
        ::sync_file_range(fd_, started_, size_ - started_, SYNC_FILE_RANGE_WRITE);
        started_ = size_;
    }
#endif
}

void OutputFile::Commit() {
    Flush();
    // Some file systems report a full disk only when the data reaches it; and without this a
    // crash soon after the rename could leave an empty file where the earlier one was.
    if (::fsync(fd_) != 0) Fail(std::strerror(errno));
    const int closed = ::close(fd_);
    fd_ = -1;
    if (closed != 0) Fail(std::strerror(errno));
    if (::rename(temporary_.c_str(), target_.c_str()) != 0) Fail(std::strerror(errno));
    temporary_.clear();
}

void OutputFile::Discard() noexcept {
    if (fd_ >= 0) ::close(fd_);
    fd_ = -1;
    if (!temporary_.empty()) ::unlink(temporary_.c_str());
    temporary_.clear();
}

}  // namespace quillet
