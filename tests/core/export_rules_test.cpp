// The rules every format shares, and every way an export fails, run over the formats table.

#include <gtest/gtest.h>

#include <algorithm>
#include <thread>

#include "export/commit_queue.h"
#include "export/output_file.h"
#include "support/exported_formats.h"
#include "support/write_limit.h"

using namespace quillet;
using namespace quillet::testing;

namespace {

class ExportRules : public ::testing::TestWithParam<ExportedFormat> {
protected:
    // Live and deleted records interleaved; MEMO is a type the reader leaves empty.
    static TableBuilder Mixed() {
        return TableBuilder()
            .Field("NAME", 'C', 8).Field("MEMO", 'M', 10).Field("QTY", 'N', 4).Field("OK", 'L', 1)
            .Record({"ann", "0000000001", "1", "T"}).Deleted({"bob", "", "2", "F"})
            .Record({"cy", "", "3", "Y"}).Deleted({"dee", "", "4", "N"});
    }

    // Larger than the output buffer, so the disk can fill up amid the records, in many blocks.
    static TableBuilder Large() {
        TableBuilder t;
        t.Field("NAME", 'C', 100).Field("AMOUNT", 'N', 10, 2).Field("OK", 'L', 1).Field("NOTE", 'C', 24);
        const std::string notes[] = {"say \"hi\", <b> & {x}", "caf\xE9 \\ back", std::string("nul\0cr\r", 7), "  pad  "};
        for (int i = 0; i < 12000; ++i) {
            const std::vector<std::string> cells{"name " + std::to_string(i), std::to_string(i % 977) + "." + std::to_string(i % 100),
                                                 i % 3 ? "T" : "F", notes[i % 4]};
            (i % 7 == 0 || (i / 1000) % 5 == 0) ? t.Deleted(cells) : t.Record(cells);
        }
        return t;
    }

    // What the consumer should see, from tests/data/rules/: NAME.seen, or where the format keeps
    // table positions (records and columns left out stay as empty rows and cells),
    // NAME.positions.seen.
    void ExpectSeen(const OpenTable& table, const ExportSettings& settings, const std::string& name) const {
        ExpectGolden(ReadBack(OutputPath(table, settings, settings.OutputFormat)),
                     "rules/" + name + (GetParam().KeepsTablePositions ? ".positions.seen" : ".seen"));
    }

    TempDir dir_;
    TempDir out_;
};

TEST_P(ExportRules, RecordFilterAndColumnSelection) {
    OpenTable table = OpenBuilt(Mixed(), dir_);
    for (const std::string words : {"records=all", "records=deleted", "records=live columns=QTY,OK", "columns=NAME,OK"}) {
        SCOPED_TRACE(words);
        const ExportSettings settings = SettingsFor(WordsFor(GetParam(), words), out_.Path(), &table);
        std::int64_t done = -1, total = -1;
        ExportTable(table, settings, [&](std::int64_t d, std::int64_t t) { done = d, total = t; });
        std::string name = words;
        std::replace_if(name.begin(), name.end(), [](char c) { return c == ' ' || c == '=' || c == ','; }, '-');
        ExpectSeen(table, settings, name);
        EXPECT_EQ(done, 4);
        EXPECT_EQ(total, 4);
    }
}

// Each written record still gives a row, empty; a format that cannot hold a table without
// columns refuses and leaves an earlier file as it was.
TEST_P(ExportRules, NoColumnSelectedOrNoRecordWritten) {
    OpenTable table = OpenBuilt(Mixed(), dir_);
    table.ColumnSelected.assign(4, 0);
    const ExportSettings settings = SettingsFor(WordsFor(GetParam(), "records=live"), out_.Path());
    const std::string path = OutputPath(table, settings, settings.OutputFormat);
    if (GetParam().RefusalWithoutColumns != nullptr) {
        WriteFileBytes(path, "earlier export");
        EXPECT_EQ(FailureOf(table, settings), GetParam().RefusalWithoutColumns);
        EXPECT_EQ(ReadFileBytes(path), "earlier export");
    } else {
        ExportTable(table, settings);
        ExpectSeen(table, settings, "no-columns");
    }
    EXPECT_EQ(FolderEntries(out_.Path()).size(), 1u);

    const ExportSettings deleted = SettingsFor(WordsFor(GetParam(), "records=deleted"), out_.Path());
    const OpenTable live = OpenBuilt(TableBuilder().Field("NAME", 'C', 8).Record({"ann"}), dir_, "live.dbf");
    const OpenTable none = OpenBuilt(TableBuilder().Field("NAME", 'C', 8), dir_, "none.dbf");
    for (const OpenTable* t : {&live, &none}) {
        ExportTable(*t, deleted);
        EXPECT_EQ(ReadBack(OutputPath(*t, deleted, deleted.OutputFormat)), "NAME\n") << t->TableBaseName;
    }
}

// Named up to the first dot; a table named ".dbf" has no such name and gives "table".
TEST_P(ExportRules, FileIsNamedAfterTheTableAndReplacedWholeEachTime) {
    const ExportSettings settings = SettingsFor(WordsFor(GetParam()), out_.Path());
    const OpenTable unnamed = OpenBuilt(TableBuilder().Field("A", 'C', 2).Record({"x"}), dir_, ".dbf");
    ExportTable(unnamed, settings);
    EXPECT_EQ(ReadBack(out_ / (std::string("table.") + GetParam().Word)), "A\nx\n");
    std::filesystem::remove(out_ / (std::string("table.") + GetParam().Word));

    const OpenTable table = OpenBuilt(Mixed(), dir_, "my.data.dbf");
    const std::filesystem::path path = out_ / (std::string("my.") + GetParam().Word);
    EXPECT_EQ(OutputPath(table, settings, settings.OutputFormat), path.string());
    WriteFileBytes(path, std::string(100000, 'x'));
    const std::string first = Exported(table, settings);
    EXPECT_EQ(first.find("xxxx"), std::string::npos);
    EXPECT_EQ(Exported(table, settings), first);
    EXPECT_EQ(FolderEntries(out_.Path()), std::set<std::string>{path.filename().string()});
}

// A missing folder, a file where the folder should be, a folder where the file should be, a
// read-only folder: a message naming the file, and nothing written or removed.
TEST_P(ExportRules, FoldersThatTakeNoFile) {
    const OpenTable table = OpenBuilt(Mixed(), dir_);
    WriteFileBytes(out_ / "plain", "a file, not a folder");
    for (const char* folder : {"missing", "plain", "missing/deeper"}) {
        const ExportSettings settings = SettingsFor(WordsFor(GetParam()), out_ / folder);
        EXPECT_NE(FailureOf(table, settings).find(OutputPath(table, settings, settings.OutputFormat)), std::string::npos);
    }
    EXPECT_EQ(FolderEntries(out_.Path()), std::set<std::string>{"plain"});

    const ExportSettings settings = SettingsFor(WordsFor(GetParam()), out_.Path());
    const std::filesystem::path target = OutputPath(table, settings, settings.OutputFormat);
    std::filesystem::create_directory(target);
    WriteFileBytes(target / "inside", "kept");
    const std::string message = FailureOf(table, settings);
    EXPECT_NE(message.find(target.string() + "\": it is a folder"), std::string::npos) << message;
    EXPECT_EQ(ReadFileBytes(target / "inside"), "kept");
    std::filesystem::remove_all(target);

    WriteFileBytes(target, "earlier export");
    std::filesystem::permissions(out_.Path(), std::filesystem::perms::owner_read | std::filesystem::perms::owner_exec);
    if (::access(out_.Path().c_str(), W_OK) == 0) return;  // root writes anyway: see docs/testing.md
    EXPECT_NE(FailureOf(table, settings).find(target.string()), std::string::npos);
    EXPECT_EQ(ReadFileBytes(target), "earlier export");
    EXPECT_EQ(FolderEntries(out_.Path()).size(), 2u);
}

// A read-only file is refused, even for root; a link is written through to its file, which
// keeps its permissions.
TEST_P(ExportRules, ReadOnlyLinkedAndPrivateTargets) {
    TempDir elsewhere;
    const OpenTable table = OpenBuilt(TableBuilder().Field("A", 'C', 2).Record({"x"}), dir_);
    const ExportSettings settings = SettingsFor(WordsFor(GetParam()), out_.Path());
    const std::filesystem::path target = OutputPath(table, settings, settings.OutputFormat);
    WriteFileBytes(target, "earlier");
    std::filesystem::permissions(target, std::filesystem::perms(0444));
    EXPECT_EQ(FailureOf(table, settings), "Cannot write \"" + target.string() + "\": the file is marked read-only.");
    EXPECT_EQ(ReadFileBytes(target), "earlier");
    EXPECT_EQ(FolderEntries(out_.Path()).size(), 1u);

    const std::filesystem::path real = elsewhere / "real";
    WriteFileBytes(real, "earlier");
    std::filesystem::permissions(real, std::filesystem::perms(0640));
    std::filesystem::remove(target);
    std::filesystem::create_symlink(real, target);
    ExportTable(table, settings);
    EXPECT_TRUE(std::filesystem::is_symlink(target));
    EXPECT_EQ(ReadBack(target), "A\nx\n");
    EXPECT_EQ(std::filesystem::status(real).permissions(), std::filesystem::perms(0640));
    EXPECT_EQ(FolderEntries(elsewhere.Path()), std::set<std::string>{"real"});
}

// ReadTable keeps the columns the caller listed for an earlier table of more fields.
TEST_P(ExportRules, ColumnsListedBeyondTheTableAreLeftOut) {
    OpenTable table = OpenBuilt(TableBuilder().Field("A", 'C', 2).Field("B", 'C', 2).Field("C", 'C', 2).Field("D", 'C', 2), dir_, "w.dbf");
    TableBuilder().Field("X", 'C', 2).Field("Y", 'N', 3).Record({"x", "7"}).WriteTo(dir_ / "narrow.dbf");
    ReadTable((dir_ / "narrow.dbf").string(), table);
    ASSERT_EQ(table.ColumnCount, 4);
    const ExportSettings settings = SettingsFor(WordsFor(GetParam()), out_.Path());
    ExportTable(table, settings);
    EXPECT_EQ(ReadBack(OutputPath(table, settings, settings.OutputFormat)), "X\tY\nx\t7\n");
}

// The disk fills up before, amid and at the end of the export, whichever thread holds the
// failing block: the earlier file keeps its bytes and nothing else stays behind.
TEST_P(ExportRules, DiskFullAtAnyPointKeepsTheEarlierFile) {
    const OpenTable table = OpenBuilt(Large(), dir_);
    const ExportSettings settings = SettingsFor(WordsFor(GetParam()), out_.Path());
    const std::string path = OutputPath(table, settings, settings.OutputFormat);
    const std::size_t size = Exported(table, settings).size();
    ASSERT_GT(size, GetParam().Format == OutputFormat::Xlsx ? 200000u : 400000u);  // a workbook is compressed
    for (const std::size_t limit : {std::size_t{0}, size / 10, size / 2, size - 1}) {
        SCOPED_TRACE(limit);
        WriteFileBytes(path, "earlier export");
        std::string message;
        {
            const WriteLimit full(limit);
            message = FailureOf(table, settings);
        }
        EXPECT_EQ(message, "Cannot write \"" + path + "\": File too large.");
        EXPECT_EQ(ReadFileBytes(path), "earlier export");
        EXPECT_EQ(FolderEntries(out_.Path()).size(), 1u);
    }
    EXPECT_EQ(Exported(table, settings).size(), size);
}

// Blocks formatted on two threads give the bytes one thread gives, whether the threads share the
// table held whole or hold windows of it each, and progress comes from the calling thread, in
// order, to the end.
TEST_P(ExportRules, TwoThreadsWriteTheSameBytesAsOne) {
    OpenTable whole = OpenBuilt(Large(), dir_);
    const auto stream = StreamAt(dir_ / "t.dbf", 700);
    for (const char* words : {"records=all decimal=,", "records=deleted columns=AMOUNT,NOTE", "records=live columns=NAME,OK"}) {
        SCOPED_TRACE(words);
        ExportSettings settings = SettingsFor(WordsFor(GetParam(), words), out_.Path(), &whole);
        SettingsFor(WordsFor(GetParam(), words), out_.Path(), &stream->Table());
        settings.TwoThreadFormatting = false;
        const std::string one = Exported(whole, settings);
        settings.TwoThreadFormatting = true;
        for (const OpenTable* table : {&whole, &stream->Table()}) {
            std::vector<std::int64_t> done;
            bool elsewhere = false;
            ExportTable(*table, settings, [&, caller = std::this_thread::get_id()](std::int64_t d, std::int64_t total) {
                elsewhere = elsewhere || std::this_thread::get_id() != caller || total != 12000;
                done.push_back(d);
            });
            ASSERT_TRUE(one == ReadFileBytes(OutputPath(*table, settings, settings.OutputFormat)));
            EXPECT_FALSE(elsewhere);
            EXPECT_TRUE(std::is_sorted(done.begin(), done.end()));
            EXPECT_EQ(done.back(), 12000);
        }
    }
}

INSTANTIATE_TEST_SUITE_P(EveryFormat, ExportRules, ::testing::ValuesIn(ExportedFormats()),
                         [](const auto& info) { return std::string(info.param.Word); });

// The output file alone: bytes in order across many buffers, a file abandoned before its commit,
// and a write larger than the buffer or the last flush failing.
TEST(OutputFile, BytesInOrderAndFailuresLeaveNothing) {
    TempDir out;
    const std::filesystem::path target = out / "t.csv";
    std::string expected;
    {
        OutputFile file(target.string());
        for (int i = 0; i < 30000; ++i) {
            const std::string piece = i % 1000 ? "line " + std::to_string(i) : std::string(300000 + i % 7, 'a' + i % 26);
            i % 2 ? file.WriteLine(piece) : file.Write(piece);
            expected += piece + (i % 2 ? "\r\n" : "");
            file.Write('#');
            expected += '#';
        }
        file.Commit();
    }
    EXPECT_TRUE(ReadFileBytes(target) == expected);
    { OutputFile abandoned((out / "gone.csv").string()); abandoned.Write(expected); }
    WriteFileBytes(target, "earlier");
    for (const bool oversized : {false, true}) {
        const WriteLimit full(oversized ? 1000 : 10);
        try {
            OutputFile file(target.string());
            file.WriteLine("a line that waits in the buffer until the commit");
            if (oversized) file.Write(std::string(3u << 20, 'b'));
            file.Commit();
            ADD_FAILURE() << "the write succeeded";
        } catch (const ExportError& e) {
            EXPECT_EQ(std::string(e.what()), "Cannot write \"" + target.string() + "\": File too large.");
        }
        EXPECT_EQ(ReadFileBytes(target), "earlier");
        EXPECT_EQ(FolderEntries(out.Path()), std::set<std::string>{"t.csv"});
    }
}

// Through a commit queue: a file is in place once waited for; one that cannot be put in place (a
// folder took its name meanwhile) is told by its wait and leaves nothing behind.
TEST(OutputFile, CommitQueuePutsFilesInPlaceOrSaysWhyNot) {
    TempDir out;
    CommitQueue queue;
    const std::string kept = (out / "kept.csv").string(), blocked = (out / "blocked.csv").string();
    for (const std::string& path : {kept, blocked}) {
        OutputFile file(path, &queue);
        file.Write(path);
        if (path == blocked) std::filesystem::create_directories(out / "blocked.csv" / "inside");
        file.Commit();
    }
    queue.Wait(kept);
    EXPECT_EQ(ReadFileBytes(kept), kept);
    try {
        queue.Wait(blocked);
        ADD_FAILURE() << "the rename succeeded";
    } catch (const ExportError& e) {
        EXPECT_EQ(std::string(e.what()), "Cannot write \"" + blocked + "\": Is a directory.");
    }
    EXPECT_EQ(FolderEntries(out.Path()), (std::set<std::string>{"blocked.csv", "kept.csv"}));
}

}  // namespace
