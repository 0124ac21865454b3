#include <gtest/gtest.h>

#include "run_cli.h"
#include "sample_tables.h"

using namespace quillet::testing;

namespace {

bool Mentions(const std::string& text, const std::string& part) { return text.find(part) != std::string::npos; }

}  // namespace

TEST(CliUsage, HelpIsAManualOnStandardOutput) {
    for (const std::vector<std::string>& arguments :
         {std::vector<std::string>{"--help"}, {"-h"}, {"convert", "--help"}, {"info", "x.dbf", "-h"}}) {
        const CliRun run = RunCli(arguments);
        EXPECT_EQ(run.Status, 0) << arguments.front();
        EXPECT_TRUE(run.Err.empty());
        for (const char* section : {"NAME", "SYNOPSIS", "COMMANDS", "OPTIONS", "EXIT STATUS", "EXAMPLES"}) {
            EXPECT_TRUE(Mentions(run.Out, "\n" + std::string(section) + "\n") || run.Out.rfind(section, 0) == 0) << section;
        }
        for (const char* option : {"--to", "--out", "--records", "--columns", "--delimiter", "--row-end", "--no-header",
                                   "--no-quotes", "--text-color", "--back-color"}) {
            EXPECT_TRUE(Mentions(run.Out, option)) << option;
        }
    }
}

TEST(CliUsage, MistakesExitWithTwoAndSayWhatIsWrongWithoutWritingAnything) {
    TempDir dir;
    SalesTable().WriteTo(dir / "sales.dbf");
    const std::string table = (dir / "sales.dbf").string();
    const struct {
        std::vector<std::string> Arguments;
        std::string Says;
    } cases[] = {
        {{}, "no command given"},
        {{"export", table}, "\"export\" is not a command"},
        {{"convert", table}, "missing --to"},
        {{"convert", "--to", "csv"}, "no table given"},
        {{"info"}, "no table given"},
        {{"convert", table, "--to", "pdf"}, "--to \"pdf\" is not a format"},
        {{"convert", table, "--to", "csv", "--colour", "red"}, "unknown option \"--colour\""},
        {{"convert", table, "--to", "csv", "-q"}, "unknown option \"-q\""},
        {{"convert", table, "--to"}, "--to needs a value"},
        {{"convert", table, "--to", "csv", "--records", "some"}, "--records \"some\" is not a choice"},
        {{"convert", table, "--to", "csv", "--delimiter", "|"}, "--delimiter \"|\" is not a choice"},
        {{"convert", table, "--to", "csv", "--row-end", "cr"}, "--row-end \"cr\" is not a choice"},
        {{"convert", table, "--to", "htm", "--text-color", "red"}, "--text-color \"red\" is not a colour"},
        {{"convert", table, "--to", "htm", "--back-color=12345"}, "--back-color \"12345\" is not a colour"},
        {{"convert", table, "--to", "csv", "--columns", "NAME,,CITY"}, "--columns \"NAME,,CITY\" holds an empty column name"},
        {{"convert", table, "--to=csv", "--no-header=yes"}, "--no-header takes no value"},
        {{"info", table, "--to", "csv"}, "--to is an option of convert"},
    };
    for (const auto& c : cases) {
        const CliRun run = RunCli(c.Arguments);
        EXPECT_EQ(run.Status, 2) << c.Says;
        EXPECT_TRUE(Mentions(run.Err, "quillet-cli: " + c.Says)) << run.Err;
        EXPECT_TRUE(Mentions(run.Err, "usage: quillet-cli")) << c.Says;
        EXPECT_TRUE(run.Out.empty()) << c.Says;
    }
    EXPECT_FALSE(std::filesystem::exists(dir / "sales.csv"));
    EXPECT_FALSE(std::filesystem::exists(dir / "sales.htm"));
}

TEST(CliUsage, OptionsTakeTheirValueAfterAnEqualsSignAndTablesMayFollowOptions) {
    TempDir dir;
    SalesTable().WriteTo(dir / "sales.dbf");
    const CliRun run = RunCli({"convert", "--to=TXT", "--records", "LIVE", "--", (dir / "sales.dbf").string()});
    EXPECT_EQ(run.Status, 0) << run.Err;
    EXPECT_EQ(run.Out, (dir / "sales.txt").string() + "\n");
}
