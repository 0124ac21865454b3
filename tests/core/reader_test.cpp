// The reader over header cases (tests/data/reader/cases.tsv: a table, bytes changed, cut or
// added, and what comes out in results.txt), every cut of the sample tables, and the files
// that are no tables at all.

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include "support/exported_formats.h"

using namespace quillet;
using namespace quillet::testing;

namespace {

std::string Outcome(const std::function<OpenTable()>& read, const std::string& folder) {
    try {
        OpenTable table = read();
        table.ListColumns();
        return Dump(table);
    } catch (const TableError& e) {
        std::string message = e.what();
        if (const auto at = message.find(folder); at != std::string::npos) message.replace(at, folder.size(), "DIR");
        return "refused (" + std::to_string(static_cast<int>(e.ErrorKind())) + "): " + Printable(message) + "\n";
    }
}

}  // namespace

TEST(Reader, HeaderCasesGiveTheirTableOrMessage) {
    std::string results;
    for (auto row : DataRows(QUILLET_TEST_DATA "/reader/cases.tsv")) {
        row.resize(3);
        const std::string &name = row[0], &table = row[1], &changes = row[2];
        SCOPED_TRACE(name);
        TempDir dir;
        const std::string bytes = Changed(ReadFileBytes(std::string(QUILLET_TEST_DATA "/") + table), changes, dir / "t.cpg");
        const std::string path = (dir / "t.dbf").string();
        WriteFileBytes(path, bytes);
        const std::string fromFile = Outcome([&] { return ReadTableFile(path); }, dir.Path().string());
        if (changes.find("cpg=") == std::string::npos) {
            EXPECT_EQ(Outcome([&] { return ReadTableBytes(bytes, path); }, dir.Path().string()), fromFile);
        }
        results += "== " + name + "\n" + fromFile;
    }
    results += "== version bytes read\n";
    for (int version = 0; version < 256; ++version) {
        char hex[8];
        std::snprintf(hex, sizeof hex, "0x%02X ", version);
        if (const char* text = VersionTextOf(static_cast<std::uint8_t>(version))) results += hex + std::string(text) + "\n";
    }
    ExpectGolden(results, "reader/results.txt");
}

// Every cut of a sample: a message for a cut header, else the records the bytes hold, the
// partial last one with blanks for its missing bytes (binary fields: as absent bytes).
TEST(Reader, SampleTablesCutAtEveryByte) {
    for (const std::string sample : {"customers.dbf", "types.dbf"}) {
        const std::string full = ReadFileBytes(QUILLET_SAMPLES_DIR "/" + sample);
        const OpenTable whole = ReadTableBytes(full, sample);
        const std::size_t header = static_cast<std::size_t>(whole.Header.HeaderLength), length = whole.Header.RecordLength;
        for (std::size_t cut = 0; cut <= full.size(); ++cut) {
            SCOPED_TRACE(sample + " cut at " + std::to_string(cut));
            const std::string outcome = Outcome([&] { return ReadTableBytes(full.substr(0, cut), sample); }, "");
            if (cut < header) {
                EXPECT_NE(outcome.find(cut == 0 ? "the file is empty" : cut < 32 ? "ends inside its 32-byte header" : "is beyond the end of the file"),
                          std::string::npos) << outcome;
                continue;
            }
            const std::size_t held = std::min<std::size_t>(whole.RecordCount(), (cut - header + length - 1) / length);
            std::string padded = full.substr(0, cut);
            for (std::size_t at = cut; at < header + held * length; ++at) {
                const std::size_t offset = (at - header) % length;
                padded += std::any_of(whole.FieldDescriptors.begin(), whole.FieldDescriptors.end(), [&](const FieldDescriptor& d) {
                    return std::string_view("IYBT").find(d.Type) != std::string_view::npos && offset - d.Offset < d.StoredLength;
                }) ? '\0' : ' ';
            }
            padded[4] = static_cast<char>(held);
            const std::string expected = Outcome([&] { return ReadTableBytes(padded, sample); }, "");
            EXPECT_EQ(outcome.substr(outcome.find(" records")), expected.substr(expected.find(" records")));
            EXPECT_EQ(ReadTableBytes(full.substr(0, cut), sample).RecordsPromised, whole.RecordCount());
        }
    }
}

// A table that is refused leaves the open one whole; no path leaves a file open or waits.
TEST(Reader, RefusedPathsLeaveThePreviousTableAndNoFileOpen) {
    TempDir dir;
    TableBuilder().Field("NAME", 'C', 10).Record({"Alice"}).WriteTo(dir / "good.dbf");
    WriteFileBytes(dir / "bad.dbf", "\x05" + std::string(100, '\0'));
    OpenTable table;
    ReadTable((dir / "good.dbf").string(), table);
    table.ListColumns();
    table.SetSource((dir / "good.dbf").string());
    table.ColumnSelected[0] = 0;
    const auto openFiles = [] { return std::distance(std::filesystem::directory_iterator("/proc/self/fd"), {}); };
    const auto before = openFiles();
    ::alarm(20);  // a regression would wait for a pipe's writer forever
    ASSERT_EQ(::mkfifo((dir / "pipe.dbf").c_str(), 0600), 0);
    for (const std::string name : {"bad.dbf", "missing.dbf", "", "pipe.dbf", "/dev/null"}) {
        try {
            ReadTable(name.empty() ? dir.Path().string() : name[0] == '/' ? name : (dir / name).string(), table);
            ADD_FAILURE() << name << " was read";
        } catch (const TableError& e) {
            const std::string expected = name == "bad.dbf" ? "This is not a dBASE III file & \x05" : name == "missing.dbf" ? "No such file or directory"
                                         : name.empty() ? "it is a folder" : "it is not a regular file";
            EXPECT_NE(std::string(e.what()).find(expected), std::string::npos) << e.what();
        }
    }
    ReadTable("", table);
    EXPECT_EQ(openFiles(), before);
    EXPECT_EQ(table.FieldNames, std::vector<std::string>{"NAME"});
    EXPECT_EQ(CellText(table.Cell(0, 0), '.'), "Alice     ");
    EXPECT_EQ(table.TableBaseName, "good");
    EXPECT_EQ(table.ColumnSelected, std::vector<std::uint8_t>{0});

    TableBuilder().LanguageDriver(0xC9).Field("NAME", 'C', 4).WriteTo(dir / "t.dbf");
    ASSERT_EQ(::mkfifo((dir / "t.cpg").c_str(), 0600), 0);
    EXPECT_EQ(ReadTableFile((dir / "t.dbf").string()).TableCodePage->Number(), 1251);
    ::alarm(0);
}

// About 20 MB, read in parts on two threads; the last record cut inside its number.
TEST(Reader, LargeTableInPartsWithProgress) {
    TempDir dir;
    TableBuilder t;
    t.Field("NAME", 'C', 100).Field("AMOUNT", 'N', 12, 2).Field("PAID", 'L', 1);
    constexpr int kRecords = 150000;
    for (int i = 0; i < kRecords; ++i) {
        const std::vector<std::string> cells{"name " + std::to_string(i), std::to_string(i) + ".5", i % 3 ? "F" : "T"};
        i % 7 ? t.Record(cells) : t.Deleted(cells);
    }
    std::string bytes = t.Bytes();
    WriteFileBytes(dir / "large.dbf", bytes.substr(0, bytes.size() - 6));  // the marker, PAID and "149999.5"'s "99.5"
    std::uint64_t last = 0;
    bool forward = true;
    const OpenTable table = ReadTableFile((dir / "large.dbf").string(), [&](std::uint64_t done, std::uint64_t total) {
        forward = forward && done >= last && done <= total;
        last = done;
    });
    ASSERT_EQ(table.RecordCount(), kRecords);
    EXPECT_TRUE(forward);
    EXPECT_EQ(last, static_cast<std::uint64_t>(kRecords) * 114 - 5);
    for (int i = 0; i < kRecords - 1; ++i) {
        ASSERT_EQ(table.IsDeleted(i), i % 7 == 0) << i;
        ASSERT_EQ(CellText(table.Cell(i, 0), '.').substr(0, 12), ("name " + std::to_string(i) + "       ").substr(0, 12)) << i;
        ASSERT_EQ(table.Cell(i, 1).Number(), i + 0.5) << i;
        ASSERT_EQ(table.Cell(i, 2).Truth, i % 3 == 0) << i;
    }
    EXPECT_EQ(table.Cell(kRecords - 1, 1).Number(), 1499);
}

// A file cut short under a stream: the window read ahead fails when it is asked for, and the
// records still in the file read again.
TEST(Reader, StreamCutShortUnderTheWindowReadAhead) {
    struct CutSource final : ByteSource {
        explicit CutSource(std::string bytes) : Bytes(std::move(bytes)), Kept(Bytes.size()) {}
        std::string Bytes;
        std::uint64_t Kept;
        std::uint64_t Size() const override { return Bytes.size(); }
        void ReadAt(std::uint64_t offset, char* out, std::uint64_t length, const ReadProgress&) override {
            if (offset + length > Kept) throw TableError(TableError::Kind::CannotOpen, "Cannot read \"t.dbf\": the file ended.");
            std::copy_n(Bytes.data() + offset, length, out);
        }
    };
    TableBuilder t;
    t.Field("N", 'N', 9);
    for (int i = 0; i < 100; ++i) t.Record({std::to_string(i)});
    auto source = std::make_unique<CutSource>(t.Bytes());
    CutSource& file = *source;
    TableStream stream(std::move(source), "t.dbf", {}, 40);
    file.Kept = 65 + 5 * 10;  // 10-byte records after a 65-byte header, 4 a window: 5 stay
    const OpenTable& table = stream.Table();
    HoldRecord(table, 0);
    EXPECT_EQ(table.Cell(3, 0).Number(), 3);
    // Read ahead, then at once, then again: a window read in part is never taken as held.
    for (int attempt = 0; attempt < 3; ++attempt) EXPECT_THROW(HoldRecord(table, 4), TableError);
    HoldRecord(table, 2);
    EXPECT_EQ(table.Cell(2, 0).Number(), 2);
    TempDir out;
    EXPECT_THROW(ExportTable(table, SettingsFor("to=csv", out.Path())), TableError);
    EXPECT_TRUE(FolderEntries(out.Path()).empty());
}
