#include "table/field_decoding.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstring>

#include "table/numeric_reading.h"

namespace quillet {

namespace {

constexpr std::uint32_t kDateTimeWidth = 19;

// The first `size` bytes of a binary field, zero-filled where the record cut it short.
template <std::size_t size>
std::array<unsigned char, size> BinaryBytes(std::string_view text) {
    std::array<unsigned char, size> bytes{};
    std::memcpy(bytes.data(), text.data(), std::min(size, text.size()));
    return bytes;
}

std::uint64_t LittleEndian(const unsigned char* p, std::size_t size) {
    std::uint64_t value = 0;
    for (std::size_t i = size; i-- > 0;) value = (value << 8) | p[i];
    return value;
}

double DecimalDivisor(char decimals) {
    if (decimals >= '0' && decimals <= '9') return std::pow(10.0, decimals - '0');
    return 1;
}

enum class Decoder { None, Bytes, Numeric, Int32, Currency, Double, Truth, DateTime };

Decoder DecoderFor(const FieldDescriptor& d, std::uint8_t version) {
    const bool visualFoxPro = version == 0x30 || version == 0x31 || version == 0x32;
    switch (d.Type) {
    case 'C':
    case 'D': return Decoder::Bytes;
    case 'N':
    case 'F': return Decoder::Numeric;
    case 'I': return d.Length == 4 ? Decoder::Int32 : Decoder::Numeric;
    case 'Y': return d.Length == 8 ? Decoder::Currency : Decoder::None;
    case 'B': return d.Length == 8 && visualFoxPro ? Decoder::Double : Decoder::None;
    case 'T': return d.Length == 8 ? Decoder::DateTime : Decoder::None;
    case 'L': return Decoder::Truth;
    default: return Decoder::None;
    }
}

double DecodeNumber(Decoder decoder, std::string_view text, double divisor) {
    switch (decoder) {
    case Decoder::Numeric: return NumericReading(text) / divisor;
    case Decoder::Int32: {
        const auto b = BinaryBytes<4>(text);
        return static_cast<std::int32_t>(static_cast<std::uint32_t>(LittleEndian(b.data(), 4)));
    }
    case Decoder::Currency: {
        const auto b = BinaryBytes<8>(text);
        return static_cast<double>(static_cast<std::int64_t>(LittleEndian(b.data(), 8))) / 10000.0;
    }
    case Decoder::Double: {
        const auto b = BinaryBytes<8>(text);
        const std::uint64_t bits = LittleEndian(b.data(), 8);
        double value;
        std::memcpy(&value, &bits, sizeof value);
        return value;
    }
    default: return 0;
    }
}

}  // namespace

std::string DateTimeText(std::int32_t julianDay, std::int32_t milliseconds) {
    // Julian days of 0001-01-01 and 9999-12-31.
    if ((julianDay == 0 && milliseconds == 0) || julianDay < 1721426 || julianDay > 5373484 || milliseconds < 0 ||
        milliseconds >= 86400000) {
        return {};
    }
    // Fliegel and Van Flandern's conversion to the Gregorian calendar.
    std::int64_t l = static_cast<std::int64_t>(julianDay) + 68569;
    const std::int64_t n = 4 * l / 146097;
    l -= (146097 * n + 3) / 4;
    const std::int64_t i = 4000 * (l + 1) / 1461001;
    l = l - 1461 * i / 4 + 31;
    const std::int64_t j = 80 * l / 2447;
    const std::int64_t day = l - 2447 * j / 80;
    l = j / 11;
    const std::int64_t month = j + 2 - 12 * l;
    const std::int64_t year = 100 * (n - 49) + i + l;
    const int seconds = milliseconds / 1000;
    char text[64];
    std::snprintf(text, sizeof text, "%04lld-%02lld-%02lld %02d:%02d:%02d", static_cast<long long>(year),
                  static_cast<long long>(month), static_cast<long long>(day), seconds / 3600, seconds / 60 % 60,
                  seconds % 60);
    return text;
}

std::vector<FieldCells> PrepareFields(const OpenTable& table, std::size_t records) {
    std::vector<FieldCells> fields(table.FieldDescriptors.size());
    for (std::size_t f = 0; f < fields.size(); ++f) {
        FieldCells& cells = fields[f];
        switch (DecoderFor(table.FieldDescriptors[f], table.Header.Version)) {
        case Decoder::None: cells.Storage = FieldStorage::None; break;
        case Decoder::Bytes: cells.Storage = FieldStorage::Bytes; break;
        case Decoder::Truth:
            cells.Storage = FieldStorage::Truth;
            cells.Truths.resize(records);
            break;
        case Decoder::DateTime:
            cells.Storage = FieldStorage::Derived;
            cells.DerivedWidth = kDateTimeWidth;
            cells.DerivedText.assign(records * kDateTimeWidth, '\0');
            break;
        default:
            cells.Storage = FieldStorage::Number;
            cells.Numbers.resize(records);
            break;
        }
    }
    return fields;
}

void DecodeRecords(const OpenTable& table, std::vector<FieldCells>& fields, std::size_t begin, std::size_t end,
                   std::uint64_t bytesFromFile) {
    struct Work {
        Decoder Kind;
        std::uint32_t Offset;
        std::uint32_t Length;
        double Divisor;
        FieldCells* Cells;
        bool Binary;
    };
    std::vector<Work> work;
    for (std::size_t f = 0; f < fields.size(); ++f) {
        const FieldDescriptor& d = table.FieldDescriptors[f];
        const Decoder kind = DecoderFor(d, table.Header.Version);
        if (kind == Decoder::None || kind == Decoder::Bytes) continue;
        const bool binary = kind == Decoder::Int32 || kind == Decoder::Currency || kind == Decoder::Double ||
                            kind == Decoder::DateTime;
        work.push_back({kind, d.Offset, d.StoredLength, DecimalDivisor(d.Decimals), &fields[f], binary});
    }
    if (work.empty()) return;

    // Record by record, so each record's bytes are fetched from memory once for all its fields.
    for (std::size_t r = begin; r < end; ++r) {
        const std::string_view record = table.RecordText(static_cast<std::int64_t>(r));
        // Only a cut file's last record holds bytes that did not come from the file.
        const std::uint64_t start = static_cast<std::uint64_t>(r) * record.size();
        const std::size_t fromFile =
            start >= bytesFromFile ? 0 : static_cast<std::size_t>(std::min<std::uint64_t>(record.size(), bytesFromFile - start));
        for (const Work& w : work) {
            std::string_view text = record.substr(w.Offset, w.Length);
            if (w.Binary && w.Offset + text.size() > fromFile) text = text.substr(0, fromFile > w.Offset ? fromFile - w.Offset : 0);
            switch (w.Kind) {
            case Decoder::Truth: w.Cells->Truths[r] = text == "Y" || text == "T"; break;
            case Decoder::DateTime: {
                const auto b = BinaryBytes<8>(text);
                const std::string value = DateTimeText(static_cast<std::int32_t>(LittleEndian(b.data(), 4)),
                                                       static_cast<std::int32_t>(LittleEndian(b.data() + 4, 4)));
                value.copy(w.Cells->DerivedText.data() + r * kDateTimeWidth, kDateTimeWidth);
                break;
            }
            default: w.Cells->Numbers[r] = DecodeNumber(w.Kind, text, w.Divisor); break;
            }
        }
    }
}

}  // namespace quillet
