// Each format's worked examples: the cases in tests/data/golden/cases.tsv export a table with
// some options and must write their golden file byte for byte, whether the table is read whole
// or a few records at a time, and the format's consumer must see in it what NAME.seen says; and
// what each consumer makes of NULs and line breaks.

#include <gtest/gtest.h>

#include "support/exported_formats.h"

using namespace quillet;
using namespace quillet::testing;
using namespace std::string_literals;

TEST(Golden, EveryCaseWritesItsFileAndItsConsumerReadsIt) {
    int count = 0;
    for (const auto& row : DataRows(QUILLET_TEST_DATA "/golden/cases.tsv")) {
        const std::string &table = row.at(0), &words = row.at(1), &golden = row.at(2);
        SCOPED_TRACE(table + " " + words);
        TempDir dir;
        OpenTable t = OpenTableAt(QUILLET_TEST_DATA "/" + table);
        t.SetSource(table);
        const ExportSettings settings = SettingsFor(words, dir.Path(), &t);
        ExpectGolden(Exported(t, settings), "golden/" + golden);
        ExpectGolden(ReadBack(OutputPath(t, settings, settings.OutputFormat), words), "golden/" + golden + ".seen");
        // Read a window of one or two records at a time, the table writes the same file.
        for (const std::uint64_t window : {1, 2}) {
            const auto stream = StreamAt(QUILLET_TEST_DATA "/" + table, window);
            stream->Table().SetSource(table);
            ExpectGolden(Exported(stream->Table(), SettingsFor(words, dir.Path(), &stream->Table())), "golden/" + golden);
        }
        ++count;
    }
    EXPECT_GT(count, 20);
}

// Real tables pad text with NULs, and memo texts hold line breaks.
TEST(ExportConsumers, NulsAndLineBreaksInEveryFormat) {
    TempDir dir;
    const OpenTable table =
        OpenBuilt(TableBuilder().Field("TEXT", 'C', 8).Field("CODE", 'C', 8).Record({"l\r\nf  ", "8116\0\0\0\0"s}), dir);
    std::string seen;
    for (const ExportedFormat& format : ExportedFormats()) {
        const ExportSettings settings = SettingsFor(WordsFor(format), dir.Path());
        ExportTable(table, settings);
        seen += std::string("== ") + format.Word + "\n" + ReadBack(OutputPath(table, settings, settings.OutputFormat));
    }
    seen += "== txt no-quotes\n" + Exported(table, SettingsFor("to=txt no-quotes", dir.Path()));
    ExpectGolden(seen, "exports/nuls_and_line_breaks.seen");
}

// The RTF head of a table in each code page: the page and charset a word processor reads its
// bytes with, and whether a cell keeps its bytes or spells its characters out.
TEST(Golden, RtfNamesEachCodePageAndCharset) {
    TempDir dir;
    OpenTable table = OpenBuilt(TableBuilder().Field("A", 'C', 2).Record({"\xE9\xC1"}), dir);
    std::string heads;
    for (int number = 0; number < 70000; ++number) {
        table.TableCodePage = CodePage::ForNumber(number);
        if (table.TableCodePage == nullptr) continue;
        const std::string rtf = Exported(table, SettingsFor("to=rtf no-header", dir.Path()));
        const auto word = [&rtf](const char* name) {
            const std::size_t at = rtf.find(name);
            return rtf.substr(at, rtf.find('\\', at + 1) - at);
        };
        const std::size_t cellEnd = rtf.find("\\cell "), cell = rtf.rfind('\n', cellEnd) + 1;
        heads += std::to_string(number) + " " + word("\\ansicpg") + " " + word("\\fcharset") + " " + rtf.substr(cell, cellEnd - cell) + "\n";
    }
    ExpectGolden(heads, "golden/rtf_heads.txt");
}
