#pragma once

// Builds .dbf bytes from a short description, so each test shows the table it reads:
//
//   TableBuilder t;
//   t.Field("NAME", 'C', 10).Field("AMOUNT", 'N', 8, 2)
//    .Record({"Alice", "12.50"})
//    .Deleted({"Bob", "-3"});
//
// Cell texts are padded to the field's length: numbers (N, F) to the right, everything
// else with trailing blanks. Raw() cells are taken byte for byte (binary fields).

#include <array>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <optional>
#include <string>
#include <vector>

#include "support/files.h"

namespace quillet::testing {

class TableBuilder {
public:
    struct FieldSpec {
        std::string RawName;  // up to 11 bytes, NUL padded
        char Type;
        std::uint8_t Length;
        std::uint8_t Decimals;
    };

    TableBuilder& Version(std::uint8_t version) { version_ = version; return *this; }
    TableBuilder& Date(std::uint8_t year, std::uint8_t month, std::uint8_t day) { date_ = {year, month, day}; return *this; }
    TableBuilder& LanguageDriver(std::uint8_t driver) { driver_ = driver; return *this; }
    TableBuilder& Field(const std::string& rawName, char type, std::uint8_t length, std::uint8_t decimals = 0) {
        fields_.push_back({rawName, type, length, decimals});
        return *this;
    }
    TableBuilder& Record(const std::vector<std::string>& cells) { return AddRecord(' ', cells); }
    TableBuilder& Deleted(const std::vector<std::string>& cells) { return AddRecord('*', cells); }
    TableBuilder& AddRecord(char mark, const std::vector<std::string>& cells) {
        std::string record(1, mark);
        for (std::size_t f = 0; f < fields_.size(); ++f) {
            const FieldSpec& spec = fields_[f];
            std::string cell = f < cells.size() ? cells[f] : std::string();
            if (cell.size() > spec.Length) cell.resize(spec.Length);
            const std::string pad(spec.Length - cell.size(), IsBinary(f) ? '\0' : ' ');
            record += (spec.Type == 'N' || spec.Type == 'F') ? pad + cell : cell + pad;
        }
        records_.push_back(record);
        return *this;
    }
    // Binary cells (I, Y, B, T) are padded with NULs instead of blanks.
    TableBuilder& BinaryField(std::size_t index) { binary_.push_back(index); return *this; }

    // The 263-byte area that Visual FoxPro keeps after the terminator, or any extra bytes there.
    TableBuilder& HeaderTail(std::size_t bytes) { headerTail_ = bytes; return *this; }
    // Overrides the header's length field only; the bytes written stay the natural header.
    TableBuilder& HeaderLength(std::int32_t length) { headerLength_ = length; return *this; }
    TableBuilder& RecordLength(std::int32_t length) { recordLength_ = length; return *this; }
    TableBuilder& RecordCount(std::int32_t count) { recordCount_ = count; return *this; }
    TableBuilder& EndMarker(bool on) { endMarker_ = on; return *this; }

    std::string Bytes() const {
        std::string header(32, '\0');
        header[0] = static_cast<char>(version_);
        header[1] = static_cast<char>(date_[0]);
        header[2] = static_cast<char>(date_[1]);
        header[3] = static_cast<char>(date_[2]);
        const std::int32_t count = recordCount_.value_or(static_cast<std::int32_t>(records_.size()));
        PutLE(header, 4, static_cast<std::uint32_t>(count), 4);
        int natural = 1;
        for (const FieldSpec& f : fields_) natural += f.Length;
        const std::int32_t headerLength =
            headerLength_.value_or(static_cast<std::int32_t>(32 + 32 * fields_.size() + 1 + headerTail_));
        PutLE(header, 8, static_cast<std::uint32_t>(headerLength), 2);
        PutLE(header, 10, static_cast<std::uint32_t>(recordLength_.value_or(natural)), 2);
        header[29] = static_cast<char>(driver_);
        std::string out = header;
        for (const FieldSpec& f : fields_) {
            std::string d(32, '\0');
            for (std::size_t i = 0; i < f.RawName.size() && i < 11; ++i) d[i] = f.RawName[i];
            d[11] = f.Type;
            d[16] = static_cast<char>(f.Length);
            d[17] = static_cast<char>(f.Decimals);
            out += d;
        }
        out += '\r';
        out += std::string(headerTail_, '\0');
        for (const std::string& r : records_) out += r;
        if (endMarker_) out += '\x1A';
        return out;
    }

    void WriteTo(const std::filesystem::path& path) const {
        std::ofstream file(path, std::ios::binary | std::ios::trunc);
        const std::string bytes = Bytes();
        file.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    }

    static std::string LE(std::uint64_t value, int size) {
        std::string out;
        for (int i = 0; i < size; ++i) out += static_cast<char>((value >> (8 * i)) & 0xFF);
        return out;
    }

private:
    bool IsBinary(std::size_t index) const {
        for (std::size_t b : binary_) if (b == index) return true;
        return false;
    }
    static void PutLE(std::string& s, std::size_t at, std::uint32_t value, int size) {
        for (int i = 0; i < size; ++i) s[at + static_cast<std::size_t>(i)] = static_cast<char>((value >> (8 * i)) & 0xFF);
    }

    std::uint8_t version_ = 0x03;
    std::array<std::uint8_t, 3> date_{124, 5, 1};
    std::uint8_t driver_ = 0;
    std::vector<FieldSpec> fields_;
    std::vector<std::size_t> binary_;
    std::vector<std::string> records_;
    std::size_t headerTail_ = 0;
    std::optional<std::int32_t> headerLength_;
    std::optional<std::int32_t> recordLength_;
    std::optional<std::int32_t> recordCount_;
    bool endMarker_ = true;
};

}  // namespace quillet::testing
