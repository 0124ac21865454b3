#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <utility>

namespace quillet {

// Called now and then while a table is read: bytes done of bytes to do.
using ReadProgress = std::function<void(std::uint64_t done, std::uint64_t total)>;

// Where the reader takes a table's bytes from. The reader asks only for ranges inside Size(),
// so it never reserves memory for bytes the source does not hold.
class ByteSource {
public:
    virtual ~ByteSource() = default;
    virtual std::uint64_t Size() const = 0;
    // Reads exactly length bytes at offset into out; throws TableError when it cannot. Two
    // threads may read different ranges at once.
    virtual void ReadAt(std::uint64_t offset, char* out, std::uint64_t length, const ReadProgress& progress) = 0;
};

// A table file, opened for reading only (a missing path is never created). Refuses folders and
// other files that are not regular ones. Messages name the path.
class FileSource final : public ByteSource {
public:
    explicit FileSource(const std::string& path);
    FileSource(const FileSource&) = delete;
    FileSource& operator=(const FileSource&) = delete;
    ~FileSource() override;

    std::uint64_t Size() const override { return size_; }
    void ReadAt(std::uint64_t offset, char* out, std::uint64_t length, const ReadProgress& progress) override;

private:
    [[noreturn]] void Fail(const std::string& reason) const;

    std::string path_;
    int fd_ = -1;
    std::uint64_t size_ = 0;
};

// Bytes already in memory, standing for a file of that name.
class MemorySource final : public ByteSource {
public:
    MemorySource(std::string_view bytes, std::string name) : bytes_(bytes), name_(std::move(name)) {}

    std::uint64_t Size() const override { return bytes_.size(); }
    void ReadAt(std::uint64_t offset, char* out, std::uint64_t length, const ReadProgress& progress) override;

private:
    std::string_view bytes_;
    std::string name_;
};

}  // namespace quillet
