// Tables that other programs wrote badly: each gives either a table or a message that names
// the file and the fault, the way the reader's rules say, and never more memory than the file.

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <climits>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <optional>

#include "support/table_builder.h"
#include "table/cell_text.h"
#include "table/read_table.h"

using namespace quillet;
using quillet::testing::ReadFileBytes;
using quillet::testing::TableBuilder;
using quillet::testing::TempDir;

namespace {

struct Outcome {
    std::optional<OpenTable> Table;
    std::optional<TableError::Kind> Kind;
    std::string Message;
};

// Reads bytes both from a file and from memory; the two ways must agree.
Outcome ReadBoth(const std::string& bytes, TempDir& dir, const std::string& name = "damaged.dbf") {
    const std::string path = (dir / name).string();
    std::ofstream(path, std::ios::binary | std::ios::trunc).write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    Outcome fromFile;
    try {
        fromFile.Table = ReadTableFile(path);
    } catch (const TableError& e) {
        fromFile.Kind = e.ErrorKind();
        fromFile.Message = e.what();
    }
    try {
        const OpenTable fromMemory = ReadTableBytes(bytes, path);
        EXPECT_TRUE(fromFile.Table.has_value()) << "only memory reading accepted it";
        if (fromFile.Table) {
            EXPECT_EQ(fromMemory.RecordCount(), fromFile.Table->RecordCount());
            EXPECT_EQ(fromMemory.RecordBytes, fromFile.Table->RecordBytes);
            EXPECT_EQ(fromMemory.FieldNames, fromFile.Table->FieldNames);
        }
    } catch (const TableError& e) {
        EXPECT_EQ(std::string(e.what()), fromFile.Message);
    }
    if (fromFile.Kind && *fromFile.Kind != TableError::Kind::UnknownVersion) {
        EXPECT_NE(fromFile.Message.find(path), std::string::npos) << fromFile.Message;
    }
    return fromFile;
}

Outcome ReadBoth(const TableBuilder& builder, TempDir& dir) { return ReadBoth(builder.Bytes(), dir); }

std::string Refusal(const Outcome& outcome) {
    if (outcome.Table) return "accepted";
    EXPECT_EQ(outcome.Kind, TableError::Kind::Damaged) << outcome.Message;
    return outcome.Message;
}

bool Contains(const std::string& text, const std::string& part) { return text.find(part) != std::string::npos; }

std::string Text(const OpenTable& t, std::int64_t r, int f) { return CellText(t.Cell(r, f), '.'); }

// Every cell shown, the way the list and the exporters will ask for it.
void ShowEveryCell(const OpenTable& table) {
    for (std::int64_t r = 0; r < table.RecordCount(); ++r) {
        (void)table.IsDeleted(r);
        for (int f = 0; f < table.FieldCount; ++f) (void)Text(table, r, f);
    }
}

std::uint16_t U16At(const std::string& bytes, std::size_t at) {
    return static_cast<std::uint16_t>(static_cast<unsigned char>(bytes[at]) | static_cast<unsigned char>(bytes[at + 1]) << 8);
}

void CheckEveryCut(const std::filesystem::path& sample) {
    SCOPED_TRACE(sample.string());
    TempDir dir;
    const std::string full = ReadFileBytes(sample);
    const std::size_t headerLength = U16At(full, 8);
    const std::size_t recordLength = U16At(full, 10);
    const OpenTable whole = ReadTableFile(sample.string());
    ASSERT_GT(whole.RecordCount(), 1);

    for (std::size_t cut = 0; cut <= full.size(); ++cut) {
        SCOPED_TRACE("cut at " + std::to_string(cut));
        const Outcome outcome = ReadBoth(full.substr(0, cut), dir);
        if (cut == 0) {
            EXPECT_TRUE(Contains(Refusal(outcome), "the file is empty"));
        } else if (cut < 32) {
            EXPECT_TRUE(Contains(Refusal(outcome), "the file ends inside its 32-byte header"));
        } else if (cut < headerLength) {
            EXPECT_TRUE(Contains(Refusal(outcome), "is beyond the end of the file (" + std::to_string(cut) + " bytes)"));
        } else {
            ASSERT_TRUE(outcome.Table.has_value()) << outcome.Message;
            const OpenTable& table = *outcome.Table;
            const std::size_t after = cut - headerLength;
            // A partial last record counts, unless it is only the end-of-file marker.
            std::size_t held = after / recordLength;
            const std::size_t tail = after % recordLength;
            if (tail > 1 || (tail == 1 && full[cut - 1] != '\x1A')) ++held;
            held = std::min<std::size_t>(held, static_cast<std::size_t>(whole.RecordCount()));
            ASSERT_EQ(table.RecordCount(), static_cast<std::int64_t>(held));
            EXPECT_EQ(table.RecordsPromised, whole.RecordCount());
            EXPECT_EQ(table.FieldNames, whole.FieldNames);
            EXPECT_LE(table.RecordBytes.size(), after + recordLength);
            for (std::size_t r = 0; r < held; ++r) {
                EXPECT_EQ(table.IsDeleted(static_cast<std::int64_t>(r)), whole.IsDeleted(static_cast<std::int64_t>(r)));
                const std::size_t recordStart = headerLength + r * recordLength;
                for (int f = 0; f < table.FieldCount; ++f) {
                    const FieldDescriptor& d = table.FieldDescriptors[static_cast<std::size_t>(f)];
                    const std::size_t fieldEnd = recordStart + d.Offset + d.StoredLength;
                    const CellValue cell = table.Cell(static_cast<std::int64_t>(r), f);
                    const CellValue expected = whole.Cell(static_cast<std::int64_t>(r), f);
                    EXPECT_EQ(cell.Kind, expected.Kind);
                    if (fieldEnd <= cut) {
                        EXPECT_EQ(Text(table, static_cast<std::int64_t>(r), f), CellText(expected, '.')) << "field " << f;
                    } else if (cell.Kind == CellKind::Text && table.Fields[static_cast<std::size_t>(f)].Storage == FieldStorage::Bytes) {
                        // The bytes the file still has, blanks for the rest.
                        const std::size_t have = cut > recordStart + d.Offset ? cut - recordStart - d.Offset : 0;
                        std::string text(expected.Text.substr(0, have));
                        text.resize(d.StoredLength, ' ');
                        EXPECT_EQ(std::string(cell.Text), text) << "field " << f;
                    }
                }
            }
            ShowEveryCell(table);
        }
    }
}

}  // namespace

TEST(DamagedFiles, SampleTablesCutAtEveryBytePosition) {
    CheckEveryCut(std::filesystem::path(QUILLET_SAMPLES_DIR) / "customers.dbf");
    CheckEveryCut(std::filesystem::path(QUILLET_SAMPLES_DIR) / "types.dbf");
}

TEST(DamagedFiles, BinaryFieldsOfACutRecordReadTheMissingBytesAsAbsent) {
    TempDir dir;
    TableBuilder t;
    t.Version(0x30).Field("ID", 'I', 4).BinaryField(0).Field("PRICE", 'Y', 8).BinaryField(1).EndMarker(false);
    t.Record({TableBuilder::LE(0x01020304, 4), TableBuilder::LE(50000, 8)});
    t.Record({TableBuilder::LE(0x01020304, 4), TableBuilder::LE(50000, 8)});
    std::string bytes = t.Bytes();
    bytes.resize(bytes.size() - 13 + 3);  // the second record keeps its mark and two bytes of ID
    const Outcome outcome = ReadBoth(bytes, dir);
    ASSERT_TRUE(outcome.Table.has_value()) << outcome.Message;
    EXPECT_EQ(outcome.Table->Cell(0, 0).Number, 0x01020304);
    EXPECT_EQ(outcome.Table->Cell(0, 1).Number, 5);
    // Not 0x20200304 and a currency of eight blanks.
    EXPECT_EQ(outcome.Table->Cell(1, 0).Number, 0x0304);
    EXPECT_EQ(outcome.Table->Cell(1, 1).Number, 0);
}

TEST(DamagedFiles, HeaderLengthsWithoutRoomForAFieldOrBeyondTheFile) {
    TempDir dir;
    auto table = [] { return TableBuilder().Field("NAME", 'C', 5).Field("N", 'N', 3).Record({"abc", "7"}); };
    for (int length : {0, 31, 63}) {
        SCOPED_TRACE(length);
        EXPECT_TRUE(Contains(Refusal(ReadBoth(table().HeaderLength(length), dir)),
                             "the header length " + std::to_string(length) + " leaves no room for a field"));
    }
    const std::size_t size = table().Bytes().size();
    for (std::size_t length : {size + 1, std::size_t{SHRT_MAX}, std::size_t{0xFFFF}}) {
        SCOPED_TRACE(length);
        EXPECT_TRUE(Contains(Refusal(ReadBoth(table().HeaderLength(static_cast<std::int32_t>(length)), dir)),
                             "the header length " + std::to_string(length) + " is beyond the end of the file (" +
                                 std::to_string(size) + " bytes)"));
    }

    // 64 holds exactly one descriptor; the second field is then part of no record layout.
    const Outcome one = ReadBoth(table().HeaderLength(64), dir);
    ASSERT_TRUE(one.Table.has_value()) << one.Message;
    EXPECT_EQ(one.Table->FieldCount, 1);
    ShowEveryCell(*one.Table);
    // A header as long as the whole file holds no records.
    const Outcome all = ReadBoth(table().HeaderLength(static_cast<std::int32_t>(size)), dir);
    ASSERT_TRUE(all.Table.has_value()) << all.Message;
    EXPECT_EQ(all.Table->RecordCount(), 0);

    // The version is looked at first, whatever else the header says.
    const Outcome unknown = ReadBoth(table().Version(0x05).HeaderLength(0), dir);
    EXPECT_EQ(unknown.Kind, TableError::Kind::UnknownVersion);
    EXPECT_EQ(unknown.Message, std::string("This is not a dBASE III file & ") + '\x05');
}

TEST(DamagedFiles, RecordLengthsBelowOne) {
    TempDir dir;
    for (int length : {0}) {
        SCOPED_TRACE(length);
        const TableBuilder t = TableBuilder().Field("NAME", 'C', 5).Record({"abc"}).RecordLength(length);
        EXPECT_TRUE(Contains(Refusal(ReadBoth(t, dir)), "the record length " + std::to_string(length) + " is below 1"));
    }

    // One byte per record: only the deletion marks, every field empty.
    TableBuilder marks;
    marks.Field("NAME", 'C', 5).Field("N", 'N', 3).RecordLength(1).RecordCount(3).EndMarker(false);
    std::string bytes = marks.Bytes() + " * ";
    const Outcome outcome = ReadBoth(bytes, dir);
    ASSERT_TRUE(outcome.Table.has_value()) << outcome.Message;
    const OpenTable& table = *outcome.Table;
    ASSERT_EQ(table.RecordCount(), 3);
    EXPECT_FALSE(table.IsDeleted(0));
    EXPECT_TRUE(table.IsDeleted(1));
    EXPECT_EQ(Text(table, 1, 0), "");
    EXPECT_EQ(table.Cell(1, 1).Number, 0);
}

TEST(DamagedFiles, FieldLengthsAddingUpToMoreThanTheRecord) {
    TempDir dir;
    // Fields of 4 + 4 + 4 in records of 7 bytes: the file is cut into 7-byte records whatever
    // the fields say, and the fields running past a record's end get short or no text.
    TableBuilder t;
    t.Field("A", 'C', 4).Field("B", 'N', 4).Field("C", 'C', 4).RecordLength(7).RecordCount(3).EndMarker(false);
    const std::string bytes = t.Bytes() + " abcd12" + "*efgh34" + " ijkl5 ";
    const Outcome outcome = ReadBoth(bytes, dir);
    ASSERT_TRUE(outcome.Table.has_value()) << outcome.Message;
    const OpenTable& table = *outcome.Table;
    ASSERT_EQ(table.RecordCount(), 3);
    EXPECT_EQ(Text(table, 0, 0), "abcd");
    EXPECT_EQ(table.Cell(0, 1).Number, 12);
    EXPECT_EQ(Text(table, 0, 2), "");
    EXPECT_TRUE(table.IsDeleted(1));
    EXPECT_EQ(Text(table, 1, 0), "efgh");
    EXPECT_EQ(table.Cell(1, 1).Number, 34);
    EXPECT_EQ(table.Cell(2, 1).Number, 5);
}

TEST(DamagedFiles, FieldLengthsAddingUpToLessThanTheRecord) {
    TempDir dir;
    TableBuilder t;
    t.Field("A", 'C', 2).Field("B", 'N', 2).RecordLength(9).RecordCount(2).EndMarker(false);
    const std::string bytes = t.Bytes() + " ab12XXXX" + "*cd34YYYY";
    const Outcome outcome = ReadBoth(bytes, dir);
    ASSERT_TRUE(outcome.Table.has_value()) << outcome.Message;
    const OpenTable& table = *outcome.Table;
    ASSERT_EQ(table.RecordCount(), 2);
    EXPECT_EQ(Text(table, 0, 0), "ab");
    EXPECT_EQ(table.Cell(0, 1).Number, 12);
    EXPECT_TRUE(table.IsDeleted(1));
    EXPECT_EQ(Text(table, 1, 0), "cd");
    EXPECT_EQ(table.Cell(1, 1).Number, 34);
}

TEST(DamagedFiles, RecordCountsZeroNegativeAndHuge) {
    TempDir dir;
    auto table = [] {
        TableBuilder t;
        t.Field("NAME", 'C', 5).Field("N", 'N', 3).Record({"one", "1"}).Deleted({"two", "2"}).Record({"three", "3"});
        return t;
    };
    for (int count : {0, -1, INT_MIN}) {
        SCOPED_TRACE(count);
        const Outcome outcome = ReadBoth(table().RecordCount(count), dir);
        ASSERT_TRUE(outcome.Table.has_value()) << outcome.Message;
        EXPECT_EQ(outcome.Table->RecordCount(), 0);
        EXPECT_TRUE(outcome.Table->RecordBytes.empty());
        EXPECT_EQ(outcome.Table->FieldNames, (std::vector<std::string>{"NAME", "N"}));
        EXPECT_EQ(outcome.Table->RecordsPromised, count);
    }

    // The count wins when the file holds more records than it names.
    const Outcome two = ReadBoth(table().RecordCount(2), dir);
    ASSERT_TRUE(two.Table.has_value());
    EXPECT_EQ(two.Table->RecordCount(), 2);

    // 2^31 - 1 records of the longest kind promised: memory only for the three the file holds.
    const Outcome huge = ReadBoth(table().RecordCount(INT_MAX), dir);
    ASSERT_TRUE(huge.Table.has_value()) << huge.Message;
    EXPECT_EQ(huge.Table->RecordCount(), 3);
    EXPECT_EQ(huge.Table->RecordsPromised, INT_MAX);
    EXPECT_EQ(Text(*huge.Table, 2, 0), "three");
    const Outcome longest = ReadBoth(table().RecordCount(INT_MAX).RecordLength(SHRT_MAX), dir);
    ASSERT_TRUE(longest.Table.has_value()) << longest.Message;
    EXPECT_EQ(longest.Table->RecordCount(), 1);
    EXPECT_EQ(longest.Table->RecordBytes.size(), std::size_t{SHRT_MAX});
    ShowEveryCell(*longest.Table);
}

TEST(DamagedFiles, FieldTypeByteZeroGivesEmptyCellsAndKeepsThePositions) {
    TempDir dir;
    TableBuilder t;
    t.Field("A", 'C', 3).Field("ODD", '\0', 4).Field("B", 'N', 3).Record({"abc", "wxyz", "42"});
    const Outcome outcome = ReadBoth(t, dir);
    ASSERT_TRUE(outcome.Table.has_value()) << outcome.Message;
    const OpenTable& table = *outcome.Table;
    EXPECT_EQ(table.FieldNames[1], "ODD");
    EXPECT_EQ(table.Cell(0, 1).Kind, CellKind::Empty);
    EXPECT_EQ(Text(table, 0, 0), "abc");
    EXPECT_EQ(table.Cell(0, 2).Number, 42);
}

TEST(DamagedFiles, NulsAndStarsInNumericFields) {
    TempDir dir;
    const std::string nul(1, '\0');
    // What each text reads as: the number at its start, blanks dropped; a NUL or a star is
    // no blank and no digit, so the reading stops there.
    const std::vector<std::pair<std::string, double>> cases = {
        {"********", 0},
        {std::string(8, '\0'), 0},
        {"   12" + nul + nul + nul, 12},
        {nul + nul + nul + "   12", 0},
        {"  **12.5", 0},
        {"   1*2.5", 1},
        {" 1" + nul + "2.50 ", 1},
        {"-" + nul + "     3", 0},
        {"*", 0},
    };
    TableBuilder table;
    table.Field("N", 'N', 8, 2).Field("F", 'F', 8, 1).Field("I", 'I', 8).Field("OK", 'L', 1).Field("D", 'D', 8);
    std::string records;
    for (const auto& [text, number] : cases) {
        (void)number;
        std::string cell = text;
        cell.resize(8, ' ');
        records += ' ' + cell + cell + cell + (text.empty() ? " " : text.substr(0, 1)) + cell;
    }
    const std::string bytes = table.RecordCount(static_cast<std::int32_t>(cases.size())).EndMarker(false).Bytes() + records;
    const Outcome outcome = ReadBoth(bytes, dir);
    ASSERT_TRUE(outcome.Table.has_value()) << outcome.Message;
    const OpenTable& read = *outcome.Table;
    ASSERT_EQ(read.RecordCount(), static_cast<std::int64_t>(cases.size()));
    for (std::size_t r = 0; r < cases.size(); ++r) {
        SCOPED_TRACE(r);
        const auto record = static_cast<std::int64_t>(r);
        EXPECT_EQ(read.Cell(record, 0).Number, cases[r].second);
        EXPECT_EQ(read.Cell(record, 1).Number, cases[r].second);
        EXPECT_EQ(read.Cell(record, 2).Number, cases[r].second);
        EXPECT_EQ(read.Cell(record, 3).Kind, CellKind::Truth);
        EXPECT_FALSE(read.Cell(record, 3).Truth);
        // Dates are text as stored, NULs and stars included.
        std::string stored = cases[r].first;
        stored.resize(8, ' ');
        EXPECT_EQ(std::string(read.Cell(record, 4).Text), stored);
    }
}

TEST(DamagedFiles, RefusedPathsLeaveNoFileOpen) {
    TempDir dir;
    auto openFiles = [] {
        return std::distance(std::filesystem::directory_iterator("/proc/self/fd"), std::filesystem::directory_iterator());
    };
    const auto before = openFiles();
    for (int i = 0; i < 20; ++i) {
        EXPECT_THROW(ReadTableFile(dir.Path().string()), TableError);
        EXPECT_THROW(ReadTableFile("/dev/null"), TableError);
    }
    EXPECT_EQ(openFiles(), before);
}

TEST(DamagedFiles, NamedPipesAreRefusedOrPassedOverWithoutWaiting) {
    TempDir dir;
    // A regression would wait forever for a writer; the alarm turns that into a failure.
    ::alarm(20);
    ASSERT_EQ(::mkfifo((dir / "pipe.dbf").c_str(), 0600), 0);
    try {
        ReadTableFile((dir / "pipe.dbf").string());
        ADD_FAILURE() << "a named pipe was read as a table";
    } catch (const TableError& e) {
        EXPECT_TRUE(Contains(e.what(), "it is not a regular file")) << e.what();
    }

    TableBuilder().LanguageDriver(0xC9).Field("NAME", 'C', 4).Record({"abc"}).WriteTo(dir / "t.dbf");
    ASSERT_EQ(::mkfifo((dir / "t.cpg").c_str(), 0600), 0);
    const OpenTable table = ReadTableFile((dir / "t.dbf").string());
    EXPECT_EQ(table.TableCodePage->Number(), 1251);  // from the header, the pipe passed over
    ::alarm(0);
}
