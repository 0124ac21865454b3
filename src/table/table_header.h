#pragma once

#include <array>
#include <cstdint>
#include <string>

namespace quillet {

// The first 32 bytes of a table file, as stored (little-endian integers).
struct TableHeader {
    std::uint8_t Version = 0;
    std::array<std::uint8_t, 3> UpdateDate{};  // year - 1900, month, day
    // The file's unsigned 32-bit count: a table may promise up to 4,294,967,295 records.
    std::int64_t RecordCount = 0;
    std::uint16_t HeaderLength = 0;
    std::uint16_t RecordLength = 0;
    std::array<std::uint8_t, 20> Reserved{};  // byte 17 of the file (Reserved[17]) is the language driver id
};

// One field descriptor (32 bytes, or 48 in dBASE 7 tables), plus where its bytes sit inside a record.
struct FieldDescriptor {
    std::string Name;  // as stored, up to its first NUL
    char Type = 0;
    // In bytes. Long character fields keep the high byte of their length in the decimals byte;
    // for them Length holds the whole length and Decimals is 0.
    std::uint32_t Length = 0;
    char Decimals = 0;  // the raw decimal-count byte
    std::uint8_t Flags = 0;  // Visual FoxPro: 0x01 system field, 0x02 may hold null

    // Filled by the reader: the field's first byte inside a record (the deletion mark is byte 0)
    // and how many of its Length bytes fit inside RecordLength.
    std::uint32_t Offset = 0;
    std::uint32_t StoredLength = 0;
    // Bits of the _NullFlags field (Visual FoxPro): set when the cell is null, and, for V and Q
    // fields, set when the last byte holds the length in use; -1 when the field has none.
    int NullBit = -1;
    int LengthBit = -1;
};

struct LastUpdateDate {
    std::int16_t Year = 0;
    std::int16_t Month = 0;
    std::int16_t Day = 0;
};

}  // namespace quillet
