#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "support/table_builder.h"
#include "table/cell_text.h"
#include "table/read_table.h"

using namespace quillet;
using quillet::testing::TableBuilder;
using quillet::testing::TempDir;

namespace {

// Large enough (about 20 MB) that the reader takes it in parts.
constexpr int kRecords = 150000;

TableBuilder LargeTable() {
    TableBuilder t;
    t.Field("NAME", 'C', 100).Field("AMOUNT", 'N', 12, 2).Field("PAID", 'L', 1).Field("QTY", 'N', 8);
    for (int i = 0; i < kRecords; ++i) {
        const std::vector<std::string> cells{"name " + std::to_string(i), std::to_string(i) + "." + std::to_string(i % 100),
                                             i % 3 == 0 ? "T" : "F", std::to_string(i % 1000)};
        if (i % 7 == 0) {
            t.Deleted(cells);
        } else {
            t.Record(cells);
        }
    }
    return t;
}

void ExpectRecord(const OpenTable& table, int i) {
    ASSERT_EQ(table.IsDeleted(i), i % 7 == 0) << i;
    ASSERT_EQ(CellText(table.Cell(i, 0), '.'), "name " + std::to_string(i) + std::string(100 - 5 - std::to_string(i).size(), ' '));
    const std::string amount = std::to_string(i) + "." + std::to_string(i % 100);
    ASSERT_EQ(table.Cell(i, 1).Number, std::stod(amount)) << i;
    ASSERT_EQ(table.Cell(i, 2).Truth, i % 3 == 0) << i;
    ASSERT_EQ(table.Cell(i, 3).Number, i % 1000) << i;
}

}  // namespace

TEST(ReadLargeTable, EveryRecordOfEveryPartIsReadAndDecoded) {
    TempDir dir;
    LargeTable().WriteTo(dir / "large.dbf");
    std::uint64_t last = 0;
    bool forward = true;
    const OpenTable table = ReadTableFile((dir / "large.dbf").string(), [&](std::uint64_t done, std::uint64_t total) {
        forward = forward && done >= last && done <= total;
        last = done;
    });
    ASSERT_EQ(table.RecordCount(), kRecords);
    for (int i = 0; i < kRecords; ++i) ExpectRecord(table, i);
    EXPECT_TRUE(forward);
    EXPECT_EQ(last, static_cast<std::uint64_t>(kRecords) * table.Header.RecordLength);
}

TEST(ReadLargeTable, AFinalPartialRecordIsBlankFilledAndDecoded) {
    TempDir dir;
    std::string bytes = LargeTable().EndMarker(false).Bytes();
    bytes.resize(bytes.size() - 15);  // cuts into the last record's AMOUNT
    std::ofstream(dir / "cut.dbf", std::ios::binary).write(bytes.data(), static_cast<std::streamsize>(bytes.size()));

    const OpenTable table = ReadTableFile((dir / "cut.dbf").string());
    ASSERT_EQ(table.RecordCount(), kRecords);
    for (int i = 0; i < kRecords - 1; ++i) ExpectRecord(table, i);
    EXPECT_EQ(table.Cell(kRecords - 1, 1).Number, 149);  // "   149" of "   149999.99", the rest blanks
    EXPECT_EQ(table.Cell(kRecords - 1, 3).Number, 0);
}
