// A fuzzed table through every exporter, with a fuzzed record filter, column selection and
// format options. The table comes from the front of the input and the choices from its end,
// so plain table files make good seeds. Each export either writes its file, leaving nothing
// else in the folder, or fails with a message naming the file and leaves no trace.

#include <fuzzer/FuzzedDataProvider.h>

#include <cstdio>

#include "export/exporters.h"
#include "fuzz/output_checks.h"
#include "support/files.h"
#include "table/read_table.h"

using namespace quillet;
using namespace quillet::testing;
using quillet::fuzzing::Require;

namespace {

// One of the usual texts, or up to 8 fuzzed bytes.
std::string ShortText(FuzzedDataProvider& in, std::initializer_list<const char*> usual) {
    const auto pick = in.ConsumeIntegralInRange<std::size_t>(0, usual.size());
    return pick < usual.size() ? usual.begin()[pick] : in.ConsumeRandomLengthString(8);
}

// Six hexadecimal digits, as the colour dialog gives them.
std::string Color(FuzzedDataProvider& in) {
    char text[8];
    std::snprintf(text, sizeof text, "%06X", in.ConsumeIntegralInRange<unsigned>(0, 0xFFFFFF));
    return text;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    FuzzedDataProvider in(data, size);
    static const TempDir folder;  // one for the whole run, removed at exit
    ExportSettings settings;
    settings.SaveFolder = folder.Path().string();
    settings.RecordFilter = static_cast<RecordFilter>(in.ConsumeIntegralInRange<int>(0, 2));
    const auto selection = in.ConsumeIntegral<std::uint64_t>();
    const bool everyColumn = in.ConsumeBool();
    settings.Delimited.Delimiter = ShortText(in, {",", ";", "\t", "|", ""});
    settings.Delimited.RowEnd = in.ConsumeBool() ? LineEnd::CRLF : LineEnd::LF;
    settings.Delimited.IncludeHeader = in.ConsumeBool();
    settings.Delimited.QuoteItems = in.ConsumeBool();
    settings.Html.TextColor = Color(in);
    settings.Html.BackColor = Color(in);
    settings.Html.IncludeHeader = in.ConsumeBool();
    settings.Rtf.IncludeHeader = in.ConsumeBool();
    settings.DecimalSeparator = in.ConsumeBool() ? ',' : '.';
    // A table file's name up to its first dot: any bytes but the dot, the slash and NUL, or none.
    std::string baseName = in.ConsumeBool() ? in.ConsumeRandomLengthString(12) : "fuzz";
    std::erase_if(baseName, [](char c) { return c == '.' || c == '/' || c == '\0'; });

    OpenTable table;
    try {
        table = ReadTableBytes(in.ConsumeRemainingBytesAsString(), "fuzz.dbf");
    } catch (const TableError&) {
        return -1;  // not a table: nothing to export, and not worth keeping
    }
    table.ListColumns();
    table.SetSource(baseName + ".dbf");
    // Counted here apart from the export frame, so that a mistake there shows.
    fuzzing::ExpectedShape shape;
    for (std::size_t f = 0; f < table.ColumnSelected.size(); ++f) {
        table.ColumnSelected[f] = everyColumn || ((selection >> (f % 64)) & 1);
        shape.Columns += table.ColumnSelected[f];
    }
    shape.LastColumnSkipped = !table.ColumnSelected.empty() && !table.ColumnSelected.back();
    for (std::int64_t r = 0; r < table.RecordCount(); ++r) {
        shape.Records += settings.RecordFilter == RecordFilter::AllRecords || (settings.RecordFilter == RecordFilter::OnlyDeleted) == table.IsDeleted(r);
    }

    for (int format = 0; format <= static_cast<int>(OutputFormat::Sqlite); ++format) {
        settings.OutputFormat = static_cast<OutputFormat>(format);
        const std::string path = OutputPath(table, settings, settings.OutputFormat);
        try {
            ExportTable(table, settings);
            Require(FolderEntries(folder.Path()).size() == 1 && std::filesystem::is_regular_file(path), "the exported file alone");
            fuzzing::CheckExport(settings.OutputFormat, ReadFileBytes(path), shape, settings);
            std::filesystem::remove(path);
        } catch (const ExportError& e) {
            // Refusing is allowed (a sheet has a size limit, a script needs a column); leaving a
            // trace is not.
            const std::string message = e.what();
            Require(message.find(path) != std::string::npos || message == "Select at least one column to export.",
                    "the message names the file");
            Require(FolderEntries(folder.Path()).empty(), "no trace of a failed export");
        }
    }
    return 0;
}
