#include "table/read_table.h"

#include <algorithm>
#include <atomic>
#include <cstdio>
#include <exception>
#include <functional>
#include <thread>

#include "table/field_decoding.h"
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
    h.RecordCount = static_cast<std::int32_t>(U32(p + 4));
    h.HeaderLength = static_cast<std::int16_t>(U16(p + 8));
    h.RecordLength = static_cast<std::int16_t>(U16(p + 10));
    std::copy(p + 12, p + 32, h.Reserved.begin());
    return h;
}

FieldDescriptor DecodeDescriptor(const unsigned char* p) {
    FieldDescriptor d;
    std::copy(p, p + 11, d.Name.begin());
    d.Type = static_cast<char>(p[11]);
    std::copy(p + 12, p + 16, d.Address.begin());
    d.Length = p[16];
    d.Decimals = static_cast<char>(p[17]);
    std::copy(p + 18, p + 32, d.Reserved.begin());
    return d;
}

// The raw name without NULs and CRs, then without leading and trailing blanks.
std::string CleanName(const std::array<char, 11>& raw) {
    std::string name;
    for (char c : raw) {
        if (c != '\0' && c != '\r') name += c;
    }
    const auto first = name.find_first_not_of(' ');
    if (first == std::string::npos) return {};
    return name.substr(first, name.find_last_not_of(' ') - first + 1);
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
    source.ReadAt(static_cast<std::uint64_t>(table.Header.HeaderLength) + begin, table.RecordBytes.data() + begin,
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
    constexpr std::uint64_t kSplitFrom = 16u << 20;
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

}  // namespace

const char* VersionTextOf(std::uint8_t version) {
    switch (version) {
    case 0x02: return "FoxBASE";
    case 0x03: return "FoxBASE+/Dbase III plus, no memo";
    case 0x30: return "Visual FoxPro";
    case 0x31: return "Visual FoxPro, autoincrement enabled";
    case 0x32: return "Visual FoxPro with field type Varchar or Varbinary";
    case 0x43: return "dBASE IV SQL table files, no memo";
    case 0x63: return "dBASE IV SQL system files, no memo";
    case 0x83: return "FoxBASE+/dBASE III PLUS, with memo";
    case 0x8B: return "dBASE IV with memo";
    case 0xCB: return "dBASE IV SQL table files, with memo";
    case 0xF5: return "FoxPro 2.x (or earlier) with memo";
    case 0xE5: return "HiPer-Six format with SMT memo file";
    case 0xFB: return "FoxBASE";
    default: return nullptr;
    }
}

OpenTable ReadTableFrom(ByteSource& source, const std::string& path, const ReadProgress& progress) {
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
    if (headBytes < sizeof(head)) Damaged(path, "the file ends inside its 32-byte header");

    const TableHeader& header = table.Header;
    if (header.HeaderLength < 64) {
        Damaged(path, "the header length " + std::to_string(header.HeaderLength) + " leaves no room for a field");
    }
    if (static_cast<std::uint64_t>(header.HeaderLength) > size) {
        Damaged(path, "the header length " + std::to_string(header.HeaderLength) + " is beyond the end of the file (" +
                          std::to_string(size) + " bytes)");
    }
    if (header.RecordLength < 1) {
        Damaged(path, "the record length " + std::to_string(header.RecordLength) + " is below 1");
    }

    table.VersionText = versionText;
    table.LastUpdate = DecodeLastUpdate(header.UpdateDate);
    table.FieldCount = header.HeaderLength / 32 - 1;

    std::vector<unsigned char> descriptors(static_cast<std::size_t>(table.FieldCount) * 32);
    source.ReadAt(32, reinterpret_cast<char*>(descriptors.data()), descriptors.size(), {});
    const auto recordLength = static_cast<std::uint32_t>(header.RecordLength);
    std::uint32_t position = 1;
    for (int i = 0; i < table.FieldCount; ++i) {
        FieldDescriptor d = DecodeDescriptor(descriptors.data() + static_cast<std::size_t>(i) * 32);
        d.Offset = std::min(position, recordLength);
        d.StoredLength = position < recordLength ? std::min<std::uint32_t>(d.Length, recordLength - position) : 0;
        position += d.Length;
        table.FieldNames.push_back(CleanName(d.Name));
        table.FieldDescriptors.push_back(d);
    }

    // Only records the file really holds get memory, whatever the header promises.
    table.RecordsPromised = header.RecordCount;
    const std::uint64_t promised = header.RecordCount > 0 ? static_cast<std::uint64_t>(header.RecordCount) : 0;
    const std::uint64_t available = size - static_cast<std::uint64_t>(header.HeaderLength);
    // A final partial record counts, unless it is no more than the end-of-file marker.
    std::uint64_t present = available / recordLength;
    const std::uint64_t tail = available % recordLength;
    if (tail > 1 || (tail == 1 && !EndMarkerAt(source, size - 1))) ++present;
    const std::uint64_t held = std::min(promised, present);
    const std::uint64_t wanted = held * recordLength;
    const std::uint64_t readable = std::min(wanted, available);
    table.RecordBytes.resize(wanted);
    table.DeletedFlags.resize(held);
    table.Fields = PrepareFields(table, held);
    const std::uint64_t decoded = ReadRecords(source, table, held, readable, progress);
    // A final partial record: blanks stand in for the bytes the file does not have.
    std::fill(table.RecordBytes.begin() + static_cast<std::ptrdiff_t>(readable), table.RecordBytes.end(), ' ');
    DecodeSpan(table, decoded, held, readable);
    table.Header.RecordCount = static_cast<std::int32_t>(held);

    UseDeclaredCodePage(table, {});
    return table;
}

OpenTable ReadTableFile(const std::string& path, const ReadProgress& progress) {
    FileSource file(path);
    OpenTable table = ReadTableFrom(file, path, progress);
    UseDeclaredCodePage(table, path);
    return table;
}

OpenTable ReadTableBytes(std::string_view bytes, const std::string& name, const ReadProgress& progress) {
    MemorySource source(bytes, name);
    return ReadTableFrom(source, name, progress);
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
