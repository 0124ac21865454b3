#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

#include "table/byte_source.h"

namespace quillet {

enum class MemoFormat : std::uint8_t {
    Dbt,     // dBASE: 512-byte blocks of text ending at 0x1A (dBASE III), or blocks of the
             // header's size starting FF FF 08 00 and a length (dBASE IV and later)
    DbtIII,  // a dBASE III table's .dbt: always 512-byte blocks, whatever its header holds
    Fpt,     // FoxPro: big-endian block size in the header, each memo a big-endian type and length
};

// What one memo pointer leads to.
struct Memo {
    enum class Kind : std::uint8_t { None, Text, Binary, Unreadable };
    Kind What = Kind::None;
    std::string_view Bytes;  // Text: valid until the next Read
    std::uint64_t Size = 0;  // Text and Binary
};

// A memo pointer as a record stores it: 10 ASCII digits (blank for none), or, in Visual FoxPro
// fields of 4 bytes, a little-endian block number. 0 means no memo; kBadPointer one that is
// neither.
inline constexpr std::uint64_t kBadPointer = ~std::uint64_t{0};
std::uint64_t MemoBlockNumber(std::string_view fieldBytes);

// Reads memos from a memo file through small reads, so the file is never held whole; a memo
// is read only within the file's bytes, and no length field makes it reserve more than the
// file holds.
class MemoFile {
public:
    MemoFile(std::unique_ptr<ByteSource> source, MemoFormat format);

    // The memo at block. textField: the field is a text memo (M), so a memo FoxPro marks as text,
    // and every dBASE memo, is text.
    Memo Read(std::uint64_t block, bool textField);
    std::uint64_t Size() const { return size_; }

private:
    // At most length bytes at offset, fewer where the file ends.
    std::string_view Bytes(std::uint64_t offset, std::uint64_t length);
    Memo TextUpToEndMarker(std::uint64_t offset);

    std::unique_ptr<ByteSource> source_;
    MemoFormat format_;
    std::uint64_t size_ = 0;
    std::uint64_t blockSize_ = 0;
    std::string window_;
    std::uint64_t windowStart_ = 0;
    std::string text_;
};

}  // namespace quillet
