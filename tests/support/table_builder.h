#pragma once

// Builds .dbf bytes from a short description, so each test shows the table it reads:
//
//   TableBuilder t;
//   t.Field("NAME", 'C', 10).Field("AMOUNT", 'N', 8, 2)
//    .Record({"Alice", "12.50"})
//    .Deleted({"Bob", "-3"});
//
// Cells shorter than their field are padded with blanks (numbers, N and F, on the left); give
// binary cells at their full length.

#include <algorithm>
#include <array>
#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "support/files.h"

namespace quillet::testing {

class TableBuilder {
public:
    TableBuilder& Version(std::uint8_t version) { version_ = version; return *this; }
    TableBuilder& LanguageDriver(std::uint8_t driver) { driver_ = driver; return *this; }
    // flags: Visual FoxPro's field flags (0x01 system field, 0x02 may hold null).
    TableBuilder& Field(const std::string& name, char type, std::uint8_t length, std::uint8_t decimals = 0,
                        std::uint8_t flags = 0) {
        std::string d(32, '\0');
        name.copy(d.data(), std::min<std::size_t>(name.size(), 11));
        d[11] = type;
        d[16] = static_cast<char>(length);
        d[17] = static_cast<char>(decimals);
        d[18] = static_cast<char>(flags);
        descriptors_ += d;
        fields_.push_back({type, length});
        return *this;
    }
    TableBuilder& Record(const std::vector<std::string>& cells) { return AddRecord(' ', cells); }
    TableBuilder& Deleted(const std::vector<std::string>& cells) { return AddRecord('*', cells); }
    // A record count that disagrees with the records written.
    TableBuilder& RecordCount(std::uint32_t count) { recordCount_ = count; return *this; }

    std::string Bytes() const {
        std::string out(32, '\0');
        const std::size_t at[] = {4, 8, 10};
        const std::size_t values[] = {recordCount_.value_or(records_.size() / RecordLength()),
                                      32 + descriptors_.size() + 1, RecordLength()};
        for (int i = 0; i < 3; ++i) {
            for (int b = 0; b < (i == 0 ? 4 : 2); ++b) out[at[i] + b] = static_cast<char>(values[i] >> (8 * b));
        }
        out[0] = static_cast<char>(version_);
        for (int i = 0; i < 3; ++i) out[1 + i] = static_cast<char>(kDate[i]);
        out[29] = static_cast<char>(driver_);
        return out + descriptors_ + '\r' + records_ + '\x1A';
    }

    void WriteTo(const std::filesystem::path& path) const { WriteFileBytes(path, Bytes()); }

private:
    struct FieldShape {
        char Type;
        std::size_t Length;
    };
    std::size_t RecordLength() const {
        std::size_t length = 1;
        for (const FieldShape& f : fields_) length += f.Length;
        return length;
    }
    TableBuilder& AddRecord(char mark, const std::vector<std::string>& cells) {
        records_ += mark;
        for (std::size_t f = 0; f < fields_.size(); ++f) {
            std::string cell = f < cells.size() ? cells[f].substr(0, fields_[f].Length) : std::string();
            const std::string pad(fields_[f].Length - cell.size(), ' ');
            records_ += (fields_[f].Type == 'N' || fields_[f].Type == 'F') ? pad + cell : cell + pad;
        }
        return *this;
    }

    std::uint8_t version_ = 0x03;
    static constexpr std::array<std::uint8_t, 3> kDate{124, 5, 1};  // 2024-05-01
    std::uint8_t driver_ = 0;
    std::string descriptors_;
    std::vector<FieldShape> fields_;
    std::string records_;
    std::optional<std::size_t> recordCount_;
};

}  // namespace quillet::testing
