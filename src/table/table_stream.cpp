#include "table/table_stream.h"

#include <algorithm>

#include "table/table_code_page.h"

namespace quillet {
namespace {

std::int64_t RecordsIn(std::uint64_t windowBytes, const OpenTable& table) {
    const std::uint64_t length = std::max<std::uint64_t>(1, table.Header.RecordLength);
    return static_cast<std::int64_t>(std::max<std::uint64_t>(1, windowBytes / length));
}

}  // namespace

TableStream::TableStream(const std::string& path, std::uint64_t windowBytes)
    : TableStream(std::make_unique<FileSource>(path), path, [path](bool foxPro) { return FindMemoFile(path, foxPro); },
                  windowBytes) {
    UseDeclaredCodePage(table_, path);
}

TableStream::TableStream(std::unique_ptr<ByteSource> source, const std::string& name, MemoFinder findMemo,
                         std::uint64_t windowBytes)
    : source_(std::move(source)), findMemo_(std::move(findMemo)), table_(ReadTableHead(*source_, name)) {
    windowRecords_ = RecordsIn(windowBytes, table_);
    table_.Windows = this;
}

TableStream::TableStream(const TableStream& other, std::uint64_t windowBytes)
    : source_(other.source_), findMemo_(other.findMemo_), table_(other.table_) {
    // The head without the other stream's records: its window is held anew when asked for, with
    // its memos counted here.
    LetGo();
    windowRecords_ = RecordsIn(windowBytes, table_);
    table_.Windows = this;
}

void TableStream::LetGo() {
    table_.RecordBytes = {};
    table_.DeletedFlags = {};
    for (FieldCells& cells : table_.Fields) {
        cells.Numbers = {};
        cells.Truths = {};
        cells.DerivedText = {};
        cells.Lengths = {};
        cells.Memos = {};
        cells.Nulls = {};
    }
}

std::unique_ptr<TableStream> TableStream::Another(std::uint64_t windowBytes) const {
    return std::unique_ptr<TableStream>(new TableStream(*this, windowBytes));
}

void TableStream::Hold(std::int64_t first, std::int64_t last) {
    const auto held = static_cast<std::int64_t>(table_.DeletedFlags.size());
    if (first == table_.FirstHeld && last == first + held) return;
    MemoTally memos;
    try {
        memos = ReadRecordWindow(*source_, table_, first, last, findMemo_);
    } catch (...) {
        // A window read in part would give cells the file never had.
        LetGo();
        throw;
    }
    // Exporters that look at the records twice hold each window twice.
    if (last > tallied_) {
        memos_.Add(memos);
        tallied_ = last;
    }
}

TableForThread::TableForThread(const OpenTable& table) : table_(table) {
    // Only streams hold windows.
    if (const auto* stream = dynamic_cast<const TableStream*>(table.Windows)) own_ = stream->Another();
}

}  // namespace quillet
