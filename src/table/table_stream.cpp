#include "table/table_stream.h"

#include <algorithm>
#include <map>
#include <mutex>

#include "table/table_code_page.h"

namespace quillet {
namespace {

std::int64_t RecordsIn(std::uint64_t windowBytes, const OpenTable& table) {
    const std::uint64_t length = std::max<std::uint64_t>(1, table.Header.RecordLength);
    return static_cast<std::int64_t>(std::max<std::uint64_t>(1, windowBytes / length));
}

void LetGoOfRecords(OpenTable& table) {
    table.RecordBytes = {};
    table.DeletedFlags = {};
    for (FieldCells& cells : table.Fields) {
        cells.Numbers = {};
        cells.Truths = {};
        cells.DerivedText = {};
        cells.Lengths = {};
        cells.Memos = {};
        cells.Nulls = {};
    }
}

// The table's header, fields, code page and columns, holding no record.
OpenTable HeadOf(const OpenTable& table) {
    OpenTable head = table;
    LetGoOfRecords(head);
    return head;
}

}  // namespace

struct TableStream::MemoCount {
    struct OfWindowSize {
        MemoTally Total;
        std::vector<bool> Counted;  // by window
    };
    std::mutex Mutex;
    std::map<std::int64_t, OfWindowSize> BySize;  // by the records a window holds
};

TableStream::TableStream(const std::string& path, std::uint64_t windowBytes)
    : TableStream(std::make_unique<FileSource>(path), path, [path](bool foxPro) { return FindMemoFile(path, foxPro); },
                  windowBytes) {
    UseDeclaredCodePage(table_, path);
}

TableStream::TableStream(std::unique_ptr<ByteSource> source, const std::string& name, MemoFinder findMemo,
                         std::uint64_t windowBytes)
    : source_(std::move(source)), findMemo_(std::move(findMemo)), table_(ReadTableHead(*source_, name)),
      memos_(std::make_shared<MemoCount>()) {
    windowRecords_ = RecordsIn(windowBytes, table_);
    table_.Windows = this;
    // Copied while it holds no records; the read ahead needs only the header and fields.
    ahead_ = table_;
}

TableStream::TableStream(const TableStream& other, std::int64_t windowRecords)
    // Without the other stream's records: its window is held anew when asked for.
    : source_(other.source_), findMemo_(other.findMemo_), table_(HeadOf(other.table_)),
      windowRecords_(windowRecords), memos_(other.memos_) {
    table_.Windows = this;
    ahead_ = table_;
}

std::unique_ptr<TableStream> TableStream::Another() const {
    return std::unique_ptr<TableStream>(new TableStream(*this, windowRecords_));
}

std::unique_ptr<TableStream> TableStream::Another(std::uint64_t windowBytes) const {
    return std::unique_ptr<TableStream>(new TableStream(*this, RecordsIn(windowBytes, table_)));
}

void TableStream::Hold(std::int64_t first, std::int64_t last) {
    const auto held = static_cast<std::int64_t>(table_.DeletedFlags.size());
    if (first == table_.FirstHeld && last == first + held) return;
    const bool sequential = first == 0 || first == heldLast_;
    MemoTally memos;
    try {
        if (aheadRead_.valid() && first == aheadFirst_ && last == aheadLast_) {
            memos = aheadRead_.get();
            std::swap(table_.RecordBytes, ahead_.RecordBytes);
            std::swap(table_.DeletedFlags, ahead_.DeletedFlags);
            std::swap(table_.Fields, ahead_.Fields);
            table_.FirstHeld = ahead_.FirstHeld;
            if (!ahead_.MemoPath.empty()) table_.MemoPath = ahead_.MemoPath;
        } else {
            // A window read ahead for nothing: the read must end before another may start.
            if (aheadRead_.valid()) aheadRead_.wait();
            aheadRead_ = {};
            memos = ReadRecordWindow(*source_, table_, first, last, findMemo_);
        }
    } catch (...) {
        // A window read in part would give cells the file never had.
        aheadRead_ = {};
        LetGoOfRecords(table_);
        throw;
    }
    heldLast_ = last;
    Count(first, last, memos);
    if (readAhead_ && sequential && last < table_.RecordCount()) ReadAhead(last, std::min(table_.RecordCount(), last + windowRecords_));
}

void TableStream::ReadAhead(std::int64_t first, std::int64_t last) {
    aheadFirst_ = first;
    aheadLast_ = last;
    aheadRead_ = std::async(std::launch::async, [this, first, last] {
        return ReadRecordWindow(*source_, ahead_, first, last, findMemo_);
    });
}

void TableStream::Count(std::int64_t first, std::int64_t last, const MemoTally& memos) {
    if (first % windowRecords_ != 0 || last != std::min(table_.RecordCount(), first + windowRecords_)) return;
    const auto window = static_cast<std::size_t>(first / windowRecords_);
    const std::lock_guard lock(memos_->Mutex);
    // Exporters that look at the records twice hold each window twice; threads that share an
    // export out hold some of its windows each, in streams of their own.
    MemoCount::OfWindowSize& count = memos_->BySize[windowRecords_];
    if (count.Counted.size() <= window) count.Counted.resize(window + 1);
    if (count.Counted[window]) return;
    count.Counted[window] = true;
    count.Total.Add(memos);
}

std::vector<std::string> TableStream::Warnings() const {
    const std::lock_guard lock(memos_->Mutex);
    const auto count = memos_->BySize.find(windowRecords_);
    return count == memos_->BySize.end() ? std::vector<std::string>{} : count->second.Total.Warnings();
}

TableForThread::TableForThread(const OpenTable& table, WindowOrder order) : table_(table) {
    // Only streams hold windows.
    if (const auto* stream = dynamic_cast<const TableStream*>(table.Windows)) {
        own_ = stream->Another();
        own_->SetReadAhead(order == WindowOrder::InTurn);
    }
}

}  // namespace quillet
