// A fuzzed table through every exporter, with a fuzzed record filter, column selection and
// format options. The table comes from the front of the input and the choices from its end,
// so plain table files make good seeds. Each export either writes its file, leaving nothing
// else in the folder, or fails with a message naming the file and leaves no trace.

#include <fuzzer/FuzzedDataProvider.h>
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>

#include "export/exporters.h"
#include "fuzz/output_checks.h"
#include "fuzz/require.h"
#include "table/read_table.h"

using namespace quillet;
using quillet::fuzzing::Require;

namespace {

// One folder for the whole run, removed at exit.
const std::filesystem::path& Folder() {
    static const std::filesystem::path folder = [] {
        std::string pattern = (std::filesystem::temp_directory_path() / "quillet-export-fuzz-XXXXXX").string();
        Require(::mkdtemp(pattern.data()) != nullptr, "a temporary folder");
        std::atexit([] {
            std::error_code ignored;
            std::filesystem::remove_all(Folder(), ignored);
        });
        return std::filesystem::path(pattern);
    }();
    return folder;
}

std::size_t FilesIn(const std::filesystem::path& folder) {
    std::size_t count = 0;
    for (auto it = std::filesystem::directory_iterator(folder); it != std::filesystem::directory_iterator(); ++it) ++count;
    return count;
}

std::string ShortText(FuzzedDataProvider& in, const char* const* usual, std::size_t usualCount) {
    const auto pick = in.ConsumeIntegralInRange<std::size_t>(0, usualCount);
    if (pick < usualCount) return usual[pick];
    return in.ConsumeRandomLengthString(8);
}

// Six hexadecimal digits, as the colour dialog gives them.
std::string Color(FuzzedDataProvider& in) {
    const auto rgb = in.ConsumeIntegralInRange<std::uint32_t>(0, 0xFFFFFF);
    char text[8];
    std::snprintf(text, sizeof text, "%06X", static_cast<unsigned>(rgb));
    return text;
}

std::string FileBytes(const std::string& path) {
    std::string bytes;
    if (std::FILE* file = std::fopen(path.c_str(), "rb")) {
        char buffer[65536];
        for (std::size_t got; (got = std::fread(buffer, 1, sizeof buffer, file)) > 0;) bytes.append(buffer, got);
        std::fclose(file);
    }
    return bytes;
}

// Counted here apart from the export frame, so that a mistake there shows.
fuzzing::ExpectedShape ShapeOf(const OpenTable& table, RecordFilter filter) {
    fuzzing::ExpectedShape shape;
    for (std::int64_t r = 0; r < table.RecordCount(); ++r) {
        const bool deleted = table.IsDeleted(r);
        shape.Records += filter == RecordFilter::AllRecords || (filter == RecordFilter::OnlyDeleted) == deleted;
    }
    for (int f = 0; f < table.ColumnCount; ++f) shape.Columns += table.ColumnSelected[static_cast<std::size_t>(f)] != 0;
    shape.LastColumnSkipped = table.ColumnCount > 0 && !table.ColumnSelected.back();
    return shape;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    FuzzedDataProvider in(data, size);
    // The choices, taken from the end of the input.
    const auto filter = static_cast<RecordFilter>(in.ConsumeIntegralInRange<int>(0, 2));
    const auto selection = in.ConsumeIntegral<std::uint64_t>();
    const bool everyColumn = in.ConsumeBool();
    ExportSettings settings;
    settings.SaveFolder = Folder().string();
    settings.RecordFilter = filter;
    static const char* const delimiters[] = {",", ";", "\t", "|", ""};
    settings.Delimited.Delimiter = ShortText(in, delimiters, std::size(delimiters));
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

    const std::string bytes = in.ConsumeRemainingBytesAsString();
    OpenTable table;
    try {
        table = ReadTableBytes(bytes, "fuzz.dbf");
    } catch (const TableError&) {
        return -1;  // not a table: nothing to export, and not worth keeping
    }
    table.ListColumns();
    table.SetSource(baseName + ".dbf");
    if (!everyColumn) {
        for (std::size_t f = 0; f < table.ColumnSelected.size(); ++f) table.ColumnSelected[f] = (selection >> (f % 64)) & 1;
    }

    const fuzzing::ExpectedShape shape = ShapeOf(table, filter);
    for (int format = 0; format <= 6; ++format) {
        settings.OutputFormat = static_cast<OutputFormat>(format);
        const std::string path = OutputPath(table, settings, settings.OutputFormat);
        try {
            ExportTable(table, settings);
            Require(std::filesystem::is_regular_file(path), "the exported file exists");
            Require(FilesIn(Folder()) == 1, "no file beside the export");
            fuzzing::CheckExport(settings.OutputFormat, FileBytes(path), shape, settings);
            std::filesystem::remove(path);
        } catch (const ExportError& e) {
            // Refusing is allowed (a sheet has a size limit, a script needs a column); leaving a
            // trace is not.
            const std::string message = e.what();
            Require(message.find(path) != std::string::npos || message == "Select at least one column to export.",
                    "the message names the file");
            Require(FilesIn(Folder()) == 0, "no trace of a failed export");
        }
    }
    return 0;
}
