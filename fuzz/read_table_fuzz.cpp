// Arbitrary bytes as a table file: the reader either gives a table whose every cell can be
// shown, or refuses it with a message; it never reads outside the bytes, never reserves
// memory for records the bytes cannot hold, and never hangs. The bytes after the records the
// header promises are the table's memo file, so the real tables seed both.

#include <algorithm>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

#include "fuzz/output_checks.h"
#include "table/cell_text.h"
#include "table/code_page.h"
#include "table/read_table.h"
#include "table/table_stream.h"

using namespace quillet;
using quillet::fuzzing::Require;

namespace {

bool Within(std::string_view inner, const char* begin, std::size_t size) {
    return inner.empty() || (inner.data() >= begin && inner.data() + inner.size() <= begin + size);
}

std::string_view MemoBytes(std::string_view bytes) {
    if (bytes.size() < 12) return {};
    const auto byte = [&](std::size_t at) { return static_cast<std::uint64_t>(static_cast<unsigned char>(bytes[at])); };
    const std::uint64_t records = byte(4) | byte(5) << 8 | byte(6) << 16 | byte(7) << 24;
    const std::uint64_t end = (byte(8) | byte(9) << 8) + records * (byte(10) | byte(11) << 8);
    return end < bytes.size() ? bytes.substr(end) : std::string_view();
}

// The record's mark and its cells as the list shows them.
std::string RecordText(const OpenTable& table, std::int64_t r) {
    std::string text(1, table.IsDeleted(r) ? '*' : ' ');
    for (int f = 0; f < table.FieldCount; ++f) text += CellText(table.Cell(r, f), '.') + '|';
    return text;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    static const CodePage* const utf8 = CodePage::ForNumber(65001);
    const std::string_view memo = MemoBytes(bytes);
    try {
        OpenTable table = ReadTableBytes(bytes, "fuzz.dbf", {}, &memo);
        table.ListColumns();

        const std::int64_t records = table.RecordCount();
        const auto recordLength = static_cast<std::size_t>(table.Header.RecordLength);
        Require(records >= 0 && (recordLength >= 1 || (table.FieldCount == 0 && records == 0)), "record count and length");
        Require(static_cast<std::size_t>(table.FieldCount) * 32 + 32 <= table.Header.HeaderLength, "fields within the header");
        Require(table.FieldNames.size() == static_cast<std::size_t>(table.FieldCount), "one name per field");
        Require(table.RecordBytes.size() == static_cast<std::size_t>(records) * recordLength, "record bytes");
        // At most one record more than the bytes hold whole: the partial last one.
        Require(table.RecordBytes.size() < size + recordLength, "memory for records the file lacks");
        Require(table.DeletedFlags.size() == static_cast<std::size_t>(records), "one flag per record");
        Require(table.ColumnCount <= table.FieldCount, "columns within fields");

        std::string text;
        for (const std::string& name : table.FieldNames) {
            Require(name.find('\0') == std::string::npos && name.find('\r') == std::string::npos, "clean names");
            text = table.TableCodePage->ToUtf8(name);
        }
        for (std::int64_t r = 0; r < records; ++r) {
            (void)table.IsDeleted(r);
            for (int f = 0; f < table.FieldCount; ++f) {
                const CellValue cell = table.Cell(r, f);
                if (cell.Kind == CellKind::Text) {
                    const FieldCells& cells = table.Fields[static_cast<std::size_t>(f)];
                    Require(Within(cell.Text, table.RecordBytes.data(), table.RecordBytes.size()) ||
                                Within(cell.Text, cells.DerivedText.data(), cells.DerivedText.size()),
                            "text cell inside the table's bytes");
                    text = table.TableCodePage->ToUtf8(cell.Text);
                    text = utf8->ToUtf8(cell.Text);
                }
                text = CellText(cell, ',');
                const FieldCells& cells = table.Fields[static_cast<std::size_t>(f)];
                const std::size_t room = cells.Storage == FieldStorage::Memo ? memo.size()
                                         : std::max<std::size_t>(table.FieldDescriptors[static_cast<std::size_t>(f)].Length, cells.DerivedWidth);
                Require(cell.Kind != CellKind::Text || text.size() <= room, "cell text within its field or memo file");
                Require(cell.Kind != CellKind::Binary || cell.ByteSize <= room, "binary within its field or memo file");
            }
        }
    } catch (const TableError& e) {
        const std::string message = e.what();
        Require(!message.empty(), "a message");
        if (e.ErrorKind() != TableError::Kind::UnknownVersion) {
            Require(message.find("fuzz.dbf") != std::string::npos, "the message names the file");
        }
    }
    // Read a few records at a time, the same bytes give the same cells and warnings, or the
    // same refusal.
    std::string whole, windowed;
    const auto cells = [](OpenTable& table, std::string& out) {
        ForEachWindow(table, [&](std::int64_t first, std::int64_t last) {
            for (std::int64_t r = first; r < last; ++r) out += RecordText(table, r);
        });
        for (const std::string& warning : table.Warnings) out += warning;
    };
    const auto memoFinder = [&](bool foxPro) { return MemoSource{std::make_unique<MemorySource>(memo, "fuzz.fpt"), "fuzz.fpt", foxPro, {}}; };
    try {
        MemorySource source(bytes, "fuzz.dbf");
        OpenTable table = ReadTableFrom(source, "fuzz.dbf", memoFinder);
        cells(table, whole);
    } catch (const TableError& e) {
        whole = e.what();
    }
    try {
        // Windows of one record up to a few hundred bytes' worth.
        TableStream stream(std::make_unique<MemorySource>(bytes, "fuzz.dbf"), "fuzz.dbf", memoFinder, 1 + size % 512);
        cells(stream.Table(), windowed);
        for (const std::string& warning : stream.Warnings()) windowed += warning;
        // Record by record from the last, as a list scrolled up asks for them.
        std::string backward;
        const OpenTable& table = stream.Table();
        for (std::int64_t r = table.RecordCount() - 1; r >= 0; --r) {
            HoldRecord(table, r);
            backward.insert(0, RecordText(table, r));
        }
        Require(windowed.starts_with(backward), "the same records read backward");
    } catch (const TableError& e) {
        windowed = e.what();
    }
    Require(whole == windowed, "the same table read a window at a time");

    // The .cpg parser sees text that other programs wrote, too.
    if (const CodePage* page = CodePage::ForName(bytes.substr(0, 63))) (void)page->ToUtf8(bytes.substr(0, 32));
    return 0;
}
