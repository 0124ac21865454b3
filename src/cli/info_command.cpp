#include "cli/info_command.h"

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <string>
#include <vector>

#include "cli/table_argument.h"
#include "export/utf8_scan.h"
#include "table/table_code_page.h"
#include "table/table_info.h"

namespace quillet::cli {

namespace {

std::string TypeText(char type) {
    if (std::isprint(static_cast<unsigned char>(type))) return std::string(1, type);
    char hex[8];
    std::snprintf(hex, sizeof hex, "0x%02X", static_cast<unsigned char>(type));
    return hex;
}

void PrintInformation(const OpenTable& table) {
    for (const std::string& line : InformationLines(table)) std::printf("%s\n", line.c_str());
    std::printf("%s\n", CodePageLine(table).c_str());
    if (!table.MemoPath.empty()) std::printf("Memo file: %s\n", table.MemoPath.c_str());
    // Names as the table's code page reads them, lined up by characters, not bytes.
    std::vector<std::string> names;
    std::size_t width = 4;
    for (int f = 0; f < table.ColumnCount; ++f) {
        names.push_back(table.TableCodePage->ToUtf8(table.FieldNames[static_cast<std::size_t>(f)]));
        width = std::max(width, CodePointCount(names.back()));
    }
    for (int f = 0; f < table.ColumnCount; ++f) {
        const FieldDescriptor& d = table.FieldDescriptors[static_cast<std::size_t>(f)];
        const std::string& name = names[static_cast<std::size_t>(f)];
        std::printf("%s%*s  %-4s %-13s %5u %3u\n", name.c_str(), static_cast<int>(width - CodePointCount(name)), "",
                    TypeText(d.Type).c_str(), FieldTypeName(d, table.Header.Version).c_str(), static_cast<unsigned>(d.Length),
                    static_cast<unsigned>(static_cast<unsigned char>(d.Decimals)));
    }
}

}  // namespace

Outcome RunInfo(const std::vector<std::string>& tables, const CodePage* encoding) {
    Outcome outcome = Outcome::Done;
    bool first = true;
    for (const std::string& argument : tables) {
        Transcript transcript;
        outcome = Worse(outcome, ForTable(argument, transcript, [&] {
            const std::unique_ptr<TableStream> stream = OpenTableArgument(argument, encoding);
            const OpenTable& table = stream->Table();
            // Memos are what may fail to be read in records: a table with memo fields passes
            // through once for them; any other table is told from its header alone.
            const bool memos = std::any_of(table.Fields.begin(), table.Fields.end(),
                                           [](const FieldCells& cells) { return cells.Storage == FieldStorage::Memo; });
            if (memos) ForEachWindow(table, [](std::int64_t, std::int64_t) {});
            for (const std::string& warning : stream->Warnings()) transcript.Complain(warning);
            transcript.Print();
            if (!first) std::printf("\n");
            first = false;
            PrintInformation(table);
            std::fflush(stdout);
            return Outcome::Done;
        }));
        transcript.Print();
    }
    return outcome;
}

}  // namespace quillet::cli
