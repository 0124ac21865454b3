#include "export/output_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <system_error>
#include <utility>

#include "export/commit_queue.h"
#include "export/export_error.h"

namespace quillet {

namespace {

// The file a path names once symbolic links are followed, even where the last link points to a
// file that does not exist yet: replacing it must replace that file, not the link.
std::string LinkTarget(std::string path) {
    constexpr int kMostLinks = 40;
    for (int links = 0; links < kMostLinks; ++links) {
        std::error_code error;
        if (!std::filesystem::is_symlink(std::filesystem::symlink_status(path, error))) return path;
        const std::filesystem::path target = std::filesystem::read_symlink(path, error);
        if (error) return path;
        path = (target.is_absolute() ? target : std::filesystem::path(path).parent_path() / target).string();
    }
    return path;
}

}  // namespace

OutputFile::OutputFile(std::string targetPath, CommitQueue* queue)
    : target_(std::move(targetPath)), written_(LinkTarget(target_)), buffer_(new char[kCapacity]), queue_(queue) {
    // mkstemp makes the file private; give it the permissions of the file it replaces, or those
    // a plain new file would get.
    const mode_t mask = ::umask(0);
    ::umask(mask);
    mode_t mode = 0666 & ~mask;
    struct stat info {};
    if (::stat(written_.c_str(), &info) == 0) {
        if (S_ISDIR(info.st_mode)) Fail("it is a folder");
        // Refused even where the system would let us (as root): the owner marked it not to be changed.
        if ((info.st_mode & S_IWUSR) == 0) Fail("the file is marked read-only");
        mode = info.st_mode & 07777;
    }
    temporary_ = written_ + ".XXXXXX";
    fd_ = ::mkstemp(temporary_.data());
    if (fd_ < 0) {
        temporary_.clear();
        Fail(std::strerror(errno));
    }
    ::fchmod(fd_, mode);
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
    // The disk takes the file in steps while the next bytes are formatted, so that the sync at
    // Commit has little left to do: a file system makes a large file lasting far more slowly in
    // one go than in steps.
    constexpr off_t kSyncStep = 16 << 20;
    if (size_ - synced_ >= kSyncStep) SyncInBackground();
}

void OutputFile::SyncInBackground() {
    using namespace std::chrono_literals;
    if (sync_.valid() && sync_.wait_for(0s) != std::future_status::ready) return;
    FinishSync();
    try {
        sync_ = std::async(std::launch::async, [fd = fd_] { return ::fdatasync(fd) == 0 ? 0 : errno; });
        synced_ = size_;
    } catch (const std::system_error&) {
        // No thread to be had: Commit's sync does it all.
    }
}

void OutputFile::FinishSync() {
    if (!sync_.valid()) return;
    // A failure the sync met is told once: the sync after it would not see it again.
    if (const int error = sync_.get(); error != 0) Fail(std::strerror(error));
}

void OutputFile::Commit() {
    Flush();
    FinishSync();
    if (queue_ != nullptr) {
        queue_->Take(std::exchange(fd_, -1), std::exchange(temporary_, {}), written_, target_);
        return;
    }
    // Some file systems report a full disk only when the data reaches it; and without this a
    // crash soon after the rename could leave an empty file where the earlier one was.
    if (::fsync(fd_) != 0) Fail(std::strerror(errno));
    const int closed = ::close(fd_);
    fd_ = -1;
    if (closed != 0) Fail(std::strerror(errno));
    if (::rename(temporary_.c_str(), written_.c_str()) != 0) Fail(std::strerror(errno));
    temporary_.clear();
}

void OutputFile::Discard() noexcept {
    // The sync's descriptor stays open until the sync is done.
    if (sync_.valid()) sync_.wait();
    if (fd_ >= 0) ::close(fd_);
    fd_ = -1;
    if (!temporary_.empty()) ::unlink(temporary_.c_str());
    temporary_.clear();
}

}  // namespace quillet
