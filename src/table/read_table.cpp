#include "table/read_table.h"

#include <algorithm>
#include <array>
#include <cctype>
#include <filesystem>
#include <atomic>
#include <cstdio>
#include <exception>
#include <functional>
#include <thread>

#include "table/field_decoding.h"
#include "table/memo_file.h"
#include "table/table_code_page.h"

namespace quillet {

namespace {

[[noreturn]] void Damaged(const std::string& path, const std::string& fault) {
    throw TableError(TableError::Kind::Damaged, "\"" + path + "\" is not a readable table: " + fault + ".");
}

std::uint16_t U16(const unsigned char* p) { return static_cast<std::uint16_t>(p[0] | (p[1] << 8)); }
std::uint32_t U32(const unsigned char* p) {
    return static_cast<std::uint32_t>(p[0]) | (static_cast<std::uint32_t>(p[1]) << 8) |
           (static_cast<std::uint32_t>(p[2]) << 16) | (static_cast<std::uint32_t>(p[3]) << 24);
}

TableHeader DecodeHeader(const unsigned char* p) {
    TableHeader h;
    h.Version = p[0];
    std::copy(p + 1, p + 4, h.UpdateDate.begin());
    h.RecordCount = U32(p + 4);
    h.HeaderLength = U16(p + 8);
    h.RecordLength = U16(p + 10);
    std::copy(p + 12, p + 32, h.Reserved.begin());
    return h;
}

bool IsVisualFoxPro(std::uint8_t version) { return version == 0x30 || version == 0x31 || version == 0x32; }
bool IsFoxPro(std::uint8_t version) { return IsVisualFoxPro(version) || version == 0xF5; }

// The name as stored, up to its first NUL.
std::string StoredName(const unsigned char* p, std::size_t size) {
    const auto* end = std::find(p, p + size, '\0');
    return std::string(p, end);
}

// Where a descriptor keeps its name (NUL-padded), type, length and decimals byte.
struct DescriptorLayout {
    std::size_t NameLength, Type, Length, Decimals;
};
constexpr DescriptorLayout kDescriptor{11, 11, 16, 17};
// dBASE 7: 68 header bytes (with the language driver's name), then 48-byte descriptors.
constexpr DescriptorLayout kDbase7Descriptor{32, 32, 33, 34};
constexpr DescriptorLayout kDbase2Descriptor{11, 11, 12, 15};

FieldDescriptor DecodeDescriptor(const unsigned char* p, DescriptorLayout layout, std::uint8_t version) {
    FieldDescriptor d;
    d.Name = StoredName(p, layout.NameLength);
    d.Type = static_cast<char>(p[layout.Type]);
    d.Length = p[layout.Length];
    d.Decimals = static_cast<char>(p[layout.Decimals]);
    // Other versions keep unrelated bytes there.
    if (IsVisualFoxPro(version)) d.Flags = p[18];
    return d;
}

// dBASE II shares its version byte 0x02 with FoxBASE: 8 header bytes (a 16-bit record count, the
// date as month, day, two-digit year, the record length), then up to 32 descriptors of 16 bytes
// ended by 0x0D, and the records from byte 521.
constexpr std::size_t kDbase2HeaderLength = 521;
constexpr std::size_t kDbase2MaxFields = 32;

// The dBASE II layout, taken only where its field list ends in its terminator and its field
// lengths add up to its record length: a FoxBASE table's bytes do not.
bool HasDbase2Layout(const unsigned char* bytes, std::size_t size) {
    if (size < 8 || bytes[0] != 0x02) return false;
    std::uint32_t recordLength = 1;
    std::size_t at = 8;
    for (std::size_t field = 0; field < kDbase2MaxFields && at + 16 <= size && bytes[at] != 0x0D; ++field, at += 16) {
        recordLength += bytes[at + 12];
    }
    return at > 8 && at < size && bytes[at] == 0x0D && recordLength == U16(bytes + 6);
}

TableHeader DecodeDbase2Header(const unsigned char* p) {
    TableHeader h;
    h.Version = p[0];
    h.UpdateDate = {p[5], p[3], p[4]};
    h.RecordCount = U16(p + 1);
    h.HeaderLength = kDbase2HeaderLength;
    h.RecordLength = U16(p + 6);
    return h;
}

// The name without CRs, then without leading and trailing blanks.
std::string CleanName(const std::string& stored) {
    std::string name;
    for (char c : stored) {
        if (c != '\r') name += c;
    }
    const auto first = name.find_first_not_of(' ');
    if (first == std::string::npos) return {};
    return name.substr(first, name.find_last_not_of(' ') - first + 1);
}

// The descriptors up to the 0x0D that ends the list (or the end of the header): whatever
// follows it (Visual FoxPro's database path, dBASE 7's field properties) is not a field.
std::vector<FieldDescriptor> DecodeDescriptors(const std::vector<unsigned char>& header, std::uint8_t version, bool dbase2) {
    std::vector<FieldDescriptor> fields;
    const std::size_t length = header.size();
    if (dbase2) {
        for (std::size_t p = 8; header[p] != 0x0D; p += 16) {
            fields.push_back(DecodeDescriptor(header.data() + p, kDbase2Descriptor, version));
        }
        return fields;
    }
    // dBASE 7 tables (and some writers of 0x04 tables use 32-byte descriptors instead): the
    // layout is the one whose list ends in its terminator.
    if (version == 0x04 || version == 0x8C) {
        std::size_t at = 68;
        while (at < length && header[at] != 0x0D) at += 48;
        if (at < length) {
            for (std::size_t p = 68; p < at; p += 48) {
                fields.push_back(DecodeDescriptor(header.data() + p, kDbase7Descriptor, version));
            }
            return fields;
        }
    }
    for (std::size_t p = 32; p + 32 <= length && header[p] != 0x0D; p += 32) {
        fields.push_back(DecodeDescriptor(header.data() + p, kDescriptor, version));
    }
    return fields;
}

// Clipper, Harbour and FoxPro keep the high byte of a long character field's length in its
// decimals byte. Taken so only where the record length confirms it.
void WidenLongCharacterFields(std::vector<FieldDescriptor>& fields, std::uint32_t recordLength) {
    std::uint64_t plain = 1;
    std::uint64_t wide = 1;
    for (const FieldDescriptor& d : fields) {
        plain += d.Length;
        wide += d.Length + (d.Type == 'C' ? 256u * static_cast<unsigned char>(d.Decimals) : 0u);
    }
    if (wide == plain || wide != recordLength) return;
    for (FieldDescriptor& d : fields) {
        if (d.Type != 'C') continue;
        d.Length += 256u * static_cast<unsigned char>(d.Decimals);
        d.Decimals = 0;
    }
}

// Visual FoxPro's _NullFlags: one bit for each V and Q field (its length is in its last byte),
// then one for each field that may be null, in field order.
void AssignNullBits(std::vector<FieldDescriptor>& fields) {
    int bit = 0;
    for (FieldDescriptor& d : fields) {
        if (d.Type == '0') continue;
        if (d.Type == 'V' || d.Type == 'Q') d.LengthBit = bit++;
        if ((d.Flags & 0x02) != 0) d.NullBit = bit++;
    }
}

LastUpdateDate DecodeLastUpdate(const std::array<std::uint8_t, 3>& bytes) {
    int year = bytes[0] + 1900;
    if (year < 1960) year += 100;
    return {static_cast<std::int16_t>(year), bytes[1], bytes[2]};
}

bool EndMarkerAt(ByteSource& source, std::uint64_t offset) {
    char byte = 0;
    source.ReadAt(offset, &byte, 1, {});
    return byte == '\x1A';
}

// bytesFromFile: how many of the record bytes the file gave; blanks stand in for the rest.
void DecodeSpan(OpenTable& table, std::uint64_t first, std::uint64_t last, std::uint64_t bytesFromFile) {
    const auto length = static_cast<std::uint64_t>(table.Header.RecordLength);
    for (std::uint64_t r = first; r < last; ++r) table.DeletedFlags[r] = table.RecordBytes[r * length] == '*';
    DecodeRecords(table, table.Fields, first, last, bytesFromFile);
}

// Reads the file's bytes of records [first, last), but not beyond readable bytes of records,
// decoding each piece as soon as it has been read, while its bytes are still in the cache.
// Returns the end of the records decoded. read is told the bytes read so far.
std::uint64_t ReadSpan(ByteSource& source, OpenTable& table, std::uint64_t first, std::uint64_t last, std::uint64_t readable,
                       const std::function<void(std::uint64_t done)>& read) {
    const auto length = static_cast<std::uint64_t>(table.Header.RecordLength);
    const std::uint64_t begin = first * length;
    const std::uint64_t end = std::min(last * length, readable);
    std::uint64_t decoded = first;
    if (end <= begin) return decoded;
    const std::uint64_t held = static_cast<std::uint64_t>(table.FirstHeld) * length;
    source.ReadAt(static_cast<std::uint64_t>(table.Header.HeaderLength) + held + begin, table.RecordBytes.data() + begin,
                end - begin, [&](std::uint64_t done, std::uint64_t) {
                    const std::uint64_t complete = first + done / length;
                    DecodeSpan(table, decoded, complete, readable);
                    decoded = complete;
                    if (read) read(done);
                });
    return decoded;
}

// Reads and decodes the records; a large table in two halves on two threads, each reading and
// decoding its own half. Progress is reported from the calling thread only. Returns the end of
// the records decoded (a final partial record is left to the caller).
std::uint64_t ReadRecords(ByteSource& source, OpenTable& table, std::uint64_t held, std::uint64_t readable,
                          const ReadProgress& progress) {
    constexpr std::uint64_t kSplitFrom = 4u << 20;
    if (readable < kSplitFrom || std::thread::hardware_concurrency() < 2) {
        return ReadSpan(source, table, 0, held, readable, [&](std::uint64_t done) {
            if (progress) progress(done, readable);
        });
    }
    const std::uint64_t half = held / 2;
    std::atomic<std::uint64_t> helperDone{0};
    std::exception_ptr helperFailure;
    std::uint64_t decoded = 0;
    {
        std::jthread helper([&] {
            try {
                ReadSpan(source, table, 0, half, readable, [&](std::uint64_t done) { helperDone = done; });
            } catch (...) {
                helperFailure = std::current_exception();
            }
        });
        decoded = ReadSpan(source, table, half, held, readable, [&](std::uint64_t done) {
            if (progress) progress(helperDone + done, readable);
        });
    }
    if (helperFailure) std::rethrow_exception(helperFailure);
    if (progress) progress(readable, readable);
    return decoded;
}

std::string Count(std::uint64_t count, const char* one, const char* many) {
    return std::to_string(count) + " " + (count == 1 ? one : many);
}

// Reads the memo cells of the held records from the table's memo file. What cannot be read
// stays empty and is counted. share: the held records' part of the table, for the room made.
MemoTally ReadMemos(OpenTable& table, const MemoFinder& findMemo, double share) {
    MemoTally tally;
    std::vector<std::size_t> memoFields;
    for (std::size_t f = 0; f < table.Fields.size(); ++f) {
        if (table.Fields[f].Storage == FieldStorage::Memo) memoFields.push_back(f);
    }
    if (memoFields.empty()) return tally;
    const auto held = static_cast<std::int64_t>(table.DeletedFlags.size());
    // Without a pointer there is nothing to read, so a missing file loses nothing.
    const auto pointer = [&](std::int64_t k, std::size_t f) {
        const FieldDescriptor& d = table.FieldDescriptors[f];
        return MemoBlockNumber(table.RecordText(table.FirstHeld + k).substr(d.Offset, d.StoredLength));
    };
    for (std::int64_t k = 0; k < held; ++k) {
        for (std::size_t f : memoFields) tally.Pointers += pointer(k, f) != 0;
    }
    if (tally.Pointers == 0) return tally;

    MemoSource memo = findMemo(IsFoxPro(table.Header.Version));
    tally.Name = memo.Name;
    if (memo.Source == nullptr) {
        tally.Problem = memo.Problem;
        return tally;
    }
    const MemoFormat format = memo.FoxPro ? MemoFormat::Fpt : table.Header.Version == 0x83 ? MemoFormat::DbtIII : MemoFormat::Dbt;
    MemoFile file(std::move(memo.Source), format);
    // Text memos come from the memo file, so together they are about its size at most: room made
    // once (up to a bound) spares the copies of a growing buffer.
    constexpr double kMostReserved = 64u << 20;
    for (std::size_t f : memoFields) {
        if (table.FieldDescriptors[f].Type != 'M') continue;
        const double room = std::min(kMostReserved, static_cast<double>(file.Size()) / static_cast<double>(memoFields.size())) * share;
        table.Fields[f].DerivedText.reserve(static_cast<std::size_t>(room));
    }
    for (std::int64_t k = 0; k < held; ++k) {
        for (std::size_t f : memoFields) {
            FieldCells& cells = table.Fields[f];
            const Memo found = file.Read(pointer(k, f), table.FieldDescriptors[f].Type == 'M');
            MemoCell& cell = cells.Memos[static_cast<std::size_t>(k)];
            if (found.What == Memo::Kind::Text) {
                cell = {cells.DerivedText.size(), found.Size, CellKind::Text};
                cells.DerivedText.append(found.Bytes);
            } else if (found.What == Memo::Kind::Binary) {
                cell = {0, found.Size, CellKind::Binary};
            } else {
                tally.Unreadable += found.What == Memo::Kind::Unreadable;
            }
        }
    }
    table.MemoPath = memo.Name;
    return tally;
}

}  // namespace

void MemoTally::Add(const MemoTally& other) {
    Pointers += other.Pointers;
    Unreadable += other.Unreadable;
    if (Name.empty()) Name = other.Name;
    if (Problem.empty()) Problem = other.Problem;
}

std::vector<std::string> MemoTally::Warnings() const {
    if (!Problem.empty()) return {Problem + " " + Count(Pointers, "memo is", "memos are") + " shown empty."};
    if (Unreadable == 0) return {};
    return {Count(Unreadable, "memo", "memos") + " in \"" + Name + "\" could not be read and " + (Unreadable == 1 ? "is" : "are") +
            " shown empty."};
}

const char* VersionTextOf(std::uint8_t version) {
    switch (version) {
    case 0x02: return "FoxBASE";
    case 0x03: return "FoxBASE+/Dbase III plus, no memo";
    case 0x04: return "dBASE 7";
    case 0x30: return "Visual FoxPro";
    case 0x31: return "Visual FoxPro, autoincrement enabled";
    case 0x32: return "Visual FoxPro with field type Varchar or Varbinary";
    case 0x43: return "dBASE IV SQL table files, no memo";
    case 0x63: return "dBASE IV SQL system files, no memo";
    case 0x7B: return "dBASE IV with memo";
    case 0x83: return "FoxBASE+/dBASE III PLUS, with memo";
    case 0x8B: return "dBASE IV with memo";
    case 0x8C: return "dBASE 7 with memo";
    case 0xCB: return "dBASE IV SQL table files, with memo";
    case 0xF5: return "FoxPro 2.x (or earlier) with memo";
    case 0xE5: return "HiPer-Six format with SMT memo file";
    case 0xFB: return "FoxBASE";
    default: return nullptr;
    }
}

OpenTable ReadTableHead(ByteSource& source, const std::string& path) {
    const std::uint64_t size = source.Size();
    if (size == 0) Damaged(path, "the file is empty");

    unsigned char head[32] = {};
    const std::uint64_t headBytes = std::min<std::uint64_t>(size, sizeof(head));
    source.ReadAt(0, reinterpret_cast<char*>(head), headBytes, {});

    OpenTable table;
    table.Header = DecodeHeader(head);
    const char* versionText = VersionTextOf(table.Header.Version);
    if (versionText == nullptr) {
        throw TableError(TableError::Kind::UnknownVersion,
                         std::string("This is not a dBASE III file & ") + static_cast<char>(table.Header.Version));
    }
    bool dbase2 = false;
    if (table.Header.Version == 0x02) {
        std::vector<unsigned char> bytes(std::min<std::uint64_t>(size, kDbase2HeaderLength));
        source.ReadAt(0, reinterpret_cast<char*>(bytes.data()), bytes.size(), {});
        dbase2 = HasDbase2Layout(bytes.data(), bytes.size());
        if (dbase2) table.Header = DecodeDbase2Header(bytes.data());
    }
    if (headBytes < sizeof(head) && !dbase2) Damaged(path, "the file ends inside its 32-byte header");

    const TableHeader& header = table.Header;
    if (header.HeaderLength < 32) {
        Damaged(path, "the header length " + std::to_string(header.HeaderLength) + " leaves no room for a field");
    }
    if (header.HeaderLength > size) {
        Damaged(path, "the header length " + std::to_string(header.HeaderLength) + " is beyond the end of the file (" +
                          std::to_string(size) + " bytes)");
    }

    table.VersionText = versionText;
    table.LastUpdate = DecodeLastUpdate(header.UpdateDate);

    std::vector<unsigned char> headerBytes(header.HeaderLength);
    source.ReadAt(0, reinterpret_cast<char*>(headerBytes.data()), headerBytes.size(), {});
    table.FieldDescriptors = DecodeDescriptors(headerBytes, header.Version, dbase2);
    table.FieldCount = static_cast<int>(table.FieldDescriptors.size());
    const std::uint32_t recordLength = header.RecordLength;
    if (table.FieldCount == 0 && recordLength > 1) {
        Damaged(path, "the header length " + std::to_string(header.HeaderLength) + " leaves no room for a field, though records are " +
                          std::to_string(recordLength) + " bytes long");
    }
    if (table.FieldCount > 0 && recordLength < 1) {
        Damaged(path, "the record length " + std::to_string(recordLength) + " is below 1");
    }
    WidenLongCharacterFields(table.FieldDescriptors, recordLength);
    if (IsVisualFoxPro(header.Version)) AssignNullBits(table.FieldDescriptors);
    std::uint32_t position = 1;
    for (FieldDescriptor& d : table.FieldDescriptors) {
        d.Offset = std::min(position, recordLength);
        d.StoredLength = position < recordLength ? std::min<std::uint32_t>(d.Length, recordLength - position) : 0;
        position += d.Length;
        table.FieldNames.push_back(CleanName(d.Name));
    }

    // Only records the file really holds get memory, whatever the header promises.
    table.RecordsPromised = header.RecordCount;
    const auto promised = static_cast<std::uint64_t>(header.RecordCount);
    const std::uint64_t available = size - static_cast<std::uint64_t>(header.HeaderLength);
    // A final partial record counts, unless it is no more than the end-of-file marker. A table
    // without fields may have records of no bytes at all: none are kept.
    std::uint64_t present = 0;
    if (recordLength > 0) {
        present = available / recordLength;
        const std::uint64_t tail = available % recordLength;
        if (tail > 1 || (tail == 1 && !EndMarkerAt(source, size - 1))) ++present;
    }
    table.Header.RecordCount = static_cast<std::int64_t>(std::min(promised, present));
    table.Fields = PrepareFields(table, 0);
    UseDeclaredCodePage(table, {});
    return table;
}

MemoTally ReadRecordWindow(ByteSource& source, OpenTable& table, std::int64_t first, std::int64_t last, const MemoFinder& findMemo,
                           const ReadProgress& progress) {
    const auto length = static_cast<std::uint64_t>(table.Header.RecordLength);
    const auto held = static_cast<std::uint64_t>(last - first);
    // The bytes of the window's records the file has; a final partial record has fewer.
    const std::uint64_t available = source.Size() - static_cast<std::uint64_t>(table.Header.HeaderLength);
    const std::uint64_t before = static_cast<std::uint64_t>(first) * length;
    const std::uint64_t readable = std::min(held * length, available > before ? available - before : 0);
    table.FirstHeld = first;
    table.RecordBytes.resize(held * length);
    table.DeletedFlags.resize(held);
    table.Fields = PrepareFields(table, held);
    const std::uint64_t decoded = ReadRecords(source, table, held, readable, progress);
    // A final partial record: blanks stand in for the bytes the file does not have.
    std::fill(table.RecordBytes.begin() + static_cast<std::ptrdiff_t>(readable), table.RecordBytes.end(), ' ');
    DecodeSpan(table, decoded, held, readable);
    const auto count = static_cast<double>(std::max<std::int64_t>(1, table.RecordCount()));
    return ReadMemos(table, findMemo, static_cast<double>(held) / count);
}

OpenTable ReadTableFrom(ByteSource& source, const std::string& path, const MemoFinder& findMemo, const ReadProgress& progress) {
    OpenTable table = ReadTableHead(source, path);
    const MemoTally memos = ReadRecordWindow(source, table, 0, table.RecordCount(), findMemo, progress);
    table.Warnings = memos.Warnings();
    return table;
}

MemoSource FindMemoFile(const std::string& path, bool foxPro) {
    namespace fs = std::filesystem;
    const fs::path table(path);
    const fs::path folder = table.has_parent_path() ? table.parent_path() : fs::path(".");
    const std::string stem = table.stem().string();
    const std::array<std::string, 2> extensions = foxPro ? std::array<std::string, 2>{".fpt", ".dbt"}
                                                         : std::array<std::string, 2>{".dbt", ".fpt"};
    const auto lower = [](std::string text) {
        for (char& c : text) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
        return text;
    };
    for (const std::string& extension : extensions) {
        const std::string wanted = lower(stem + extension);
        std::error_code error;
        for (const fs::directory_entry& entry : fs::directory_iterator(folder, error)) {
            const std::string name = entry.path().filename().string();
            if (lower(name) != wanted || !entry.is_regular_file(error)) continue;
            const std::string memoPath = (table.has_parent_path() ? folder / name : fs::path(name)).string();
            try {
                return {std::make_unique<FileSource>(memoPath), memoPath, extension == ".fpt", {}};
            } catch (const TableError& e) {
                return {nullptr, memoPath, false, e.what()};
            }
        }
    }
    const std::string expected = (table.has_parent_path() ? folder / (stem + extensions[0]) : fs::path(stem + extensions[0])).string();
    return {nullptr, expected, false, "The memo file \"" + expected + "\" is missing."};
}

OpenTable ReadTableFile(const std::string& path, const ReadProgress& progress) {
    FileSource file(path);
    OpenTable table = ReadTableFrom(file, path, [&](bool foxPro) { return FindMemoFile(path, foxPro); }, progress);
    UseDeclaredCodePage(table, path);
    return table;
}

OpenTable ReadTableBytes(std::string_view bytes, const std::string& name, const ReadProgress& progress,
                         const std::string_view* memo) {
    MemorySource source(bytes, name);
    return ReadTableFrom(source, name, [&](bool foxPro) {
        const std::string memoName = BaseNameOf(name) + (foxPro ? ".fpt" : ".dbt");
        if (memo == nullptr) return MemoSource{nullptr, memoName, foxPro, "The memo file \"" + memoName + "\" is missing."};
        return MemoSource{std::make_unique<MemorySource>(*memo, memoName), memoName, foxPro, {}};
    }, progress);
}

void ReadTable(const std::string& path, OpenTable& table, const ReadProgress& progress) {
    if (path.empty()) return;
    OpenTable fresh = ReadTableFile(path, progress);
    fresh.ColumnCount = table.ColumnCount;
    fresh.ColumnSelected = std::move(table.ColumnSelected);
    fresh.TableBaseName = std::move(table.TableBaseName);
    fresh.SourcePath = std::move(table.SourcePath);
    table = std::move(fresh);
}

}  // namespace quillet
