#pragma once

#include <array>
#include <cstdint>

namespace quillet {

// The first 32 bytes of a table file, as stored (little-endian integers).
struct TableHeader {
    std::uint8_t Version = 0;
    std::array<std::uint8_t, 3> UpdateDate{};  // year - 1900, month, day
    std::int32_t RecordCount = 0;
    std::int16_t HeaderLength = 0;
    std::int16_t RecordLength = 0;
    std::array<std::uint8_t, 20> Reserved{};  // byte 17 of the file (Reserved[17]) is the language driver id
};

// One 32-byte field descriptor as stored, plus where its bytes sit inside a record.
struct FieldDescriptor {
    std::array<char, 11> Name{};  // raw, NUL padded
    char Type = 0;
    std::array<std::uint8_t, 4> Address{};
    std::uint8_t Length = 0;
    char Decimals = 0;  // the raw decimal-count byte
    std::array<std::uint8_t, 14> Reserved{};

    // Filled by the reader: the field's first byte inside a record (the deletion mark is byte 0)
    // and how many of its Length bytes fit inside RecordLength.
    std::uint32_t Offset = 0;
    std::uint32_t StoredLength = 0;
};

struct LastUpdateDate {
    std::int16_t Year = 0;
    std::int16_t Month = 0;
    std::int16_t Day = 0;
};

}  // namespace quillet
