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

std::uint64_t BigEndian(const unsigned char* p, std::size_t size) {
    std::uint64_t value = 0;
    for (std::size_t i = 0; i < size; ++i) value = (value << 8) | p[i];
    return value;
}

double DecimalDivisor(char decimals) {
    if (decimals >= '0' && decimals <= '9') return std::pow(10.0, decimals - '0');
    return 1;
}

enum class Decoder {
    None, Bytes, Numeric, Int32, Currency, Double, Truth, DateTime,
    SortableInt32,   // dBASE 7 I and +: big-endian with the sign bit flipped
    SortableDouble,  // dBASE 7 O: big-endian, sign bit flipped when positive, every bit when negative
    SignFlippedDouble,  // O elsewhere (javadbf writes it so): big-endian with only the sign bit flipped
    Timestamp,       // dBASE 7 @: a big-endian double of milliseconds, day 1 being 0001-01-01
    Varying, Memo,
};

bool IsVisualFoxPro(std::uint8_t version) { return version == 0x30 || version == 0x31 || version == 0x32; }
bool IsDbase7(std::uint8_t version) { return version == 0x04 || version == 0x8C; }

Decoder DecoderFor(const FieldDescriptor& d, std::uint8_t version) {
    const bool visualFoxPro = IsVisualFoxPro(version);
    switch (d.Type) {
    case 'C':
    case 'D': return Decoder::Bytes;
    case 'N':
    case 'F': return Decoder::Numeric;
    case 'I':
        if (d.Length != 4) return Decoder::Numeric;
        return IsDbase7(version) ? Decoder::SortableInt32 : Decoder::Int32;
    case '+': return d.Length == 4 ? Decoder::SortableInt32 : Decoder::None;
    case 'O':
        if (d.Length != 8) return Decoder::None;
        return IsDbase7(version) ? Decoder::SortableDouble : Decoder::SignFlippedDouble;
    case '@': return d.Length == 8 ? Decoder::Timestamp : Decoder::None;
    case 'Y': return d.Length == 8 ? Decoder::Currency : Decoder::None;
    // Visual FoxPro's B is a double; dBASE's is a binary memo.
    case 'B': return d.Length == 8 && visualFoxPro ? Decoder::Double : Decoder::Memo;
    case 'T': return d.Length == 8 ? Decoder::DateTime : Decoder::None;
    case 'L': return Decoder::Truth;
    case 'M':
    case 'G':
    case 'P':
    case 'W': return Decoder::Memo;
    case 'V': return visualFoxPro ? Decoder::Varying : Decoder::Bytes;
    case 'Q': return visualFoxPro ? Decoder::Varying : Decoder::None;
    default: return Decoder::None;
    }
}

double DoubleOfBits(std::uint64_t bits) {
    double value;
    std::memcpy(&value, &bits, sizeof value);
    return value;
}

double DecodeNumber(Decoder decoder, std::string_view text, double divisor) {
    switch (decoder) {
    case Decoder::Numeric: return NumericReading(text) / divisor;
    case Decoder::Int32: {
        const auto b = BinaryBytes<4>(text);
        return static_cast<std::int32_t>(static_cast<std::uint32_t>(LittleEndian(b.data(), 4)));
    }
    case Decoder::SortableInt32: {
        const auto b = BinaryBytes<4>(text);
        return static_cast<std::int32_t>(static_cast<std::uint32_t>(BigEndian(b.data(), 4)) ^ 0x80000000u);
    }
    case Decoder::Currency: {
        const auto b = BinaryBytes<8>(text);
        return static_cast<double>(static_cast<std::int64_t>(LittleEndian(b.data(), 8))) / 10000.0;
    }
    case Decoder::Double: {
        const auto b = BinaryBytes<8>(text);
        return DoubleOfBits(LittleEndian(b.data(), 8));
    }
    case Decoder::SortableDouble:
    case Decoder::SignFlippedDouble: {
        const auto b = BinaryBytes<8>(text);
        constexpr std::uint64_t kSign = std::uint64_t{1} << 63;
        const std::uint64_t bits = BigEndian(b.data(), 8);
        // All zero: never written (dBASE writes 0 as 80 00 ... 00).
        if (bits == 0) return 0;
        const bool negative = (bits & kSign) == 0;
        return DoubleOfBits(negative && decoder == Decoder::SortableDouble ? ~bits : bits ^ kSign);
    }
    default: return 0;
    }
}

std::string TimestampText(std::string_view text) {
    constexpr double kDay = 86400000;
    const auto b = BinaryBytes<8>(text);
    const double milliseconds = DoubleOfBits(BigEndian(b.data(), 8));
    // Beyond year 9999 (and NaN): no date.
    if (!(milliseconds > 0 && milliseconds < 4e14)) return {};
    const double days = std::floor(milliseconds / kDay);
    // The Julian day number of 0001-01-01 is 1721426.
    return DateTimeText(static_cast<std::int32_t>(days) + 1721425, static_cast<std::int32_t>(milliseconds - days * kDay));
}

bool NullFlag(std::string_view record, const FieldDescriptor& flags, int bit) {
    const auto byte = static_cast<std::uint32_t>(bit) / 8;
    if (bit < 0 || byte >= flags.StoredLength) return false;
    // Writers that do not know the field fill it with blanks: no flag is set then.
    const std::string_view bytes = record.substr(flags.Offset, flags.StoredLength);
    if (bytes.find_first_not_of(' ') == std::string_view::npos) return false;
    return (static_cast<unsigned char>(bytes[byte]) >> (bit % 8) & 1) != 0;
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

const FieldDescriptor* NullFlagsField(const OpenTable& table) {
    if (!IsVisualFoxPro(table.Header.Version)) return nullptr;
    for (const FieldDescriptor& d : table.FieldDescriptors) {
        if (d.Type == '0' && (d.Flags & 0x01) != 0) return &d;
    }
    return nullptr;
}

std::vector<FieldCells> PrepareFields(const OpenTable& table, std::size_t records) {
    const bool nullFlags = NullFlagsField(table) != nullptr;
    std::vector<FieldCells> fields(table.FieldDescriptors.size());
    for (std::size_t f = 0; f < fields.size(); ++f) {
        FieldCells& cells = fields[f];
        const FieldDescriptor& d = table.FieldDescriptors[f];
        if (nullFlags && d.NullBit >= 0) cells.Nulls.resize(records);
        switch (DecoderFor(d, table.Header.Version)) {
        case Decoder::None: cells.Storage = FieldStorage::None; break;
        case Decoder::Bytes: cells.Storage = FieldStorage::Bytes; break;
        case Decoder::Truth:
            cells.Storage = FieldStorage::Truth;
            cells.Truths.resize(records);
            break;
        case Decoder::DateTime:
        case Decoder::Timestamp:
            cells.Storage = FieldStorage::Derived;
            cells.DerivedWidth = kDateTimeWidth;
            cells.DerivedText.assign(records * kDateTimeWidth, '\0');
            break;
        case Decoder::Varying:
            cells.Storage = FieldStorage::Varying;
            cells.BinaryBytes = d.Type == 'Q';
            cells.Lengths.resize(records);
            break;
        case Decoder::Memo:
            cells.Storage = FieldStorage::Memo;
            cells.Memos.resize(records);
            break;
        default:
            cells.Storage = FieldStorage::Number;
            cells.DecimalText = DecoderFor(d, table.Header.Version) == Decoder::Numeric && DecimalDivisor(d.Decimals) == 1;
            if (!cells.DecimalText) cells.Numbers.resize(records);
            break;
        }
    }
    return fields;
}

void DecodeRecords(const OpenTable& table, std::vector<FieldCells>& fields, std::size_t begin, std::size_t end,
                   std::uint64_t bytesFromFile) {
    struct Work {
        Decoder Kind;
        const FieldDescriptor* Field;
        double Divisor;
        FieldCells* Cells;
        bool Binary;
    };
    const FieldDescriptor* nullFlags = NullFlagsField(table);
    std::vector<Work> work;
    for (std::size_t f = 0; f < fields.size(); ++f) {
        const FieldDescriptor& d = table.FieldDescriptors[f];
        // Decimal texts are read when a number is asked for; only their null flags are decoded here.
        const Decoder kind = fields[f].DecimalText ? Decoder::None : DecoderFor(d, table.Header.Version);
        const bool decoded = kind != Decoder::None && kind != Decoder::Bytes && kind != Decoder::Memo;
        if (!decoded && fields[f].Nulls.empty()) continue;
        const bool binary = kind == Decoder::Int32 || kind == Decoder::Currency || kind == Decoder::Double ||
                            kind == Decoder::DateTime || kind == Decoder::SortableInt32 ||
                            kind == Decoder::SortableDouble || kind == Decoder::SignFlippedDouble ||
                            kind == Decoder::Timestamp;
        work.push_back({kind, &d, DecimalDivisor(d.Decimals), &fields[f], binary});
    }
    if (work.empty()) return;

    // Record by record, so each record's bytes are fetched from memory once for all its fields.
    for (std::size_t r = begin; r < end; ++r) {
        const std::string_view record = table.RecordText(table.FirstHeld + static_cast<std::int64_t>(r));
        // Only a cut file's last record holds bytes that did not come from the file.
        const std::uint64_t start = static_cast<std::uint64_t>(r) * record.size();
        const std::size_t fromFile =
            start >= bytesFromFile ? 0 : static_cast<std::size_t>(std::min<std::uint64_t>(record.size(), bytesFromFile - start));
        for (const Work& w : work) {
            const std::uint32_t offset = w.Field->Offset;
            std::string_view text = record.substr(offset, w.Field->StoredLength);
            if (w.Binary && offset + text.size() > fromFile) text = text.substr(0, fromFile > offset ? fromFile - offset : 0);
            if (!w.Cells->Nulls.empty()) w.Cells->Nulls[r] = NullFlag(record, *nullFlags, w.Field->NullBit);
            switch (w.Kind) {
            case Decoder::None:
            case Decoder::Bytes:
            case Decoder::Memo: break;
            case Decoder::Truth: w.Cells->Truths[r] = text == "Y" || text == "T"; break;
            case Decoder::DateTime: {
                const auto b = BinaryBytes<8>(text);
                const std::string value = DateTimeText(static_cast<std::int32_t>(LittleEndian(b.data(), 4)),
                                                       static_cast<std::int32_t>(LittleEndian(b.data() + 4, 4)));
                value.copy(w.Cells->DerivedText.data() + r * kDateTimeWidth, kDateTimeWidth);
                break;
            }
            case Decoder::Timestamp:
                TimestampText(text).copy(w.Cells->DerivedText.data() + r * kDateTimeWidth, kDateTimeWidth);
                break;
            case Decoder::Varying: {
                // The last byte holds the length in use when the null flags say so; else the field is full.
                const bool counted = nullFlags != nullptr && NullFlag(record, *nullFlags, w.Field->LengthBit);
                const std::size_t length = counted && !text.empty() && text.size() == w.Field->Length
                                               ? std::min<std::size_t>(static_cast<unsigned char>(text.back()), text.size() - 1)
                                               : text.size();
                w.Cells->Lengths[r] = static_cast<std::uint16_t>(length);
                break;
            }
            default: w.Cells->Numbers[r] = DecodeNumber(w.Kind, text, w.Divisor); break;
            }
        }
    }
}

}  // namespace quillet
