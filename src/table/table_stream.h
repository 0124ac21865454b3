#pragma once

#include <cstdint>
#include <future>
#include <memory>
#include <string>
#include <vector>

#include "table/read_table.h"

namespace quillet {

// A table read a window of records at a time, so that converting it takes the memory of a few
// windows, whatever the table's size. Table() has the header, fields and code page at once and
// holds records only as its users ask for them (see ForEachWindow), one window after another.
// While its users work on a window that follows the one before, the next is read on a thread of
// its own, unless the stream is told its windows are asked for out of turn.
// Aligned to a cache line: streams of two threads, made one after the other, would otherwise
// share a line that both write with every window (a CSV export took 13 % more processor time).
class alignas(64) TableStream final : public RecordWindows {
public:
    // Record bytes a window holds by default. An export formats a window at a time on each
    // thread, and the window and the few outputs waiting to be written are memory the system
    // hands over a page at a time, at a cost: with 1 MiB windows a CSV of a million records met
    // 2,939 page faults, with 256 KiB 981, and an RTF export took 10 % less time. With 128 KiB
    // both took 6 to 9 % longer again: more reads, more hand-overs.
    static constexpr std::uint64_t kWindowBytes = 256u << 10;

    // The table file at path. Throws TableError as ReadTableFile does.
    explicit TableStream(const std::string& path, std::uint64_t windowBytes = kWindowBytes);
    // A table in source (messages name name), its memo file found by findMemo.
    TableStream(std::unique_ptr<ByteSource> source, const std::string& name, MemoFinder findMemo,
                std::uint64_t windowBytes = kWindowBytes);
    // The table points back at its stream.
    TableStream(const TableStream&) = delete;
    TableStream& operator=(const TableStream&) = delete;

    OpenTable& Table() { return table_; }
    const OpenTable& Table() const { return table_; }

    // Another stream over the same opened file, with this one's table head (its code page and
    // columns included) and none of its records, for another thread to read on its own: with
    // this one's window size, or windows of windowBytes. Streams of one size count memos together
    // (see Warnings).
    std::unique_ptr<TableStream> Another() const;
    std::unique_ptr<TableStream> Another(std::uint64_t windowBytes) const;
    // Whether the window after one held is read ahead; a stream that holds every other window, or
    // windows in no order, would read it for nothing.
    void SetReadAhead(bool readAhead) { readAhead_ = readAhead; }

    std::int64_t WindowRecords() const override { return windowRecords_; }
    void Hold(std::int64_t first, std::int64_t last) override;

    // What could not be read of the memos of the windows held so far, by this stream and the
    // streams of the same file and window size made from it or from the same one, each ready to
    // show. A window's memos count once, however often and by whichever of them it was held; only
    // whole windows count (those ForEachWindow holds), not the runs HoldRecord holds around a
    // record.
    std::vector<std::string> Warnings() const;

private:
    struct MemoCount;

    TableStream(const TableStream& other, std::int64_t windowRecords);
    void Count(std::int64_t first, std::int64_t last, const MemoTally& memos);
    // Reads records [first, last) into ahead_ on a thread of its own.
    void ReadAhead(std::int64_t first, std::int64_t last);

    std::shared_ptr<ByteSource> source_;  // reads ranges on any thread
    MemoFinder findMemo_;
    OpenTable table_;
    std::int64_t windowRecords_ = 1;
    std::shared_ptr<MemoCount> memos_;  // shared with the other streams of the same file
    bool readAhead_ = true;
    std::int64_t heldLast_ = -1;  // where the window held last ended
    // The next window, read while the held one is used: the head's copy that holds it, its
    // records, and what reading them met. Declared last: the read ends before the rest goes.
    OpenTable ahead_;
    std::int64_t aheadFirst_ = 0, aheadLast_ = 0;
    std::future<MemoTally> aheadRead_;
};

// How a thread asks for a table's windows: one after another, or some of them in no set order
// (threads that share the windows out among themselves).
enum class WindowOrder { InTurn, Scattered };

// A table as one more thread reads it: a table held whole is shared as it is, one read a window
// at a time gets a stream of its own. Made on the thread that reads table, which then may go on
// holding other windows of it.
class TableForThread {
public:
    explicit TableForThread(const OpenTable& table, WindowOrder order = WindowOrder::InTurn);
    const OpenTable& Table() const { return own_ ? own_->Table() : table_; }

private:
    const OpenTable& table_;
    std::unique_ptr<TableStream> own_;
};

}  // namespace quillet
