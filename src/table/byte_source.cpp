#include "table/byte_source.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>

#include "table/table_error.h"

namespace quillet {

namespace {

[[noreturn]] void CannotRead(const std::string& name, const std::string& reason) {
    throw TableError(TableError::Kind::CannotOpen, "Cannot read \"" + name + "\": " + reason + ".");
}

}  // namespace

FileSource::FileSource(const std::string& path) : path_(path) {
    // O_RDONLY never creates a file; a folder opens but is refused below. Without O_NONBLOCK a
    // named pipe would wait here for a writer that never comes; reading a regular file ignores it.
    fd_ = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
    if (fd_ < 0) Fail(std::strerror(errno));
    struct stat info {};
    std::string refusal;
    if (::fstat(fd_, &info) != 0) {
        refusal = std::strerror(errno);
    } else if (S_ISDIR(info.st_mode)) {
        refusal = "it is a folder, not a file";
    } else if (!S_ISREG(info.st_mode)) {
        refusal = "it is not a regular file";
    }
    if (!refusal.empty()) {
        // No destructor runs for a constructor that throws.
        ::close(fd_);
        Fail(refusal);
    }
    size_ = static_cast<std::uint64_t>(info.st_size);
}

FileSource::~FileSource() { ::close(fd_); }

void FileSource::Fail(const std::string& reason) const { CannotRead(path_, reason); }

void FileSource::ReadAt(std::uint64_t offset, char* out, std::uint64_t length, const ReadProgress& progress) {
    // Pieces small enough to stay in the processor's cache: the reader decodes each piece as
    // soon as progress reports it.
    constexpr std::uint64_t kStep = 1u << 20;
    std::uint64_t done = 0;
    while (done < length) {
        const std::uint64_t want = std::min(kStep, length - done);
        const ssize_t got = ::pread(fd_, out + done, want, static_cast<off_t>(offset + done));
        if (got < 0) {
            if (errno == EINTR) continue;
            Fail(std::strerror(errno));
        }
        if (got == 0) Fail("the file ended while it was being read");
        done += static_cast<std::uint64_t>(got);
        if (progress) progress(done, length);
    }
}

void MemorySource::ReadAt(std::uint64_t offset, char* out, std::uint64_t length, const ReadProgress& progress) {
    if (offset > bytes_.size() || length > bytes_.size() - offset) CannotRead(name_, "the file ended while it was being read");
    std::copy_n(bytes_.data() + offset, length, out);
    if (progress) progress(length, length);
}

}  // namespace quillet
