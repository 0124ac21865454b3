// Arbitrary bytes as a table file: the reader either gives a table whose every cell can be
// shown, or refuses it with a message; it never reads outside the bytes, never reserves
// memory for records the bytes cannot hold, and never hangs.

#include <cstdint>
#include <string>
#include <string_view>

#include "fuzz/output_checks.h"
#include "table/cell_text.h"
#include "table/code_page.h"
#include "table/read_table.h"

using namespace quillet;
using quillet::fuzzing::Require;

namespace {

bool Within(std::string_view inner, const char* begin, std::size_t size) {
    return inner.empty() || (inner.data() >= begin && inner.data() + inner.size() <= begin + size);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    static const CodePage* const utf8 = CodePage::ForNumber(65001);
    try {
        OpenTable table = ReadTableBytes(bytes, "fuzz.dbf");
        table.ListColumns();

        const std::int64_t records = table.RecordCount();
        const auto recordLength = static_cast<std::size_t>(table.Header.RecordLength);
        Require(records >= 0 && recordLength >= 1, "record count and length");
        Require(table.FieldCount == table.Header.HeaderLength / 32 - 1, "field count");
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
                Require(text.size() <= 255 || cell.Kind != CellKind::Text, "cell text within its field");
            }
        }
    } catch (const TableError& e) {
        const std::string message = e.what();
        Require(!message.empty(), "a message");
        if (e.ErrorKind() != TableError::Kind::UnknownVersion) {
            Require(message.find("fuzz.dbf") != std::string::npos, "the message names the file");
        }
    }
    // The .cpg parser sees text that other programs wrote, too.
    if (const CodePage* page = CodePage::ForName(bytes.substr(0, 63))) (void)page->ToUtf8(bytes.substr(0, 32));
    return 0;
}
