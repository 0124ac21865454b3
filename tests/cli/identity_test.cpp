#include <gtest/gtest.h>

#include "export/exporters.h"
#include "run_cli.h"
#include "sample_tables.h"
#include "table/read_table.h"

using namespace quillet;
using namespace quillet::testing;

namespace {

struct FormatCase {
    const char* Name;
    OutputFormat Format;
};

constexpr FormatCase kFormats[] = {
    {"txt", OutputFormat::Text}, {"csv", OutputFormat::CSV},   {"htm", OutputFormat::HTML}, {"rtf", OutputFormat::RTF},
    {"xml", OutputFormat::XML},  {"xls", OutputFormat::Excel}, {"sql", OutputFormat::SQL},
};

// What the desktop program writes: the core's export of the table as its Open command leaves it.
std::string CoreBytes(const std::string& tablePath, const std::string& folder, ExportSettings settings,
                      const std::vector<std::uint8_t>& columns = {}) {
    OpenTable table = ReadTableFile(tablePath);
    table.ListColumns();
    table.SetSource(tablePath);
    if (!columns.empty()) table.ColumnSelected = columns;
    settings.SaveFolder = folder;
    ExportTable(table, settings);
    return ReadFileBytes(OutputPath(table, settings, settings.OutputFormat));
}

struct Variant {
    std::vector<std::string> Options;
    void (*Set)(ExportSettings&);
    std::vector<std::uint8_t> Columns;
};

}  // namespace

TEST(CliIdentity, EveryFormatWithTheDefaultsIsByteForByteTheCoresExport) {
    TempDir dir;
    SalesTable().WriteTo(dir / "sales.dbf");
    const std::filesystem::path core = dir / "core";
    std::filesystem::create_directory(core);

    for (const FormatCase& f : kFormats) {
        ExportSettings defaults;
        defaults.OutputFormat = f.Format;
        const std::string expected = CoreBytes((dir / "sales.dbf").string(), core.string(), defaults);
        ASSERT_FALSE(expected.empty()) << f.Name;

        // Without --out the file goes beside the table.
        const CliRun run = RunCli({"convert", (dir / "sales.dbf").string(), "--to", f.Name});
        ASSERT_EQ(run.Status, 0) << f.Name << ": " << run.Err;
        EXPECT_EQ(ReadFileBytes(dir / ("sales." + std::string(f.Name))), expected) << f.Name;
    }
}

TEST(CliIdentity, EveryOptionGivesTheCoresExportWithTheSameSetting) {
    TempDir dir;
    SalesTable().WriteTo(dir / "sales.dbf");
    const std::filesystem::path core = dir / "core";
    const std::filesystem::path cli = dir / "cli";
    std::filesystem::create_directory(core);
    std::filesystem::create_directory(cli);

    const Variant variants[] = {
        {{"--records", "deleted"}, [](ExportSettings& s) { s.RecordFilter = RecordFilter::OnlyDeleted; }, {}},
        {{"--records", "live", "--columns", "paid,NAME"}, [](ExportSettings& s) { s.RecordFilter = RecordFilter::SkipDeleted; },
         {1, 0, 0, 1}},
        {{"--delimiter", "tab", "--row-end", "lf", "--no-quotes"},
         [](ExportSettings& s) {
             s.Delimited.Delimiter = "\t";
             s.Delimited.RowEnd = LineEnd::LF;
             s.Delimited.QuoteItems = false;
         },
         {}},
        {{"--delimiter", "space"}, [](ExportSettings& s) { s.Delimited.Delimiter = " "; }, {}},
        {{"--delimiter", ";", "--no-header"},
         [](ExportSettings& s) {
             s.Delimited.Delimiter = ";";
             s.Delimited.IncludeHeader = s.Html.IncludeHeader = s.Rtf.IncludeHeader = false;
         },
         {}},
        {{"--text-color", "ff0000", "--back-color", "#0000fF"},
         [](ExportSettings& s) {
             s.Html.TextColor = "FF0000";
             s.Html.BackColor = "0000FF";
         },
         {}},
    };

    for (const Variant& v : variants) {
        for (const FormatCase& f : kFormats) {
            ExportSettings settings;
            settings.OutputFormat = f.Format;
            v.Set(settings);
            const std::string expected = CoreBytes((dir / "sales.dbf").string(), core.string(), settings, v.Columns);

            std::vector<std::string> arguments{"convert", (dir / "sales.dbf").string(), "--to", f.Name, "--out", cli.string()};
            arguments.insert(arguments.end(), v.Options.begin(), v.Options.end());
            const CliRun run = RunCli(arguments);
            ASSERT_EQ(run.Status, 0) << f.Name << " " << v.Options.front() << ": " << run.Err;
            EXPECT_EQ(ReadFileBytes(cli / ("sales." + std::string(f.Name))), expected) << f.Name << " " << v.Options.front();
        }
    }
}

TEST(CliIdentity, ATableNamedWithoutFolderIsTakenFromTheWorkingFolderByItsFullPath) {
    TempDir dir;
    SalesTable().WriteTo(dir / "sales.dbf");
    const std::filesystem::path core = dir / "core";
    std::filesystem::create_directory(core);
    ExportSettings settings;
    settings.OutputFormat = OutputFormat::XML;
    const std::string expected = CoreBytes((dir / "sales.dbf").string(), core.string(), settings);

    const CliRun run = RunCli({"convert", "sales.dbf", "--to", "xml"}, dir.Path().string());
    ASSERT_EQ(run.Status, 0) << run.Err;
    EXPECT_EQ(run.Out, (dir / "sales.xml").string() + "\n");
    EXPECT_EQ(ReadFileBytes(dir / "sales.xml"), expected);
}
