// What each format's consumer makes of NULs and line breaks.

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <string>

#include "support/exported_formats.h"

using namespace quillet;
using namespace quillet::testing;
using namespace std::string_literals;

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

TEST(ExportConsumers, LibreOfficeKeepsAnRtfLineBreak) {
    if (std::system("command -v soffice >/dev/null") != 0) GTEST_SKIP() << "no LibreOffice (soffice) to read the RTF";
    TempDir dir;
    const OpenTable table = OpenBuilt(TableBuilder().Field("TEXT", 'C', 4).Record({"l\nf"}), dir);
    ExportTable(table, SettingsFor("to=rtf", dir.Path()));
    Output("cd " + ShellQuoted(dir.Path().string()) + " && soffice --headless --convert-to txt t.rtf");
    EXPECT_NE(ReadFileBytes(dir / "t.txt").find("l\nf"), std::string::npos);
}
