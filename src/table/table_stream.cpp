#include "table/table_stream.h"

#include <algorithm>

#include "table/table_code_page.h"

namespace quillet {

TableStream::TableStream(const std::string& path, std::uint64_t windowBytes)
    : TableStream(std::make_unique<FileSource>(path), path, [path](bool foxPro) { return FindMemoFile(path, foxPro); },
                  windowBytes) {
    UseDeclaredCodePage(table_, path);
}

TableStream::TableStream(std::unique_ptr<ByteSource> source, const std::string& name, MemoFinder findMemo,
                         std::uint64_t windowBytes)
    : source_(std::move(source)), findMemo_(std::move(findMemo)), table_(ReadTableHead(*source_, name)) {
    const std::uint64_t length = std::max<std::uint64_t>(1, table_.Header.RecordLength);
    windowRecords_ = static_cast<std::int64_t>(std::max<std::uint64_t>(1, windowBytes / length));
    table_.Windows = this;
}

void TableStream::Hold(std::int64_t first, std::int64_t last) {
    const auto held = static_cast<std::int64_t>(table_.DeletedFlags.size());
    if (first == table_.FirstHeld && last == first + held) return;
    const MemoTally memos = ReadRecordWindow(*source_, table_, first, last, findMemo_);
    // Exporters that look at the records twice hold each window twice.
    if (last > tallied_) {
        memos_.Add(memos);
        tallied_ = last;
    }
}

}  // namespace quillet
