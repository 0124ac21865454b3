#include "table/memo_file.h"

#include <algorithm>

#include "table/table_error.h"

namespace quillet {

namespace {

// Reads of this size serve the many small memos that lie one after another.
constexpr std::uint64_t kWindow = 64 * 1024;
constexpr std::uint64_t kDbaseIIIBlock = 512;
constexpr std::uint32_t kFoxProText = 1;

std::uint32_t BigEndian(std::string_view bytes, std::size_t at, std::size_t size) {
    std::uint32_t value = 0;
    for (std::size_t i = 0; i < size; ++i) value = (value << 8) | static_cast<unsigned char>(bytes[at + i]);
    return value;
}

std::uint32_t LittleEndian(std::string_view bytes, std::size_t at, std::size_t size) {
    std::uint32_t value = 0;
    for (std::size_t i = size; i-- > 0;) value = (value << 8) | static_cast<unsigned char>(bytes[at + i]);
    return value;
}

Memo Unreadable() { return {Memo::Kind::Unreadable, {}, 0}; }

}  // namespace

std::uint64_t MemoBlockNumber(std::string_view fieldBytes) {
    if (fieldBytes.size() == 4) return LittleEndian(fieldBytes, 0, 4);
    const auto first = fieldBytes.find_first_not_of(std::string_view(" \0", 2));
    if (first == std::string_view::npos) return 0;
    const auto last = fieldBytes.find_last_not_of(std::string_view(" \0", 2));
    const std::string_view digits = fieldBytes.substr(first, last - first + 1);
    if (digits.size() > 18) return kBadPointer;
    std::uint64_t block = 0;
    for (char c : digits) {
        if (c < '0' || c > '9') return kBadPointer;
        block = block * 10 + static_cast<std::uint64_t>(c - '0');
    }
    return block;
}

MemoFile::MemoFile(std::unique_ptr<ByteSource> source, MemoFormat format)
    : source_(std::move(source)), format_(format), size_(source_->Size()) {
    const std::string_view header = Bytes(0, 22);
    switch (format_) {
    case MemoFormat::Fpt:
        if (header.size() >= 8) blockSize_ = BigEndian(header, 6, 2);
        break;
    case MemoFormat::Dbt:
        if (header.size() >= 22) blockSize_ = LittleEndian(header, 20, 2);
        break;
    case MemoFormat::DbtIII:
        blockSize_ = kDbaseIIIBlock;
        break;
    }
}

std::string_view MemoFile::Bytes(std::uint64_t offset, std::uint64_t length) {
    if (offset >= size_) return {};
    length = std::min(length, size_ - offset);
    if (offset >= windowStart_ && offset + length <= windowStart_ + window_.size()) {
        return std::string_view(window_).substr(offset - windowStart_, length);
    }
    std::string& into = length <= kWindow ? window_ : text_;
    into.resize(length <= kWindow ? std::min(kWindow, size_ - offset) : length);
    source_->ReadAt(offset, into.data(), into.size(), {});
    if (&into == &window_) windowStart_ = offset;
    return std::string_view(into).substr(0, length);
}

Memo MemoFile::TextUpToEndMarker(std::uint64_t offset) {
    text_.clear();
    for (std::uint64_t at = offset; at < size_;) {
        const std::string_view piece = Bytes(at, kWindow);
        const auto end = piece.find('\x1A');
        if (end != std::string_view::npos && at == offset) return {Memo::Kind::Text, piece.substr(0, end), end};
        text_.append(piece.substr(0, end));
        if (end != std::string_view::npos) break;
        at += piece.size();
    }
    return {Memo::Kind::Text, text_, text_.size()};
}

Memo MemoFile::Read(std::uint64_t block, bool textField) {
    if (block == 0) return {};
    if (block == kBadPointer || blockSize_ == 0 || block >= (size_ + blockSize_ - 1) / blockSize_) return Unreadable();
    const std::uint64_t offset = block * blockSize_;
    try {
        const std::string_view head = Bytes(offset, 8);
        const std::uint64_t room = size_ - offset - head.size();
        if (format_ == MemoFormat::Fpt) {
            if (head.size() < 8) return Unreadable();
            const std::uint32_t type = BigEndian(head, 0, 4);
            const std::uint64_t length = BigEndian(head, 4, 4);
            if (length > room) return Unreadable();
            if (!textField || type != kFoxProText) return {Memo::Kind::Binary, {}, length};
            return {Memo::Kind::Text, Bytes(offset + 8, length), length};
        }
        // dBASE IV and later start each memo with FF FF 08 00 and a length that counts those 8 bytes.
        if (head.size() == 8 && head.substr(0, 4) == std::string_view("\xFF\xFF\x08\x00", 4)) {
            const std::uint64_t length = LittleEndian(head, 4, 4);
            if (length < 8 || length - 8 > room) return Unreadable();
            if (!textField) return {Memo::Kind::Binary, {}, length - 8};
            return {Memo::Kind::Text, Bytes(offset + 8, length - 8), length - 8};
        }
        const Memo text = TextUpToEndMarker(offset);
        if (!textField) return {Memo::Kind::Binary, {}, text.Size};
        return text;
    } catch (const TableError&) {
        // The file changed under us (cut short): this memo cannot be had.
        return Unreadable();
    }
}

}  // namespace quillet
