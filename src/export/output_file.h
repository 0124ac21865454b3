#pragma once

#include <sys/types.h>

#include <future>
#include <memory>
#include <string>
#include <string_view>

namespace quillet {

class CommitQueue;

// The file an exporter writes. Bytes go to a temporary file beside the target through a
// buffer; Commit() renames it over the target. Until then an existing file of the target's
// name is untouched, and a file never committed is removed when this object goes away. A target
// that is a symbolic link is replaced where the link points; a replaced file passes its
// permissions on, and one its owner may not write is refused. Given a queue, Commit hands the
// complete file to it instead, to be synced and renamed there.
// Every failure throws ExportError naming the target path and the system's reason.
class OutputFile {
public:
    explicit OutputFile(std::string targetPath, CommitQueue* queue = nullptr);
    OutputFile(const OutputFile&) = delete;
    OutputFile& operator=(const OutputFile&) = delete;
    ~OutputFile();

    void Write(std::string_view bytes) {
        if (bytes.size() > kCapacity - used_) {
            WriteAcross(bytes);
            return;
        }
        bytes.copy(buffer_.get() + used_, bytes.size());
        used_ += bytes.size();
    }
    void Write(char byte) {
        if (used_ == kCapacity) Flush();
        buffer_[used_++] = byte;
    }
    // A text followed by CR LF.
    void WriteLine(std::string_view text) {
        Write(text);
        Write(std::string_view("\r\n", 2));
    }

    // Where the bytes go until Commit, for a library that writes a file by its path: it writes
    // there, closes it, and then Commit renames it into place.
    const std::string& TemporaryPath() const { return temporary_; }

    void Commit();
    const std::string& Path() const { return target_; }

    [[noreturn]] void Fail(const std::string& reason) const;

private:
    static constexpr std::size_t kCapacity = 256u << 10;

    // For bytes that do not fit the buffer's room.
    void WriteAcross(std::string_view bytes);
    void Flush();
    void WriteOut(std::string_view bytes);
    // Has the bytes written so far made lasting on a thread of its own, unless that thread is
    // still at the ones before.
    void SyncInBackground();
    // Waits for the sync in progress, and throws what it met.
    void FinishSync();
    void Discard() noexcept;

    std::string target_;
    std::string written_;  // the target, symbolic links followed
    std::string temporary_;
    int fd_ = -1;
    std::unique_ptr<char[]> buffer_;
    std::size_t used_ = 0;
    off_t size_ = 0;    // bytes written to the file
    off_t synced_ = 0;  // bytes a sync was started for
    std::future<int> sync_;  // the sync in progress: its errno, or 0
    CommitQueue* queue_;
};

}  // namespace quillet
