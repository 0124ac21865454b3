#include "export/output_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <system_error>

#include "export/export_error.h"

namespace quillet {

OutputFile::OutputFile(std::string targetPath)
    : target_(std::move(targetPath)), buffers_(new char[2 * kCapacity]), buffer_(buffers_.get()) {
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
    while (bytes.size() > kCapacity - used_) {
        const std::size_t room = kCapacity - used_;
        bytes.copy(buffer_ + used_, room);
        used_ += room;
        bytes.remove_prefix(room);
        Flush();
    }
    bytes.copy(buffer_ + used_, bytes.size());
    used_ += bytes.size();
}

void OutputFile::Flush() {
    const std::string_view full(buffer_, used_);
    used_ = 0;
    if (!writer_) {
        try {
            writer_ = std::make_unique<BackgroundWriter>(fd_);
        } catch (const std::system_error&) {
            // No thread to be had: write in this one.
            if (const int error = WriteAll(fd_, full)) Fail(std::strerror(error));
            return;
        }
    }
    if (const int error = writer_->Start(full)) Fail(std::strerror(error));
    buffer_ = buffer_ == buffers_.get() ? buffers_.get() + kCapacity : buffers_.get();
}

void OutputFile::Commit() {
    if (writer_) {
        Flush();
        const int error = writer_->Wait();
        writer_.reset();
        if (error != 0) Fail(std::strerror(error));
    } else if (const int error = WriteAll(fd_, std::string_view(buffer_, used_))) {
        Fail(std::strerror(error));
    }
    used_ = 0;
    const int closed = ::close(fd_);
    fd_ = -1;
    if (closed != 0) Fail(std::strerror(errno));
    if (::rename(temporary_.c_str(), target_.c_str()) != 0) Fail(std::strerror(errno));
    temporary_.clear();
}

void OutputFile::Discard() noexcept {
    writer_.reset();
    if (fd_ >= 0) ::close(fd_);
    fd_ = -1;
    if (!temporary_.empty()) ::unlink(temporary_.c_str());
    temporary_.clear();
}

}  // namespace quillet
